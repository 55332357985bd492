// SPDX-License-Identifier: MIT
#include "core/app/command_line.h"
#include "core/app/info_request.h"

#include <gtest/gtest.h>

using pellwick::CommandLine;
using pellwick::InfoRequest;
using pellwick::IsLoginRun;
using pellwick::ParseCommandLine;
using pellwick::RunMode;

TEST(CommandLine, OnlyAWholeSlashOrDashSWordMarksALoginRun)
{
    for (const char *line : {"/s", "-S", "x /s", "a  /S", " -s "})
        EXPECT_TRUE(IsLoginRun(line)) << line;
    for (const char *line : {"", "/sx", "-s/s", "s", "//s", "x/s", "--s", "\t/s"})
        EXPECT_FALSE(IsLoginRun(line)) << line;
    // Arguments are joined with single blanks before the split, so an argument
    // holding a blank splits too.
    EXPECT_EQ(ParseCommandLine({"a", "b c", ""}).text, "a b c ");
}

TEST(CommandLine, EveryOptionAndWhatIsLeftUnknown)
{
    using Args = std::vector<std::string>;
    struct Row
    {
        Args arguments;
        RunMode mode;
        InfoRequest info;
        std::optional<std::string> passwordFile;
        Args unknown;
    };
    const auto none = std::nullopt;
    using enum RunMode;
    using enum InfoRequest;
    const Args wrong {"--helpx", "-help", "/??", "--Version", "-v", "/h", "help"};
    // clang-format off
    for (const Row &row : {
             Row {{}, Window, None, none, {}},
             Row {{"/s", "--headless"}, Headless, None, none, {}},
             Row {{"--headless", "--send-now"}, SendNow, None, none, {}},
             Row {wrong, Window, None, none, wrong},
             Row {{"--version"}, Window, Version, none, {}},
             Row {{"-h"}, Window, Help, none, {}},
             Row {{"--version", "--help"}, Window, Version, none, {}},
             Row {{"--help", "--version"}, Window, Help, none, {}},
             Row {{"/s", "--password-file", "/run/pw"}, Window, None, "/run/pw", {}},
             Row {{"--password-file=/a b", "--headless"}, Headless, None, "/a b", {}},
             // The word after the option is its value, even one that reads as
             // an option; it still chooses the mode.
             Row {{"--password-file", "--password-file", "x"}, Window, None, "--password-file",
                  {"x"}},
             Row {{"--password-file", "--send-now"}, SendNow, None, "--send-now", {}},
             Row {{"--password-file"}, Window, None, none, {"--password-file"}},
         }) {
        // clang-format on
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const CommandLine got = ParseCommandLine(row.arguments);
        EXPECT_EQ(got.mode, row.mode);
        EXPECT_EQ(got.info, row.info);
        EXPECT_EQ(got.passwordFile, row.passwordFile);
        EXPECT_EQ(got.unknown, row.unknown);
    }
}
