#include "core/tray/status_texts.h"

#include <gtest/gtest.h>

#include <string>

using pellwick::CaptionText;
using pellwick::FitTrayTip;
using pellwick::Memory;
using pellwick::MemStatus;
using pellwick::TrayTipText;

namespace {

// Physical "%25", virtual "%50".
Memory snapshot()
{
    Memory memory {[] {
        MemStatus s;
        s.dwTotalPhys = 4000;
        s.dwAvailPhys = 1000;
        s.dwTotalVirtual = 4000;
        s.dwAvailVirtual = 2000;
        return s;
    }};
    memory.ReadMemoryStatus();
    return memory;
}

} // namespace

TEST(StatusTexts, TooltipForEveryCombinationOfTheThreeOptions)
{
    const Memory memory = snapshot();
    const std::string ip = "192.168.10.200";
    struct Case
    {
        bool ip, phys, virt;
        std::string tip;
    };
    const Case cases[] = {
        {false, false, false, ""},
        {true, false, false, "192.168.10.200 "},
        {false, true, false, "%25 Phyical Free "},
        {false, false, true, "%50 Virtual Free "},
        {true, true, false, "192.168.10.200 %25 Phyical Free "},
        {true, false, true, "192.168.10.200 %50 Virtual Free "},
        {false, true, true, "%25 Phyical Free %50 Virtual Free "},
        {true, true, true, "192.168.10.200 %25 Phyical Free %50 Virtual Free "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TrayTipText(c.ip, c.phys, c.virt, ip, memory), c.tip);

    EXPECT_EQ(TrayTipText(true, true, false, "", memory), " %25 Phyical Free ");
    const Memory unread {[] {
        return MemStatus {};
    }};
    EXPECT_EQ(TrayTipText(true, true, true, "", unread), " %0 Phyical Free %0 Virtual Free ");
    EXPECT_EQ(pellwick::InitialTrayTip("10.0.0.7"), "Local IP is 10.0.0.7");
}

TEST(StatusTexts, CaptionIsTheTitleWithTheIpOnlyForTheEmptyText)
{
    EXPECT_EQ(CaptionText("", "10.0.0.7"), "Pellwick v1.0! - Your IP Is 10.0.0.7");
    EXPECT_EQ(CaptionText("", ""), "Pellwick v1.0! - Your IP Is ");
    EXPECT_EQ(CaptionText("Connecting to ", "10.0.0.7"), "Connecting to ");
    EXPECT_EQ(CaptionText("Sending Email...", "10.0.0.7"), "Sending Email...");
}

TEST(StatusTexts, TipFitsInSixtyThreeBytesWithoutSplittingACharacter)
{
    const std::string longest = "255.255.255.255 %100 Phyical Free %100 Virtual Free ";
    EXPECT_EQ(longest.size(), 52U);
    EXPECT_EQ(FitTrayTip(longest), longest);
    EXPECT_EQ(FitTrayTip(std::string(63, 'a')), std::string(63, 'a'));
    EXPECT_EQ(FitTrayTip(std::string(80, 'a')), std::string(63, 'a'));
    EXPECT_EQ(FitTrayTip(std::string(62, 'a') + "\xC3\xA9" + "b"), std::string(62, 'a'));
    EXPECT_EQ(FitTrayTip(std::string(61, 'a') + "\xC3\xA9" + "b"),
              std::string(61, 'a') + "\xC3\xA9");
}
