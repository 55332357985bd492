// SPDX-License-Identifier: MIT
#include "gui/qt/qt_startup.h"

#include "core/app/startup.h"
#include "core/tray/notify_area.h"
#include "core/window/in_memory_view.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/platform_notifiers.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_socket.h"
#include "platform/platform.h"
#include "platform/single_instance.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace pellwick {

namespace {

bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

// Qt's own options, which QGuiApplication takes out of the arguments: those
// followed by a value, then those without (X11's among them). Qt reads each
// with one dash or two, and a value after '=' too.
constexpr std::string_view kQtValueOptions[] = {"platform",      "platformpluginpath",
                                                "platformtheme", "plugin",
                                                "qmljsdebugger", "qwindowgeometry",
                                                "geometry",      "qwindowtitle",
                                                "title",         "qwindowicon",
                                                "icon",          "style",
                                                "stylesheet",    "session",
                                                "display",       "name",
                                                "visual",        "ncols",
                                                "cmap"};
constexpr std::string_view kQtFlags[]
    = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

std::vector<std::string> WithoutQtOptions(std::vector<std::string> arguments)
{
    std::vector<std::string> left;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view word = arguments[i];
        if (!word.starts_with('-') || word.size() < 2) {
            left.push_back(arguments[i]);
            continue;
        }
        word.remove_prefix(word.starts_with("--") ? 2 : 1);
        const std::string_view name = word.substr(0, word.find('='));
        const auto isName = [name](std::string_view option) {
            return option == name;
        };
        if (std::ranges::any_of(kQtValueOptions, isName)) {
            if (name.size() == word.size()) // the value is the next word
                ++i;
        } else if (!std::ranges::any_of(kQtFlags, isName)) {
            left.push_back(arguments[i]);
        }
    }
    return left;
}

// The Qt shell's start: QApplication's event loop, with a window or without.
class QtStartup final : public StartupShell
{
public:
    QtStartup(int &argc, char **argv)
        : m_argc(argc)
        , m_argv(argv)
    {
    }

    std::vector<std::string> Arguments() const { return {m_argv + 1, m_argv + m_argc}; }

    bool CanShowWindow() const override
    {
        return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
    }
    bool ClaimInstance(bool loginRun, HandOverReply &reply) override
    {
        InstanceClaim claim = ClaimSingleInstance(
            {loginRun ? InstanceRequest::LoginRun : InstanceRequest::Show, {}});
        m_instance = std::move(claim.instance);
        reply = claim.reply.value_or(HandOverReply {});
        return m_instance != nullptr;
    }
    std::vector<std::string>
    WithoutToolkitOptions(std::vector<std::string> arguments) const override
    {
        return WithoutQtOptions(std::move(arguments));
    }
    void ShowMessage(const std::string &text) override
    {
        QApplication app(m_argc, m_argv);
        QMessageBox::information(nullptr, QStringLiteral("Pellwick"), QString::fromStdString(text));
    }
    std::vector<std::string> Begin(RunMode mode) override
    {
        if (mode == RunMode::Window) {
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
            // The program lives on in the tray when its window is hidden.
            QApplication::setQuitOnLastWindowClosed(false);
        } else {
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        }
        QCoreApplication::setApplicationName(QStringLiteral("Pellwick"));
        // Qt has taken its own options (-platform, …) out of argv by now.
        return Arguments();
    }
    void EndLoop(int status) override { QCoreApplication::exit(status); }

    int RunSendNow(const MakeSendNow &make) override
    {
        QtSocket socket;
        QtDeadline deadline;
        QtDatagramPort datagrams;
        QtDeadline addressDeadline;
        QtStreamPort streams;
        const std::unique_ptr<SendNow> run = make(socket, deadline);
        run->AskPublicAddress(datagrams, &streams, addressDeadline);
        QObject::connect(&socket, &QtSocket::dataArrival,
                         [&run](std::int32_t count) { run->DataArrival(count); });
        QTimer::singleShot(0, [&run] { run->Start(); });
        return QCoreApplication::exec();
    }

    int RunForm(RunMode mode, MachineParts machine) override
    {
        PlatformNotifiers notifiers(std::move(m_instance));
        // Signals from outside end the program as closing the window does
        // (with the save); address changes run the IP step at once.
        const auto connect = [&](MainWindow &form, bool headless) {
            notifiers.SetAnswer([&form, headless](const HandOver &handOver) {
                HandOverReply reply = form.HandedOver(handOver);
                reply.headless = headless;
                return reply;
            });
            QObject::connect(&notifiers, &PlatformNotifiers::endRequested,
                             [&form] { form.ExitApp(); });
            QObject::connect(&notifiers, &PlatformNotifiers::addressChanged,
                             [&form] { form.AddressChanged(); });
            QObject::connect(&notifiers, &PlatformNotifiers::settingsChanged,
                             [&form] { form.StoredSettingsChanged(); });
        };
        if (mode == RunMode::Headless) {
            // MainWindow with no window and no tray: the in-memory view on a
            // plain event loop, no display needed.
            StderrNotifyArea notifyArea;
            // No picture: nothing shows one.
            QtWindowParts parts {std::move(machine), notifyArea, notifiers.WatchingAddresses(),
                                 QIcon()};
            InMemoryView view;
            QtWindowEvents events;
            NoClipboard clipboard;
            MainWindow form(view, TakeWindowParts(parts, events, clipboard, nullptr));
            events.ConnectTo(form);
            connect(form, true);
            form.Start();
            // A service manager waiting for the start hears of it once the
            // settings are in use, and of the end once they are saved.
            NotifyServiceManager("READY=1");
            const int status = QCoreApplication::exec();
            NotifyServiceManager("STOPPING=1");
            return status;
        }

        const QIcon icon = PellwickIcon();
        QtNotifyArea notifyArea(icon);
        QtMainWindow window({.machine = std::move(machine),
                             .notifyArea = notifyArea,
                             .addressWatched = notifiers.WatchingAddresses(),
                             .icon = icon});
        MainWindow &form = window.Form();
        connect(form, false);
        window.Load();
        const int status = QCoreApplication::exec();
        // Qt's teardown first reads the whole font configuration just to free
        // it (about 8 ms, even when no text was ever drawn); the system frees
        // it all at exit anyway. Text left on the clipboard still needs that
        // teardown, which hands it to the desktop's clipboard keeper.
        if (!window.UsedClipboard())
            (void)m_app.release();
        return status;
    }

private:
    int &m_argc;
    char **m_argv;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<QCoreApplication> m_app;
};

} // namespace

int RunQtProgram(int &argc, char **argv)
{
    QtStartup shell(argc, argv);
    const PlatformParts platform = ThisPlatform([] {
        return ProgramLocation {QCoreApplication::applicationDirPath().toStdString(),
                                QCoreApplication::applicationFilePath().toStdString()};
    });
    return RunProgram(shell.Arguments(), "pellwick", platform, shell);
}

} // namespace pellwick
