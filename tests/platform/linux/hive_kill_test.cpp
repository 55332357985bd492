// kill -9 at a random moment 0-70 ms into saves of changed records, a hundred
// times. The file must always hold one whole record, the old or the new, and the
// next start must find no temporary file.
#include "platform/linux/temp_hive.h"
#include "support/fake_controls.h"

#include "core/settings/settings_io.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

using namespace pellwick;
using pellwick::test::FakeControls;
using pellwick::test::FolderNames;

namespace {

// Every value differs between the two records, and their files differ in length.
FakeControls record(const std::string &tag, int state, std::size_t bodySize)
{
    FakeControls controls;
    for (const SettingRow &row : SettingsTable()) {
        const Control control = row.control;
        if (row.kind == ControlKind::TextBox)
            controls.texts[control] = tag + " " + std::string(ControlName(control));
        else
            controls.states[control] = row.kind == ControlKind::ComboBox ? state + 1 : state;
    }
    controls.states[NotifyOnFailureRow().control] = state;
    controls.texts[Control::txtMsg] = std::string(bodySize, tag[0]);
    return controls;
}

} // namespace

TEST(HiveKill, AKilledSaveLeavesTheWholeOldOrNewRecordAndNoTemporaryFile)
{
    test::TempHive h;
    FakeControls records[2] = {record("first", 0, 3000), record("second", 1, 10)};
    ASSERT_FALSE(SaveSettings(h.registry, records[0]).Failed());

    std::mt19937 random(13);
    int seen[2] = {0, 0};
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int r = 1;; r ^= 1)
                SaveSettings(h.registry, records[r]);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(0, 70000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        // The next start: one whole record, and what the killed save left is gone.
        HiveFile hive(h.file, [](const std::string &) {});
        Registry registry(hive);
        FakeControls loaded;
        LoadSettings(registry, loaded);
        const int which = loaded.texts == records[1].texts ? 1 : 0;
        ASSERT_EQ(loaded.texts, records[which].texts) << "round " << round;
        ASSERT_EQ(loaded.states, records[which].states) << "round " << round;
        ++seen[which];
        EXPECT_EQ(FolderNames(h.folder.path()),
                  (std::vector<std::string> {"registry.reg", "registry.reg.lock"}))
            << "round " << round;
    }
    // The kills caught the saves in both directions.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
