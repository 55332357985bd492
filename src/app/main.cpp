#include "core/app/command_line.h"
#include "core/app/info_request.h"
#include "core/settings/registry.h"
#include "gui/qt/end_signal_notifier.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/password_store.h"
#include "platform/platform.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Answered before Qt starts, so they work without a display. A failed
    // write (a full disk, a closed pipe) is a failure, not a silent success.
    if (const auto info = pellwick::InfoRequest({argv + 1, argv + argc}, "pellwick")) {
        const bool written = std::fputs(info->c_str(), stdout) >= 0;
        return written && std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellwick"));
    // The program lives on in the tray when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options (-platform, …) out of argv by now.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);

    const auto backend = pellwick::MakePlatformRegistryBackend();
    pellwick::Registry registry(*backend);
    const auto autostart = pellwick::MakePlatformAutostart(
        registry, QCoreApplication::applicationDirPath().toStdString(),
        QCoreApplication::applicationFilePath().toStdString());
    pellwick::QtNotifyArea notifyArea(pellwick::PellwickIcon());
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

    pellwick::QtMainWindow window(pellwick::QtWindowParts {
        .registry = registry,
        .autostart = *autostart,
        .notifyArea = notifyArea,
        .localIp = pellwick::LocalIP,
        .memoryReader = pellwick::ReadPlatformMemoryStatus,
        .clock = pellwick::CurrentLocalTime,
        .commandLine = pellwick::JoinArguments(arguments),
        .endProcess = [] { QCoreApplication::exit(0); },
        .passwordStore = passwordStore.get(),
        .passwordFile = std::move(passwordFile),
    });

    pellwick::EndSignalNotifier endSignals;
    QObject::connect(&endSignals, &pellwick::EndSignalNotifier::endRequested, &window,
                     [&window] { window.Form().ExitApp(); });

    window.Form().Form_Load();
    return QApplication::exec();
}
