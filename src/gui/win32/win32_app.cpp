#include "gui/win32/win32_app.h"

#include "core/app/command_line.h"
#include "core/app/info_request.h"
#include "core/form/send_now.h"
#include "core/mail/message.h"
#include "core/mail/password_file.h"
#include "core/settings/store.h"
#include "core/tray/stderr_notify_area.h"
#include "gui/win32/hidden_window.h"
#include "gui/win32/standard_streams.h"
#include "gui/win32/win32_headless_shell.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/win32_notify_area.h"
#include "gui/win32/window_timers.h"
#include "gui/win32/winsock_socket.h"
#include "platform/host_name.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/password_store.h"
#include "platform/platform.h"
#include "platform/single_instance.h"
#include "platform/windows/wide_text.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

namespace {

// The program's arguments from the command line Windows gives, in UTF-8.
std::vector<std::string> arguments()
{
    int count = 0;
    LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; words && i < count; ++i)
        result.push_back(Narrow(words[i]));
    LocalFree(words);
    return result;
}

// The executable's full path, in Windows form.
std::wstring programPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length
            = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // a long path: try again with more room
    }
}

// Runs the thread's messages until WM_QUIT, whose code is the exit status.
// `preTranslate` may take a message before it is dispatched.
int runMessages(const std::function<bool(MSG &)> &preTranslate)
{
    MSG message {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslate && preTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

// One mail with the stored settings; the exit status says how it went.
int sendNow(HINSTANCE instance, SettingsStore &store, SendNow::Password password)
{
    HiddenWindow window(instance);
    WindowTimers timers(window.Window(), [] {});
    std::optional<SendNow> run;
    WinsockSocket socket(window.Window(), [&run](std::int32_t count) { run->DataArrival(count); });
    run.emplace(socket, timers, SmtpEnvironment {CurrentLocalTime, HostName, MessageIdRandom()},
                store, LocalIP, std::move(password), [](int status, const std::string &line) {
                    SendNow::PrintOutcome(status, line);
                    PostQuitMessage(status);
                });
    window.SetHandler([&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (socket.HandleMessage(message, wParam, lParam)
            || (message == WM_TIMER && timers.HandleTimer(wParam)))
            return 0;
        return std::nullopt;
    });
    run->Start();
    return runMessages({});
}

} // namespace

int RunWin32App(HINSTANCE instance, int)
{
    const std::vector<std::string> words = arguments();
    const RunMode mode = ChosenRunMode(words);
    const auto info = InfoRequest(words, "Pellwick.exe", true);
    // What a run without the window prints reaches whoever started it. The
    // window stays apart from any console: its Ctrl+C would end the program.
    const bool printing = (info || mode != RunMode::Window) && ConnectStandardStreams();
    // --help, --version and /? are answered before any window exists.
    if (info) {
        const bool written = printing && std::fputs(info->c_str(), stdout) >= 0;
        return written && std::fflush(stdout) == 0 ? 0 : 1;
    }

    const std::string commandLine = JoinArguments(words);
    // One program per user: a later start hands its request over and ends. A
    // --send-now run is one mail beside whatever runs.
    std::unique_ptr<SingleInstance> instanceClaim;
    if (mode != RunMode::SendNow) {
        instanceClaim = ClaimSingleInstance(IsLoginRun(commandLine) ? InstanceRequest::LoginRun
                                                                    : InstanceRequest::Show)
                            .instance;
        if (!instanceClaim)
            return 0;
    }

    const auto store = OpenSettingsStore();
    const auto passwords = MakePasswordStore();
    // A password file nobody else may read, for machines without a secret store.
    std::optional<PasswordLookup> passwordFile;
    if (const auto path = PasswordFileArgument(words)) {
        passwordFile = PasswordFromFile(*path, ReadPrivateFile);
        if (!passwordFile->error.empty()) {
            if (!printing)
                ConnectStandardStreams();
            std::fprintf(stderr, "%s\n", passwordFile->error.c_str());
            return SendNow::kConfig;
        }
    }
    if (mode == RunMode::SendNow)
        return sendNow(instance, *store, {passwords.get(), std::move(passwordFile)});

    const std::wstring path = programPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const auto autostart = MakePlatformAutostart(Narrow(folder), Narrow(path));
    MachineParts parts {
        .store = *store,
        .autostart = *autostart,
        .localIp = LocalIP,
        .memoryReader = ReadPlatformMemoryStatus,
        .clock = CurrentLocalTime,
        .commandLine = commandLine,
        .endProcess = [](int status) { PostQuitMessage(status); },
        .hostName = HostName,
        .passwordStore = passwords.get(),
        .passwordFile = std::move(passwordFile),
    };

    if (mode == RunMode::Headless) {
        StderrNotifyArea notifyArea;
        Win32HeadlessShell shell(instance, notifyArea, std::move(parts));
        shell.Form().Form_Load();
        return runMessages({});
    }

    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES
                                                        | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32NotifyArea notifyArea;
    Win32MainWindow window(instance, notifyArea, std::move(parts));
    window.Load();
    return runMessages([&window](MSG &message) { return window.PreTranslate(message); });
}

} // namespace pellwick
