// SPDX-License-Identifier: MIT
// Makes the real window deliver one mail after another to a server and samples
// the process's resident memory as it goes, with the debug log's own size
// beside it. The log keeps its newest 1 MiB; with "--log off" nothing is
// written to it, so what remains of any growth is not the log's.
//
//   delivery_driver [--count N] [--every K] [--log keep|off]
//                   [--server HOST] [--port P] [--results FILE]
//
// Prints a Markdown table; with --results also appends "key<TAB>value" lines.
#include "bench_window.h"

#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_deadline.h"
#include "platform/linux/proc_memory.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using pellwick::MainWindow;
using pellwick::QtWindowParts;
using pellwick::bench::WindowWorld;

// What happens to the debug log: it keeps its newest text (the program as it
// is), or nothing is written to it at all.
enum class LogMode { Keep, Off };

struct Options
{
    long count = 10000;
    long every = 1000;
    LogMode log = LogMode::Keep;
    std::string server = "127.0.0.1";
    std::optional<std::uint16_t> port;
    std::string results;
};

std::optional<Options> parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--count")
            options.count = std::stol(value);
        else if (name == "--every")
            options.every = std::stol(value);
        else if (name == "--log" && value == "keep")
            options.log = LogMode::Keep;
        else if (name == "--log" && value == "off")
            options.log = LogMode::Off;
        else if (name == "--server")
            options.server = value;
        else if (name == "--port")
            options.port = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "--results")
            options.results = value;
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || options.count < 1 || options.every < 1)
        return std::nullopt;
    return options;
}

// The window's behaviour, told when a dialogue has ended: the dialogue asks the
// window whether to exit at the end of every dialogue, whatever its outcome.
class DeliveringMainWindow : public MainWindow
{
public:
    DeliveringMainWindow(pellwick::WindowView &view, pellwick::WindowParts parts, bool logOff)
        : MainWindow(view, std::move(parts))
        , m_logOff(logOff)
    {
        // One timer for every wait: a timer per wait would live on after its
        // wait and add to the memory this driver measures.
        m_timeout.setSingleShot(true);
        QObject::connect(&m_timeout, &QTimer::timeout, [this] {
            if (m_waiting)
                m_waiting->quit();
        });
    }

    void AppendToDebugLog(const std::string &text) override
    {
        if (!m_logOff)
            MainWindow::AppendToDebugLog(text);
    }

    void CheckAutoExit() override
    {
        ++dialoguesEnded;
        if (m_waiting)
            m_waiting->quit();
        MainWindow::CheckAutoExit();
    }

    // Sends one mail and runs the event loop until its dialogue has ended;
    // false when it has not ended within `timeoutMs`.
    bool Deliver(int timeoutMs)
    {
        const long target = dialoguesEnded + 1;
        SendEmail();
        if (dialoguesEnded >= target)
            return true;
        QEventLoop loop;
        m_waiting = &loop;
        m_timeout.start(timeoutMs);
        loop.exec();
        m_timeout.stop();
        m_waiting = nullptr;
        return dialoguesEnded >= target;
    }

    long dialoguesEnded = 0;

private:
    bool m_logOff;
    QTimer m_timeout;
    QEventLoop *m_waiting = nullptr;
};

// The real window's widgets, menu and socket under that window's behaviour; its timer
// (never connected to the ticks) and clipboard play no part in deliveries.
struct DeliveringWindow : pellwick::Clipboard
{
    DeliveringWindow(QtWindowParts parts, bool logOff)
        : form(view, pellwick::TakeWindowParts(parts, events, *this, nullptr), logOff)
    {
        QObject::connect(&events.socket, &pellwick::QtSocket::dataArrival,
                         [this](std::int32_t count) { form.DataArrived(count); });
    }

    void SetText(const std::string &) override { }

    // Laid out at once: the log goes into the real widget.
    struct BuiltControls : pellwick::MainWindowControls
    {
        BuiltControls()
            : MainWindowControls(pellwick::PellwickIcon())
        {
            BuildControls();
        }
    } controls;
    pellwick::TrayMenu menu {controls.windowIcon()};
    pellwick::QtWindowView view {controls, menu};
    pellwick::QtWindowEvents events;
    DeliveringMainWindow form;
};

std::uint64_t residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = status.readAll();
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    return pellwick::ProcKilobyteField(view, "VmRSS").value_or(0) / 1024;
}

struct Sample
{
    long deliveries;
    std::uint64_t rssKb;
    long logChars;
    long logLines;
    double seconds;
};

} // namespace

int main(int argc, char **argv)
{
    pellwick::bench::UseOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--count N] [--every K] [--log keep|off] "
                     "[--server HOST] [--port P] [--results FILE]\n",
                     argv[0]);
        return 2;
    }

    // The program's usual life: hidden in the tray, mailing the configured server.
    std::vector<pellwick::bench::Setting> settings {{"SMTPServer", options->server},
                                                    {"StartMinimized", 1}};
    if (options->port)
        settings.emplace_back("SMTPPort", int {*options->port});
    WindowWorld world(settings);
    DeliveringWindow window(world.Parts(), options->log == LogMode::Off);
    window.form.Start();
    QCoreApplication::processEvents();

    // The window's own log: the hidden window's widget catches up only when shown.
    const std::string &log = window.form.DebugLog();
    const auto start = std::chrono::steady_clock::now();
    std::vector<Sample> samples;
    const auto sample = [&](long deliveries) {
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        samples.push_back({deliveries, residentKilobytes(), static_cast<long>(log.size()),
                           std::count(log.begin(), log.end(), '\n'), spent.count()});
    };

    sample(0);
    for (long n = 1; n <= options->count; ++n) {
        if (!window.form.Deliver(10000)) {
            std::fprintf(stderr, "delivery %ld did not end within 10 s\n", n);
            return 1;
        }
        if (n % options->every == 0 || n == options->count)
            sample(n);
    }

    const char *mode = options->log == LogMode::Keep ? "keep" : "off";
    std::printf("| deliveries | VmRSS kB | debug log chars | debug log lines | s |\n");
    std::printf("|---:|---:|---:|---:|---:|\n");
    for (const Sample &s : samples)
        std::printf("| %ld | %llu | %ld | %ld | %.1f |\n", s.deliveries,
                    static_cast<unsigned long long>(s.rssKb), s.logChars, s.logLines, s.seconds);

    const Sample &first = samples.at(1 < samples.size() ? 1 : 0);
    const Sample &last = samples.back();
    const double perDelivery = last.seconds * 1000.0 / static_cast<double>(last.deliveries);
    std::printf("\nlog %s: VmRSS %+lld kB from delivery %ld to %ld; %.2f ms per delivery\n", mode,
                static_cast<long long>(last.rssKb) - static_cast<long long>(first.rssKb),
                first.deliveries, last.deliveries, perDelivery);
    if (!options->results.empty()) {
        std::ofstream out(options->results, std::ios::app);
        std::ostringstream prefix;
        prefix << "deliveries." << mode << ".";
        out << prefix.str() << "count\t" << last.deliveries << "\n"
            << prefix.str() << "rss_first_kb\t" << first.rssKb << "\n"
            << prefix.str() << "rss_first_at\t" << first.deliveries << "\n"
            << prefix.str() << "rss_last_kb\t" << last.rssKb << "\n"
            << prefix.str() << "log_chars\t" << last.logChars << "\n"
            << prefix.str() << "ms_per_delivery\t" << perDelivery << "\n";
    }
    window.form.ExitApp();
    return 0;
}
