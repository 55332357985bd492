// SPDX-License-Identifier: MIT
#include "core/tray/status_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;

TEST(StatusTexts, TooltipForEveryCombinationOfTheThreeOptions)
{
    const MemStatus memory {4000, 1000, 4000, 2000};
    using Row = std::tuple<bool, bool, bool, std::string>;
    for (const auto &[ip, phys, virt, tip] : {
             Row {false, false, false, ""},
             Row {true, false, false, "10.0.0.7 "},
             Row {false, true, false, "%25 Phyical Free "},
             Row {false, false, true, "%50 Virtual Free "},
             Row {true, false, true, "10.0.0.7 %50 Virtual Free "},
             Row {true, true, true, "10.0.0.7 %25 Phyical Free %50 Virtual Free "},
         })
        EXPECT_EQ(TrayTipText(ip, phys, virt, "10.0.0.7", memory), tip);
}
