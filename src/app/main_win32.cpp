#include "core/app/startup.h"
#include "core/tray/stderr_notify_area.h"
#include "gui/win32/hidden_window.h"
#include "gui/win32/standard_streams.h"
#include "gui/win32/win32_headless_shell.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/win32_notify_area.h"
#include "gui/win32/window_timers.h"
#include "platform/platform.h"
#include "platform/single_instance.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/winsock_socket.h"

#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <memory>
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

// The Win32 shell's start: the thread's message loop, with a window or
// without. What a run without the window prints reaches whoever started it;
// the window stays apart from any console, whose Ctrl+C would end it.
class Win32Startup final : public StartupShell
{
public:
    explicit Win32Startup(HINSTANCE instance)
        : m_instance(instance)
    {
    }

    bool ConnectOutput() override { return ConnectStandardStreams(); }
    bool ClaimInstance(bool loginRun) override
    {
        m_claim = ClaimSingleInstance(loginRun ? InstanceRequest::LoginRun : InstanceRequest::Show)
                      .instance;
        return m_claim != nullptr;
    }
    std::vector<std::string> Begin(RunMode) override { return arguments(); }
    void EndLoop(int status) override { PostQuitMessage(status); }

    int RunSendNow(const MakeSendNow &make) override
    {
        HiddenWindow window(m_instance);
        WindowTimers timers(window.Window(), [] {});
        std::unique_ptr<SendNow> run;
        WinsockSocket socket(window.Window(),
                             [&run](std::int32_t count) { run->DataArrival(count); });
        run = make(socket, timers);
        window.SetHandler(
            [&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
                if (socket.HandleMessage(message, wParam, lParam)
                    || (message == WM_TIMER && timers.HandleTimer(wParam)))
                    return 0;
                return std::nullopt;
            });
        run->Start();
        const int status = runMessages({});
        run.reset(); // the mail's dialogue lets go of the socket before it goes
        return status;
    }

    int RunForm(RunMode mode, MachineParts parts) override
    {
        if (mode == RunMode::Headless) {
            StderrNotifyArea notifyArea;
            Win32HeadlessShell shell(m_instance, notifyArea, std::move(parts));
            shell.Form().Form_Load();
            return runMessages({});
        }
        INITCOMMONCONTROLSEX controls {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES
                                                            | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        Win32NotifyArea notifyArea;
        Win32MainWindow window(m_instance, notifyArea, std::move(parts));
        window.Load();
        return runMessages([&window](MSG &message) { return window.PreTranslate(message); });
    }

private:
    HINSTANCE m_instance;
    std::unique_ptr<SingleInstance> m_claim;
};

} // namespace

} // namespace pellwick

// The shell reads its command line itself (GetCommandLineW), in UTF-16.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    using namespace pellwick;
    Win32Startup shell(instance);
    const PlatformParts platform = ThisPlatform([] {
        const std::wstring path = programPath();
        return ProgramLocation {Narrow(path.substr(0, path.find_last_of(L'\\'))), Narrow(path)};
    });
    return RunProgram(arguments(), "Pellwick.exe", platform, shell);
}
