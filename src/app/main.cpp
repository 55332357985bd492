#include "core/app/command_line.h"
#include "core/form/send_now.h"
#include "core/settings/registry.h"
#include "gui/qt/end_signal_notifier.h"
#include "gui/qt/headless_shell.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/platform_notifiers.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_socket.h"
#include "gui/qt/stderr_notify_area.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/platform.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> argumentsOf(int argc, char *argv[])
{
    return {argv + 1, argv + argc};
}

// One mail with the stored settings; the exit status says how it went.
int sendNow()
{
    const auto backend = pellwick::MakePlatformRegistryBackend();
    pellwick::Registry registry(*backend);
    pellwick::QtSocket socket;
    pellwick::SendNow run(socket, registry, pellwick::LocalIP, pellwick::CurrentLocalTime,
                          [](int status, const std::string &line) {
                              std::fprintf(status == 0 ? stdout : stderr, "%s\n", line.c_str());
                              QCoreApplication::exit(status);
                          });
    QObject::connect(&socket, &pellwick::QtSocket::dataArrival,
                     [&run](std::int32_t count) { run.DataArrival(count); });
    QTimer::singleShot(0, [&run] { run.Start(); });
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    const pellwick::RunMode mode = pellwick::ChosenRunMode(argumentsOf(argc, argv));
    const std::string noDisplay
        = pellwick::NoDisplayLine(mode, environment("DISPLAY"), environment("WAYLAND_DISPLAY"),
                                  environment("QT_QPA_PLATFORM"));
    if (!noDisplay.empty()) {
        std::fprintf(stderr, "%s\n", noDisplay.c_str());
        return 1;
    }
    if (mode == pellwick::RunMode::SendNow) {
        QCoreApplication app(argc, argv);
        return sendNow();
    }

    // A later start hands over to the running one and ends: it never mails
    // and never saves.
    const bool loginRun = pellwick::IsLoginRun(pellwick::JoinArguments(argumentsOf(argc, argv)));
    pellwick::InstanceClaim claim = pellwick::ClaimSingleInstance(
        loginRun ? pellwick::InstanceRequest::LoginRun : pellwick::InstanceRequest::Show);
    if (!claim.instance)
        return 0;

    std::unique_ptr<QCoreApplication> app;
    if (mode == pellwick::RunMode::Headless) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
        // The program lives on in the tray when its window is hidden.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Pellwick"));

    // Qt has taken its own options (-platform, …) out of argv by now.
    const std::string commandLine = pellwick::JoinArguments(argumentsOf(argc, argv));
    const auto backend = pellwick::MakePlatformRegistryBackend();
    pellwick::Registry registry(*backend);
    const auto autostart = pellwick::MakePlatformAutostart(
        registry, QCoreApplication::applicationDirPath().toStdString(),
        QCoreApplication::applicationFilePath().toStdString());
    pellwick::PlatformNotifiers notifiers(pellwick::OpenAddressWatch(), std::move(claim.instance));
    const auto parts = [&](pellwick::NotifyArea &notifyArea) {
        return pellwick::QtWindowParts {
            .registry = registry,
            .autostart = *autostart,
            .notifyArea = notifyArea,
            .localIp = pellwick::LocalIP,
            .memoryReader = pellwick::ReadPlatformMemoryStatus,
            .clock = pellwick::CurrentLocalTime,
            .commandLine = commandLine,
            .endProcess = [](int status) { QCoreApplication::exit(status); },
            .addressWatched = notifiers.WatchingAddresses(),
        };
    };
    pellwick::EndSignalNotifier endSignals;
    // Signals from outside end the program as closing the window does (with
    // the save); address changes run the IP step at once.
    const auto run = [&](pellwick::frmMain &form) {
        QObject::connect(&endSignals, &pellwick::EndSignalNotifier::endRequested,
                         [&form] { form.ExitApp(); });
        QObject::connect(&notifiers, &pellwick::PlatformNotifiers::addressChanged,
                         [&form] { form.AddressChanged(); });
        form.Form_Load();
        return QCoreApplication::exec();
    };

    if (mode == pellwick::RunMode::Headless) {
        pellwick::StderrNotifyArea notifyArea;
        pellwick::HeadlessShell shell(parts(notifyArea));
        return run(shell.Form());
    }

    pellwick::QtNotifyArea notifyArea(pellwick::PellwickIcon());
    pellwick::QtMainWindow window(parts(notifyArea));
    pellwick::frmMain &form = window.Form();
    QObject::connect(&notifiers, &pellwick::PlatformNotifiers::handedOver,
                     [&form](pellwick::InstanceRequest request) {
                         // A log-in entry started while the program runs: it
                         // already does that run's job.
                         if (request == pellwick::InstanceRequest::Show)
                             form.Restore_Click();
                     });
    return run(form);
}
