#include "core/app/info_request.h"

#include <gtest/gtest.h>

#include <regex>
#include <utility>

using pellwick::InfoRequest;
using pellwick::VersionText;

TEST(InfoRequest, HelpOrVersionFromTheFirstSwitchThatAsksForIt)
{
    EXPECT_TRUE(std::regex_match(VersionText(), std::regex("Pellwick [0-9]+(\\.[0-9]+)+")))
        << VersionText();
    const std::string usage = "Usage: pellwick [/s] [--password-file FILE]\n";
    // The arguments, and the beginning of what is printed.
    using Row = std::pair<std::vector<std::string>, std::optional<std::string>>;
    for (const auto &[arguments, expected] : {
             Row {{}, std::nullopt},
             Row {{"/s", "x"}, std::nullopt},
             Row {{"--helpx", "-help", "/??", "--Version", "-v", "/h", "help"}, std::nullopt},
             Row {{"--version"}, VersionText() + "\n"},
             Row {{"--help"}, usage},
             Row {{"-h"}, usage},
             Row {{"/s", "/?"}, usage},
             Row {{"--version", "--help"}, VersionText() + "\n"},
             Row {{"--help", "--version"}, usage},
         }) {
        const auto printed = InfoRequest(arguments, "pellwick");
        ASSERT_EQ(printed.has_value(), expected.has_value()) << testing::PrintToString(arguments);
        if (printed) {
            EXPECT_EQ(printed->substr(0, expected->size()), *expected) << *printed;
        }
    }
    // The licence line as GNU programs print it, after the version and the copyright.
    EXPECT_NE(InfoRequest({"--version"}, "pellwick")
                  ->find("\nLicense: MIT <https://opensource.org/licenses/MIT>\n"),
              std::string::npos);
    using pellwick::RunMode;
    EXPECT_EQ(pellwick::ChosenRunMode({"/s", "--headless"}), RunMode::Headless);
    EXPECT_EQ(pellwick::ChosenRunMode({"--headless", "--send-now"}), RunMode::SendNow);
    EXPECT_EQ(pellwick::ChosenRunMode({"--Headless"}), RunMode::Window);
    EXPECT_NE(pellwick::NoDisplayLine(RunMode::Window, "", "", ""), "");
    EXPECT_EQ(pellwick::NoDisplayLine(RunMode::Window, "", "", "offscreen"), "");
    EXPECT_EQ(pellwick::NoDisplayLine(RunMode::Headless, "", "", ""), "");
}
