#include "core/app/command_line.h"
#include "core/app/info_request.h"

#include <gtest/gtest.h>

#include <regex>

using pellwick::CommandLine;
using pellwick::InfoRequest;
using pellwick::IsLoginRun;
using pellwick::ParseCommandLine;
using pellwick::RunMode;

TEST(CommandLine, OnlyAWholeSlashOrDashSWordMarksALoginRun)
{
    for (const char *line : {"/s", "-s", "/S", "-S", "x /s", "/s x", "a  /S", " -s "})
        EXPECT_TRUE(IsLoginRun(line)) << line;
    for (const char *line : {"", " ", "/sx", "-s/s", "s", "/", "//s", "x/s", "/ s", "--s", "\t/s"})
        EXPECT_FALSE(IsLoginRun(line)) << line;
    // Arguments are joined with single blanks before the split, so an argument
    // holding a blank splits too.
    EXPECT_EQ(ParseCommandLine({"a", "b c", ""}).text, "a b c ");
    EXPECT_TRUE(ParseCommandLine({"x /S"}).loginRun);
    EXPECT_FALSE(ParseCommandLine({}).loginRun);
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
    for (const Row &row : {
             Row {{}, RunMode::Window, InfoRequest::None, none, {}},
             Row {{"/s", "x"}, RunMode::Window, InfoRequest::None, none, {"x"}},
             Row {{"/s", "--headless"}, RunMode::Headless, InfoRequest::None, none, {}},
             Row {{"--headless", "--send-now"}, RunMode::SendNow, InfoRequest::None, none, {}},
             Row {{"--Headless"}, RunMode::Window, InfoRequest::None, none, {"--Headless"}},
             Row {{"--helpx", "-help", "/??", "--Version", "-v", "/h", "help"},
                  RunMode::Window,
                  InfoRequest::None,
                  none,
                  {"--helpx", "-help", "/??", "--Version", "-v", "/h", "help"}},
             Row {{"--version"}, RunMode::Window, InfoRequest::Version, none, {}},
             Row {{"-h"}, RunMode::Window, InfoRequest::Help, none, {}},
             Row {{"/s", "/?"}, RunMode::Window, InfoRequest::Help, none, {}},
             Row {{"--version", "--help"}, RunMode::Window, InfoRequest::Version, none, {}},
             Row {{"--help", "--version"}, RunMode::Window, InfoRequest::Help, none, {}},
             Row {{"/s", "--password-file", "/run/pw"},
                  RunMode::Window,
                  InfoRequest::None,
                  "/run/pw",
                  {}},
             Row {{"--password-file=/a b", "--headless"},
                  RunMode::Headless,
                  InfoRequest::None,
                  "/a b",
                  {}},
             Row {{"--password-file=a", "--password-file", "b"},
                  RunMode::Window,
                  InfoRequest::None,
                  "b",
                  {}},
             // The word after the option is its value, even one that reads as
             // an option; it still chooses the mode.
             Row {{"--password-file", "--password-file", "x"},
                  RunMode::Window,
                  InfoRequest::None,
                  "--password-file",
                  {"x"}},
             Row {{"--password-file", "--send-now"},
                  RunMode::SendNow,
                  InfoRequest::None,
                  "--send-now",
                  {}},
             Row {{"--password-file"},
                  RunMode::Window,
                  InfoRequest::None,
                  none,
                  {"--password-file"}},
             Row {{"--password-files=x"},
                  RunMode::Window,
                  InfoRequest::None,
                  none,
                  {"--password-files=x"}},
         }) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const CommandLine got = ParseCommandLine(row.arguments);
        EXPECT_EQ(got.mode, row.mode);
        EXPECT_EQ(got.info, row.info);
        EXPECT_EQ(got.passwordFile, row.passwordFile);
        EXPECT_EQ(got.unknown, row.unknown);
    }
}

TEST(CommandLine, InfoTextsNameTheProgram)
{
    using pellwick::InfoText;
    using pellwick::VersionText;
    EXPECT_TRUE(std::regex_match(VersionText(), std::regex("Pellwick [0-9]+(\\.[0-9]+)+")))
        << VersionText();
    EXPECT_EQ(InfoText(InfoRequest::Version, "pellwick"),
              VersionText() + "\n" + pellwick::LicenceText());
    EXPECT_TRUE(InfoText(InfoRequest::Help, "Pellwick.exe")
                    .starts_with("Usage: Pellwick.exe [/s] [--headless | --send-now] "
                                 "[--password-file FILE]\n"));
    EXPECT_EQ(InfoText(InfoRequest::None, "pellwick"), "");
}
