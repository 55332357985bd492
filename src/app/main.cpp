#include "core/app/command_line.h"
#include "core/app/info_request.h"
#include "core/form/send_now.h"
#include "core/mail/message.h"
#include "core/mail/password_file.h"
#include "core/settings/store.h"
#include "core/tray/stderr_notify_area.h"
#include "gui/qt/end_signal_notifier.h"
#include "gui/qt/headless_shell.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/platform_notifiers.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_socket.h"
#include "platform/host_name.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/password_store.h"
#include "platform/platform.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
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
int sendNow(pellwick::SettingsStore &store, pellwick::SendNow::Password password)
{
    pellwick::QtSocket socket;
    pellwick::QtDeadline deadline;
    pellwick::SendNow run(
        socket, deadline,
        {pellwick::CurrentLocalTime, pellwick::HostName, pellwick::MessageIdRandom()}, store,
        pellwick::LocalIP, std::move(password), [](int status, const std::string &line) {
            pellwick::SendNow::PrintOutcome(status, line);
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
    // Answered before Qt starts, so they work without a display. A failed
    // write (a full disk, a closed pipe) is a failure, not a silent success.
    if (const auto info = pellwick::InfoRequest(argumentsOf(argc, argv), "pellwick", true)) {
        const bool written = std::fputs(info->c_str(), stdout) >= 0;
        return written && std::fflush(stdout) == 0 ? 0 : 1;
    }

    const pellwick::RunMode mode = pellwick::ChosenRunMode(argumentsOf(argc, argv));
    const std::string noDisplay
        = pellwick::NoDisplayLine(mode, environment("DISPLAY"), environment("WAYLAND_DISPLAY"),
                                  environment("QT_QPA_PLATFORM"));
    if (!noDisplay.empty()) {
        std::fprintf(stderr, "%s\n", noDisplay.c_str());
        return 1;
    }

    // A later start hands over to the running one and ends: it never mails
    // and never saves. A --send-now run is one mail beside whatever runs.
    std::unique_ptr<pellwick::SingleInstance> instance;
    if (mode != pellwick::RunMode::SendNow) {
        const bool loginRun
            = pellwick::IsLoginRun(pellwick::JoinArguments(argumentsOf(argc, argv)));
        instance = pellwick::ClaimSingleInstance(loginRun ? pellwick::InstanceRequest::LoginRun
                                                          : pellwick::InstanceRequest::Show)
                       .instance;
        if (!instance)
            return 0;
    }

    std::unique_ptr<QCoreApplication> app;
    if (mode == pellwick::RunMode::Window) {
        app = std::make_unique<QApplication>(argc, argv);
        // The program lives on in the tray when its window is hidden.
        QApplication::setQuitOnLastWindowClosed(false);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Pellwick"));

    // Qt has taken its own options (-platform, …) out of argv by now.
    const std::vector<std::string> arguments = argumentsOf(argc, argv);
    const auto store = pellwick::OpenSettingsStore();
    const auto passwordStore = pellwick::MakePasswordStore();
    // A password file nobody else may read, for machines without a secret store.
    std::optional<pellwick::PasswordLookup> passwordFile;
    if (const auto path = pellwick::PasswordFileArgument(arguments)) {
        passwordFile = pellwick::PasswordFromFile(*path, pellwick::ReadPrivateFile);
        if (!passwordFile->error.empty()) {
            std::cerr << passwordFile->error << '\n';
            return 78; // EX_CONFIG
        }
    }
    if (mode == pellwick::RunMode::SendNow)
        return sendNow(*store, {passwordStore.get(), std::move(passwordFile)});

    const auto autostart
        = pellwick::MakePlatformAutostart(QCoreApplication::applicationDirPath().toStdString(),
                                          QCoreApplication::applicationFilePath().toStdString());
    pellwick::PlatformNotifiers notifiers(pellwick::OpenAddressWatch(), std::move(instance));
    const auto parts = [&](pellwick::NotifyArea &notifyArea) {
        return pellwick::QtWindowParts {
            .machine = {
                .store = *store,
                .autostart = *autostart,
                .localIp = pellwick::LocalIP,
                .memoryReader = pellwick::PlatformMemoryReader(),
                .clock = pellwick::CurrentLocalTime,
                .commandLine = pellwick::JoinArguments(arguments),
                .endProcess = [](int status) { QCoreApplication::exit(status); },
                .hostName = pellwick::HostName,
                .passwordStore = passwordStore.get(),
                .passwordFile = passwordFile,
            },
            .notifyArea = notifyArea,
            .addressWatched = notifiers.WatchingAddresses(),
        };
    };
    pellwick::EndSignalNotifier endSignals;
    // Signals from outside end the program as closing the window does (with
    // the save); address changes run the IP step at once.
    const auto connectSignals = [&](pellwick::frmMain &form) {
        QObject::connect(&endSignals, &pellwick::EndSignalNotifier::endRequested,
                         [&form] { form.ExitApp(); });
        QObject::connect(&notifiers, &pellwick::PlatformNotifiers::addressChanged,
                         [&form] { form.AddressChanged(); });
    };

    if (mode == pellwick::RunMode::Headless) {
        pellwick::StderrNotifyArea notifyArea;
        pellwick::HeadlessShell shell(parts(notifyArea));
        connectSignals(shell.Form());
        shell.Form().Form_Load();
        return QCoreApplication::exec();
    }

    const QIcon icon = pellwick::PellwickIcon();
    pellwick::QtNotifyArea notifyArea(icon);
    pellwick::QtWindowParts windowParts = parts(notifyArea);
    windowParts.icon = icon;
    pellwick::QtMainWindow window(std::move(windowParts));
    pellwick::frmMain &form = window.Form();
    connectSignals(form);
    QObject::connect(&notifiers, &pellwick::PlatformNotifiers::handedOver,
                     [&form](pellwick::InstanceRequest request) {
                         // A log-in entry started while the program runs: it
                         // already does that run's job.
                         if (request == pellwick::InstanceRequest::Show)
                             form.Restore_Click();
                     });
    window.Load();
    const int status = QCoreApplication::exec();
    // Qt's teardown first reads the whole font configuration just to free it
    // (about 8 ms, even when no text was ever drawn); the system frees it all
    // at exit anyway. Text left on the clipboard still needs that teardown,
    // which hands it to the desktop's clipboard keeper.
    if (!window.UsedClipboard())
        (void)app.release();
    return status;
}
