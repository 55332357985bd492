#include "support/temp_folder.h"

#include "core/settings/registry.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace pellwick;
using pellwick::test::FolderNames;
using pellwick::test::TempFolder;

namespace {

const std::string kKey = "Software\\Pellwick";

std::filesystem::perms modeOf(const std::filesystem::path &file)
{
    return std::filesystem::status(file).permissions() & std::filesystem::perms::mask;
}

} // namespace

TEST(HiveFile, TwoProcessesWritingAtOnceLoseNothing)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const char *prefix : {"first", "second"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            (void)::read(gate[0], &go, 1); // both start when the gate closes
            HiveFile hive(file);
            Registry registry(hive);
            int failures = 0;
            for (std::int32_t i = 0; i < 500; ++i)
                failures += registry.SetKeyValue(kHkeyLocalMachine, kKey,
                                                 prefix + std::to_string(i), i, kRegDword)
                            != 0;
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    HiveFile hive(file);
    Registry registry(hive);
    int found = 0;
    for (const std::string prefix : {"first", "second"})
        for (std::int32_t i = 0; i < 500; ++i)
            found += registry.QueryValue(kHkeyLocalMachine, kKey, prefix + std::to_string(i),
                                         std::monostate {})
                     == RegistryValue(i);
    EXPECT_EQ(found, 1000);
    EXPECT_EQ(FolderNames(folder.path()),
              (std::vector<std::string> {"registry.reg", "registry.reg.lock"}));
}

TEST(HiveFile, FileAndFolderAreTheOwnersAlone)
{
    TempFolder folder;
    const auto file = folder / "config" / "pellwick" / "registry.reg";
    HiveFile hive(file);
    Registry registry(hive);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("a@b"), kRegSz);
    using std::filesystem::perms;
    EXPECT_EQ(modeOf(file), perms::owner_read | perms::owner_write);
    EXPECT_EQ(modeOf(file.string() + ".lock"), perms::owner_read | perms::owner_write);
    EXPECT_EQ(modeOf(file.parent_path()), perms::owner_all);
    EXPECT_EQ(modeOf(file.parent_path().parent_path()), perms::owner_all);

    // A hive once opened to everybody is private again after the next change.
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::others_read);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("c@d"), kRegSz);
    EXPECT_EQ(modeOf(file), perms::owner_read | perms::owner_write);
}
