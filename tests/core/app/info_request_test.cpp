#include "core/app/info_request.h"

#include <gtest/gtest.h>

#include <regex>

using pellwick::InfoRequest;
using pellwick::VersionText;

TEST(InfoRequest, HelpOrVersionFromTheFirstSwitchThatAsksForIt)
{
    EXPECT_TRUE(std::regex_match(VersionText(), std::regex("Pellwick [0-9]+(\\.[0-9]+)+")))
        << VersionText();
    const std::string usage = "Usage: pellwick [/s] [--password-file FILE]\n";
    const struct
    {
        std::vector<std::string> arguments;
        std::optional<std::string> printed; // its beginning
    } cases[] = {
        {{}, std::nullopt},
        {{"/s", "x"}, std::nullopt},
        {{"--helpx", "-help", "/??", "--Version", "-v", "/h", "help"}, std::nullopt},
        {{"--version"}, VersionText() + "\n"},
        {{"--help"}, usage},
        {{"-h"}, usage},
        {{"/s", "/?"}, usage},
        {{"--version", "--help"}, VersionText() + "\n"},
        {{"--help", "--version"}, usage},
    };
    for (const auto &c : cases) {
        const auto printed = InfoRequest(c.arguments, "pellwick");
        ASSERT_EQ(printed.has_value(), c.printed.has_value())
            << testing::PrintToString(c.arguments);
        if (printed) {
            EXPECT_EQ(printed->substr(0, c.printed->size()), *c.printed) << *printed;
        }
    }
    using pellwick::RunMode;
    EXPECT_EQ(pellwick::ChosenRunMode({"/s", "--headless"}), RunMode::Headless);
    EXPECT_EQ(pellwick::ChosenRunMode({"--headless", "--send-now"}), RunMode::SendNow);
    EXPECT_EQ(pellwick::ChosenRunMode({"--Headless"}), RunMode::Window);
    EXPECT_NE(pellwick::NoDisplayLine(RunMode::Window, "", "", ""), "");
    EXPECT_EQ(pellwick::NoDisplayLine(RunMode::Window, "", "", "offscreen"), "");
    EXPECT_EQ(pellwick::NoDisplayLine(RunMode::Headless, "", "", ""), "");
}
