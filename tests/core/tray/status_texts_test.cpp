#include "core/tray/status_texts.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellwick;

TEST(StatusTexts, TooltipForEveryCombinationOfTheThreeOptions)
{
    Memory memory {[] {
        return MemStatus {4000, 1000, 4000, 2000};
    }};
    memory.ReadMemoryStatus();
    struct Case
    {
        bool ip, phys, virt;
        std::string tip;
    };
    for (const Case &c : {
             Case {false, false, false, ""},
             Case {true, false, false, "10.0.0.7 "},
             Case {false, true, false, "%25 Phyical Free "},
             Case {false, false, true, "%50 Virtual Free "},
             Case {true, false, true, "10.0.0.7 %50 Virtual Free "},
             Case {true, true, true, "10.0.0.7 %25 Phyical Free %50 Virtual Free "},
         })
        EXPECT_EQ(TrayTipText(c.ip, c.phys, c.virt, "10.0.0.7", memory), c.tip);
}

TEST(StatusTexts, CaptionIsTheTitleWithTheIpOnlyForTheEmptyText)
{
    EXPECT_EQ(CaptionText("", "10.0.0.7"), "Pellwick v1.0! - Your IP Is 10.0.0.7");
    EXPECT_EQ(CaptionText("Connecting to ", "10.0.0.7"), "Connecting to ");
}
