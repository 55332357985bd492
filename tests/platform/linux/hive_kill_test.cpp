// kill -9 at random moments while the nineteen settings are saved to one hive
// file, two hundred times. Every save of a value replaces the file whole, so the
// file is always one the saves passed through, never torn, and what a killed save
// leaves behind never stops the next one.
#include "support/fake_controls.h"
#include "support/temp_folder.h"

#include "core/settings/hive_text.h"
#include "core/settings/registry.h"
#include "core/settings/settings_io.h"
#include "core/settings/settings_table.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

using namespace pellwick;
using pellwick::test::FakeControls;
using pellwick::test::ReadBytes;
using pellwick::test::TempFolder;

namespace {

// Type and bytes of each of the nineteen values, in table order.
using Values = std::vector<std::string>;

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
    controls.texts[Control::txtMsg] = std::string(bodySize, tag[0]);
    return controls;
}

// The values when the file holds exactly the settings key and its nineteen values.
std::optional<Values> valuesOf(const std::string &content)
{
    const auto hive = ParseHive(content);
    const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey);
    if (!hive || hive->Sections().size() != 1 || hive->Sections()[0].values.size() != 19)
        return std::nullopt;
    Values values;
    for (const SettingRow &row : SettingsTable()) {
        const HiveValue *value = hive->FindValue(key, row.valueName);
        if (!value)
            return std::nullopt;
        values.push_back(std::to_string(value->type) + ":" + value->data);
    }
    return values;
}

// Whether a save of `next` over `before` passes through `now`, value by value in
// save order.
bool passesThrough(const Values &before, const Values &next, const Values &now)
{
    Values partly = before;
    for (const SettingRow *saved : SettingsSaveOrder()) {
        if (partly == now)
            return true;
        const auto row = static_cast<std::size_t>(saved - SettingsTable().data());
        partly[row] = next[row];
    }
    return partly == now;
}

// Waits for `count` bytes, each for at most ten seconds.
bool readBytes(int fd, int count)
{
    for (char byte = 0; count > 0; --count) {
        pollfd ready {fd, POLLIN, 0};
        if (::poll(&ready, 1, 10000) != 1 || ::read(fd, &byte, 1) != 1)
            return false;
    }
    return true;
}

std::size_t temporaryFiles(const std::filesystem::path &folder)
{
    std::size_t count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        count += entry.path().filename().string().starts_with("registry.reg.tmp");
    return count;
}

} // namespace

TEST(HiveKill, AKilledSaveLeavesAHiveTheSavesPassedThrough)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    FakeControls records[2] = {record("first", 0, 3000), record("second", 1, 10)};
    HiveFile parentHive(file);
    Registry parent(parentHive);
    Values values[2];
    for (int r : {1, 0}) {
        SaveSettings(parent, records[r]);
        values[r] = valuesOf(ReadBytes(file)).value();
    }

    const unsigned seed = 6;
    std::mt19937 random(seed);
    Values before = values[0];
    int midRecord = 0;
    for (int round = 0; round < 200; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Reports each new file that is about to replace the hive.
            HiveFile hive(file, [fd = progress[1]](const std::filesystem::path &) {
                return ::write(fd, "+", 1) == 1;
            });
            Registry registry(hive);
            for (int r = 1;; r ^= 1)
                SaveSettings(registry, records[r]);
        }
        ::close(progress[1]);
        // Somewhere in the first two records, then anywhere within a few value saves.
        const bool saving = readBytes(progress[0], std::uniform_int_distribution(1, 38)(random));
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(0, 3000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(progress[0]);
        ASSERT_TRUE(saving) << "round " << round << ": the save made no progress";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        const std::string content = ReadBytes(file);
        const auto now = valuesOf(content);
        ASSERT_TRUE(now) << "round " << round << ", seed " << seed << ":\n" << content;
        ASSERT_TRUE(passesThrough(before, values[1], *now)
                    || passesThrough(values[1], values[0], *now)
                    || passesThrough(values[0], values[1], *now))
            << "round " << round << ", seed " << seed << ":\n"
            << content;
        EXPECT_LE(temporaryFiles(folder.path()), 1u) << "round " << round;
        midRecord += *now != values[0] && *now != values[1];
        before = *now;
    }

    SaveSettings(parent, records[0]);
    FakeControls loaded;
    LoadSettings(parent, loaded);
    EXPECT_EQ(loaded.texts, records[0].texts);
    EXPECT_EQ(loaded.states, records[0].states);
    EXPECT_EQ(temporaryFiles(folder.path()), 0u);
    std::cout << midRecord << " of 200 kills left one record partly saved\n";
}
