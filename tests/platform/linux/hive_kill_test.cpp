// SPDX-License-Identifier: MIT
// kill -9 at a random moment 0-70 ms into saves of changed records, a hundred times:
// the file always holds one whole record, and the next start finds no temporary file.
#include "platform/linux/temp_hive.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

using namespace pellwick;
using pellwick::test::FolderNames;

namespace {

// Every value the window shows differs between the two records, and their files
// differ in length. Set over the other record, so that a save writes them all.
void fill(Settings &settings, int which)
{
    const std::string tag = which == 0 ? "first" : "second";
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind == ControlKind::TextBox)
            settings.Set(row.name, tag + " " + std::string(row.name));
        else if (row.kind != ControlKind::None)
            settings.Set(row.name, row.kind == ControlKind::ComboBox ? which + 1 : which);
    }
    settings.Set("Msg", std::string(which == 0 ? 3000 : 10, tag[0]));
}

} // namespace

TEST(HiveKill, AKilledSaveLeavesTheWholeOldOrNewRecordAndNoTemporaryFile)
{
    test::TempHive h;
    Settings records[2];
    fill(records[0], 0);
    fill(records[1], 1);
    Settings saved = records[1];
    ASSERT_EQ(saved.Save(h.hive), "");
    fill(saved, 0);
    ASSERT_EQ(saved.Save(h.hive), "");

    std::mt19937 random(13);
    int seen[2] = {0, 0};
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int r = 1;; r ^= 1) {
                fill(saved, r);
                saved.Save(h.hive);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(0, 70000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        // The next start: one whole record, and what the killed save left is gone.
        HiveFile hive(h.file, kSettingsKey, [](const std::string &) {});
        const Settings loaded = Settings::Load(hive);
        const int which = loaded == records[1] ? 1 : 0;
        ASSERT_TRUE(loaded == records[which]) << "round " << round;
        ++seen[which];
        EXPECT_EQ(FolderNames(h.folder.path()),
                  (std::vector<std::string> {"registry.reg", "registry.reg.lock"}))
            << "round " << round;
    }
    // The kills caught the saves in both directions.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
