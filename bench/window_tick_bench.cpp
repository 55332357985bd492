// SPDX-License-Identifier: MIT
// One timer tick of the real window, widgets included: the memory reading,
// both About labels, the local IP compared with the last one. The tick runs
// every 5 s for the program's whole life. tick_bench measures the same
// readings and texts without the window.
#include "bench_window.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using pellwick::QtMainWindow;
using pellwick::bench::WindowWorld;

// A window as the program starts by default, its timer only driven by hand.
struct StartedWindow
{
    // `addressWatched`: address changes are told as they happen (as on Linux),
    // so the tick reads the address only once a minute.
    explicit StartedWindow(bool addressWatched = false)
        : window(world.Parts(addressWatched))
    {
        // No event loop runs while the ticks are driven by hand, so the
        // window's own timer never fires among them.
        window.Form().Start();
        QCoreApplication::processEvents();
    }

    WindowWorld world {{}};
    QtMainWindow window;
};

// The tick as it runs while the address stays the same.
void WindowTick(benchmark::State &state)
{
    StartedWindow started;
    for (auto _ : state)
        started.window.Form().Tick();
}

// The tick as it runs in the program, which is told of address changes.
void WindowTickAddressWatched(benchmark::State &state)
{
    StartedWindow started(true);
    for (auto _ : state)
        started.window.Form().Tick();
}

// The tick of a program sent to the tray (or, with no tray, minimised): it
// reads no memory figures, which nothing shows then.
void WindowTickHidden(benchmark::State &state)
{
    StartedWindow started(true);
    started.window.Form().MenuItemChosen(pellwick::MenuItem::Minimize);
    QCoreApplication::processEvents();
    for (auto _ : state)
        started.window.Form().Tick();
}

// The tick plus the new tooltip, as when the address has changed (without the
// mail that may follow).
void WindowTickWithTip(benchmark::State &state)
{
    StartedWindow started;
    for (auto _ : state) {
        started.window.Form().Tick();
        started.window.Form().UpdateTrayTip();
    }
}

} // namespace

int main(int argc, char **argv)
{
    pellwick::bench::UseOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    for (auto *bench :
         {benchmark::RegisterBenchmark("WindowTick", WindowTick),
          benchmark::RegisterBenchmark("WindowTickAddressWatched", WindowTickAddressWatched),
          benchmark::RegisterBenchmark("WindowTickHidden", WindowTickHidden),
          benchmark::RegisterBenchmark("WindowTickWithTip", WindowTickWithTip)})
        bench->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
