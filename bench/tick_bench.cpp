// SPDX-License-Identifier: MIT
// What one timer tick reads and writes, apart from the widgets: the local IP, a
// new memory snapshot, both About lines and the tooltip. The tick runs every 5 s
// for the whole life of the program, so this should stay in the tens of
// microseconds.

#include "core/tray/status_texts.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void TickReadings(benchmark::State &state)
{
    const pellwick::MemoryReader read = pellwick::PlatformMemoryReader();
    for (auto _ : state) {
        const std::string ip = pellwick::LocalIP();
        const pellwick::MemStatus memory = read();
        std::string physical = pellwick::PhysicalMemoryLine(memory);
        std::string virtualLine = pellwick::VirtualMemoryLine(memory);
        std::string tip = pellwick::TrayTipText(true, true, true, ip, memory);
        benchmark::DoNotOptimize(physical);
        benchmark::DoNotOptimize(virtualLine);
        benchmark::DoNotOptimize(tip);
    }
}

void LocalIPReading(benchmark::State &state)
{
    for (auto _ : state) {
        std::string ip = pellwick::LocalIP();
        benchmark::DoNotOptimize(ip);
    }
}

void MemoryReading(benchmark::State &state)
{
    const pellwick::MemoryReader read = pellwick::PlatformMemoryReader();
    for (auto _ : state) {
        pellwick::MemStatus memory = read();
        benchmark::DoNotOptimize(memory);
    }
}

void MemoryTexts(benchmark::State &state)
{
    const pellwick::MemStatus memory = pellwick::PlatformMemoryReader()();
    for (auto _ : state) {
        std::string physical = pellwick::PhysicalMemoryLine(memory);
        std::string virtualLine = pellwick::VirtualMemoryLine(memory);
        std::string tip = pellwick::TrayTipText(true, true, true, "192.168.100.200", memory);
        benchmark::DoNotOptimize(physical);
        benchmark::DoNotOptimize(virtualLine);
        benchmark::DoNotOptimize(tip);
    }
}

// Repeated runs with only their median, mean and spread reported.
void Repeated(benchmark::internal::Benchmark *b)
{
    b->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(TickReadings)->Apply(Repeated);
BENCHMARK(LocalIPReading)->Apply(Repeated);
BENCHMARK(MemoryReading)->Apply(Repeated);
BENCHMARK(MemoryTexts)->Apply(Repeated);

BENCHMARK_MAIN();
