#include "core/app/command_line.h"

#include <gtest/gtest.h>

using pellwick::IsLoginRun;
using pellwick::JoinArguments;

TEST(CommandLine, OnlyAWholeSlashOrDashSWordMarksALoginRun)
{
    for (const char *line : {"/s", "-s", "/S", "-S", "x /s", "/s x", "a  /S", " -s "})
        EXPECT_TRUE(IsLoginRun(line)) << line;
    for (const char *line : {"", " ", "/sx", "-s/s", "s", "/", "//s", "x/s", "/ s", "--s", "\t/s"})
        EXPECT_FALSE(IsLoginRun(line)) << line;
    // Arguments are joined with single blanks before the split, so an argument
    // holding a blank splits too.
    EXPECT_EQ(JoinArguments({"a", "b c", ""}), "a b c ");
    EXPECT_TRUE(IsLoginRun(JoinArguments({"x /S"})));
    EXPECT_FALSE(IsLoginRun(JoinArguments({})));
}
