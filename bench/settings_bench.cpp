// SPDX-License-Identifier: MIT
// One load (every value read) and one save (every value written, one commit) of
// the settings record on a real hive file, as the program does at start and at exit.
#include "support/temp_folder.h"

#include "core/settings/settings.h"
#include "platform/posix/hive_file.h"

#include <benchmark/benchmark.h>

namespace {

using pellwick::HiveFile;
using pellwick::Settings;
using pellwick::test::TempFolder;

struct SavedRecord
{
    TempFolder folder;
    HiveFile hive {folder / "registry.reg"};
    Settings settings = Settings::Load(hive);

    // Every value stored, as after a run that changed them all.
    SavedRecord()
    {
        for (const pellwick::SettingRow &row : pellwick::SettingsTable())
            hive.Write(std::string(row.name), pellwick::Stored(row.fallback));
        hive.Commit();
        settings = Settings::Load(hive);
    }
};

// As at start: a hive file object that has not read the file yet.
void BM_LoadSettings(benchmark::State &state)
{
    SavedRecord record;
    for (auto _ : state) {
        HiveFile hive {record.folder / "registry.reg"};
        benchmark::DoNotOptimize(Settings::Load(hive));
    }
}

// The usual exit: nothing changed since the start, so no value needs writing.
void BM_SaveSettingsUnchanged(benchmark::State &state)
{
    SavedRecord record;
    for (auto _ : state)
        record.settings.Save(record.hive);
}

// Every value the window shows differs from the stored one.
void BM_SaveSettingsAllChanged(benchmark::State &state)
{
    SavedRecord record;
    Settings other = record.settings;
    for (const pellwick::SettingRow &row : pellwick::SettingsTable()) {
        if (row.kind == pellwick::ControlKind::TextBox)
            other.Set(row.name, other.Text(row.name) + " (changed)");
        else if (row.kind != pellwick::ControlKind::None)
            other.Set(row.name, other.Number(row.name) == 0 ? 1 : 0);
    }
    const Settings stored = record.settings;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        const Settings &target = flip ? other : stored;
        for (const pellwick::SettingRow &row : pellwick::SettingsTable()) {
            if (std::holds_alternative<std::string>(row.fallback))
                record.settings.Set(row.name, target.Text(row.name));
            else
                record.settings.Set(row.name, target.Number(row.name));
        }
        record.settings.Save(record.hive);
    }
}

} // namespace

BENCHMARK(BM_LoadSettings)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveSettingsUnchanged)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveSettingsAllChanged)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
