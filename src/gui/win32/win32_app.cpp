#include "gui/win32/win32_app.h"

#include "core/app/command_line.h"
#include "core/app/info_request.h"
#include "core/settings/registry.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/win32_notify_area.h"
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

// A window program has no console of its own: the text goes to the standard output
// it was started with (a pipe, a file), else to the console of the one that started it.
bool printToStandardOutput(const std::string &text)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return false;
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    }
    DWORD written = 0;
    const auto size = static_cast<DWORD>(text.size());
    return out != INVALID_HANDLE_VALUE && WriteFile(out, text.data(), size, &written, nullptr)
           && written == size;
}

} // namespace

int RunWin32App(HINSTANCE instance, int)
{
    const std::vector<std::string> words = arguments();
    // --help, --version and /? are answered before any window exists.
    if (const auto info = InfoRequest(words, "Pellwick.exe"))
        return printToStandardOutput(*info) ? 0 : 1;

    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES
                                                        | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string commandLine = JoinArguments(words);
    // One program per user: a later start hands its request over and ends.
    const InstanceClaim claim = ClaimSingleInstance(
        IsLoginRun(commandLine) ? InstanceRequest::LoginRun : InstanceRequest::Show);
    if (!claim.instance)
        return 0;

    const std::wstring path = programPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const auto backend = MakePlatformRegistryBackend();
    Registry registry(*backend);
    const auto autostart = MakePlatformAutostart(registry, Narrow(folder), Narrow(path));
    Win32NotifyArea notifyArea;
    const auto passwords = MakePasswordStore();

    int exitCode = 0;
    Win32MainWindow window(instance, Win32WindowParts {
                                         .registry = registry,
                                         .autostart = *autostart,
                                         .notifyArea = notifyArea,
                                         .localIp = LocalIP,
                                         .memoryReader = ReadPlatformMemoryStatus,
                                         .clock = CurrentLocalTime,
                                         .commandLine = commandLine,
                                         .endProcess = [](int status) { PostQuitMessage(status); },
                                         .hostName = HostName,
                                         .passwordStore = passwords.get(),
                                     });
    window.Form().Form_Load();

    MSG message {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT)
        exitCode = static_cast<int>(message.wParam);
    return exitCode;
}

} // namespace pellwick
