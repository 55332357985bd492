// SPDX-License-Identifier: MIT
// The real window started with a 1 MiB message and shown: from the window's
// making until its first paint, the Email tab with the message in view. One
// line of it without a blank once cost Qt's word wrap minutes; every shape of
// message should take at most 100 ms.
#include "bench_window.h"
#include "gui/qt/text_lines.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace {

using pellwick::QtMainWindow;
using pellwick::bench::WindowWorld;

constexpr std::size_t kMessageSize = std::size_t {1} << 20;

// kMessageSize bytes of `piece` over and over.
std::string repeated(const std::string &piece)
{
    std::string text;
    while (text.size() < kMessageSize)
        text += piece;
    text.resize(kMessageSize);
    return text;
}

void loadAndShow(benchmark::State &state, const std::string &message)
{
    // Read from the settings file, as at a real start.
    WindowWorld world {{{"Msg", message}}};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            QtMainWindow window(world.Parts());
            window.Load();
            QCoreApplication::processEvents();
            window.repaint();
            state.SetIterationTime(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            const auto *shown = window.Get<QPlainTextEdit>(pellwick::Control::Message);
            if (pellwick::PlainTextWithCrLf(*shown) != message)
                state.SkipWithError("the message did not reach the window whole");
        }
        QCoreApplication::processEvents();
    }
}

} // namespace

int main(int argc, char **argv)
{
    pellwick::bench::UseOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string oneLine = repeated("0123456789abcdef");
    const std::string words = repeated("abcdefghi ");
    const std::string lines = repeated(std::string(68, 'x') + "\r\n");
    for (auto *bench : {
             benchmark::RegisterBenchmark("MessageLoad/one_unbroken_line", loadAndShow, oneLine),
             benchmark::RegisterBenchmark("MessageLoad/one_line_of_words", loadAndShow, words),
             benchmark::RegisterBenchmark("MessageLoad/lines_of_70", loadAndShow, lines),
         })
        bench->UseManualTime()->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(
            benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    const bool understood = !benchmark::ReportUnrecognizedArguments(argc, argv);
    if (understood)
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return understood ? 0 : 1;
}
