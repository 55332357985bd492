// SPDX-License-Identifier: MIT
// One append to the debug log of the real window, shown, as every command and
// reply of a mail dialogue makes. The log keeps its newest 1 MiB, so with a full
// log each append also cuts the oldest lines; an append should cost about the
// same with a kilobyte or a full log before it.
#include "bench_window.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using pellwick::QtMainWindow;
using pellwick::bench::WindowWorld;

// What a dialogue writes into the log, one line at a time.
const std::array<std::string, 10> kDialogue {
    "220 mail.example.com ESMTP ready\r\n",
    "HELO pellwick\r\n",
    "250 mail.example.com\r\n",
    "MAIL FROM:<pellwick@example.com>\r\n",
    "250 2.1.0 Ok\r\n",
    "RCPT TO:<someone@example.com>\r\n",
    "250 2.1.5 Ok\r\n",
    "DATA\r\n",
    "354 End data with <CR><LF>.<CR><LF>\r\n",
    "Subject: Your New IP is 192.168.100.200\r\n",
};
constexpr int kAppendsPerTrim = 1000;

const std::string &lineNumber(std::size_t n)
{
    return kDialogue[n % kDialogue.size()];
}

// The real window, started with its debug tab shown and selected, as a user
// watching the log sees it.
class LoggedWindow
{
public:
    LoggedWindow()
    {
        window.Form().Start();
        window.Tabs->setCurrentIndex(static_cast<int>(pellwick::Tab::Debug));
        window.show();
        QCoreApplication::processEvents();
    }

    // Appends whole dialogue lines until `bytes` of log are present.
    void Fill(std::size_t bytes)
    {
        std::string chunk;
        std::size_t line = 0;
        while (logBytes < bytes) {
            chunk.clear();
            while (chunk.size() < 64 * 1024 && logBytes + chunk.size() < bytes)
                chunk += lineNumber(line++);
            logBytes += chunk.size();
            window.Form().AppendToDebugLog(chunk);
        }
        QCoreApplication::processEvents();
        m_filledEnd = endPosition();
    }

    // Removes whatever was appended after Fill.
    void Trim()
    {
        QTextCursor tail(window.DebugText->document());
        tail.setPosition(m_filledEnd);
        tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        tail.removeSelectedText();
        QCoreApplication::processEvents();
    }

    int endPosition() const { return window.DebugText->document()->characterCount() - 1; }

    WindowWorld world {{{"ShowDebug", 1}}};
    QtMainWindow window {world.Parts()};
    std::size_t logBytes = 0;

private:
    int m_filledEnd = 0;
};

// Windows with a filled log, made once per size and kept across the runs that
// Google Benchmark makes of one benchmark.
using FilledWindows = std::map<std::size_t, std::unique_ptr<LoggedWindow>>;

LoggedWindow &filled(FilledWindows &windows, std::size_t bytes)
{
    auto &slot = windows[bytes];
    if (!slot) {
        slot = std::make_unique<LoggedWindow>();
        slot->Fill(bytes);
    }
    return *slot;
}

void appendWithLogPresent(benchmark::State &state, FilledWindows &windows)
{
    const auto bytes = static_cast<std::size_t>(state.range(0));
    LoggedWindow &logged = filled(windows, bytes);
    logged.Trim();
    std::size_t n = 0;
    for (auto _ : state) {
        logged.window.Form().AppendToDebugLog(lineNumber(n));
        if (++n % kAppendsPerTrim == 0) {
            // Keep the log at the size under test.
            state.PauseTiming();
            logged.Trim();
            state.ResumeTiming();
        }
    }
    state.counters["log_bytes"] = static_cast<double>(logged.logBytes);
}

double medianOf(std::vector<double> values)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// 100,000 appends to a log that starts empty, timed in blocks of 1000. The cost
// per append at the start is the median block of the first ten, at the end the
// median block of the last ten: a median, so that one block slowed by another
// process on the machine does not decide the figure.
void appendGrowth(benchmark::State &state)
{
    constexpr int kBlocks = 100;
    constexpr int kEdgeBlocks = 10;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        LoggedWindow logged;
        std::vector<double> usPerAppend;
        usPerAppend.reserve(kBlocks);
        double total = 0;
        std::size_t n = 0;
        for (int block = 0; block < kBlocks; ++block) {
            const auto start = Clock::now();
            for (int i = 0; i < kAppendsPerTrim; ++i)
                logged.window.Form().AppendToDebugLog(lineNumber(n++));
            const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
            usPerAppend.push_back(spent.count() / kAppendsPerTrim);
            total += spent.count();
            // The program repaints between dialogue steps; so does this loop.
            QCoreApplication::processEvents();
        }
        const double first = medianOf({usPerAppend.begin(), usPerAppend.begin() + kEdgeBlocks});
        const double last = medianOf({usPerAppend.end() - kEdgeBlocks, usPerAppend.end()});
        state.counters["start_us"] = first;
        state.counters["end_us"] = last;
        state.counters["end_over_start"] = last / first;
        state.counters["log_chars"] = logged.endPosition();
        // Only the appends count, not the window's making and teardown.
        state.SetIterationTime(total / 1e6);
    }
}

} // namespace

int main(int argc, char **argv)
{
    pellwick::bench::UseOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    FilledWindows windows;
    benchmark::RegisterBenchmark(
        "AppendToDebugLog",
        [&windows](benchmark::State &state) { appendWithLogPresent(state, windows); })
        ->Arg(1024)
        ->Arg(100 * 1024)
        ->Arg(1024 * 1024)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("AppendToDebugLog100k", appendGrowth)
        ->Iterations(1)
        ->UseManualTime()
        ->Repetitions(3)
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows.clear(); // before the application goes
    return 0;
}
