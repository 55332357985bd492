// One load (19 QueryValue) and one save (19 SetKeyValue in one batch) of the
// settings record on a real hive file, as the program does at start and at exit.
#include "support/fake_controls.h"
#include "support/temp_folder.h"

#include "core/settings/settings_io.h"
#include "platform/posix/hive_file.h"

#include <benchmark/benchmark.h>

namespace {

using pellwick::HiveFile;
using pellwick::Registry;
using pellwick::test::FakeControls;
using pellwick::test::TempFolder;

struct SavedRecord
{
    TempFolder folder;
    HiveFile hive {folder / "registry.reg"};
    Registry registry {hive};
    FakeControls controls;

    SavedRecord()
    {
        pellwick::LoadSettings(registry, controls);
        pellwick::SaveSettings(registry, controls);
    }
};

// As at start: a hive file object that has not read the file yet.
void BM_LoadSettings(benchmark::State &state)
{
    SavedRecord record;
    for (auto _ : state) {
        HiveFile hive {record.hive.File()};
        Registry registry {hive};
        pellwick::LoadSettings(registry, record.controls);
    }
}

// The usual exit: nothing changed since the start, so no value needs writing.
void BM_SaveSettingsUnchanged(benchmark::State &state)
{
    SavedRecord record;
    for (auto _ : state)
        pellwick::SaveSettings(record.registry, record.controls);
}

// Every one of the 19 values differs from the stored one.
void BM_SaveSettingsAllChanged(benchmark::State &state)
{
    SavedRecord record;
    FakeControls other = record.controls;
    for (auto &[name, text] : other.texts)
        text += " (changed)";
    for (auto &[name, value] : other.states)
        value = value == 0 ? 1 : 0;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        pellwick::SaveSettings(record.registry, flip ? other : record.controls);
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
