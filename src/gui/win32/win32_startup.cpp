// SPDX-License-Identifier: MIT
#include "gui/win32/win32_startup.h"

#include "core/app/startup.h"
#include "core/tray/notify_area.h"
#include "core/window/in_memory_view.h"
#include "gui/win32/win32_form_host.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/win32_notify_area.h"
#include "gui/win32/win32_window.h"
#include "platform/platform.h"
#include "platform/single_instance.h"
#include "platform/windows/instance_window.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/winsock_socket.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
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

bool hasHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// Lets a window program print: it has no console of its own, so stdout and
// stderr go to the handles it was started with (a pipe, a file) and, where it
// was given none, to the console of the program that started it, if any.
// False when the output can go nowhere.
bool connectStandardStreams()
{
    if (hasHandle(STD_OUTPUT_HANDLE))
        return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    // The C library set its streams up before the console was there.
    return std::freopen("CONOUT$", "w", stdout) != nullptr
           && (hasHandle(STD_ERROR_HANDLE) || std::freopen("CONOUT$", "w", stderr) != nullptr);
}

// The window of a run that shows none (--headless, --send-now): it is never
// shown and only takes messages, the socket's, the timers' and the system's.
// A top-level window where one can be made, so that the end of the session
// (WM_ENDSESSION) and a polite taskkill (WM_CLOSE) reach it; else a
// message-only one, which needs no display. Its handler, set once the objects
// it uses exist, decides on WM_CLOSE: Windows would destroy the window.
class HiddenWindow
{
public:
    explicit HiddenWindow(HINSTANCE instance)
    {
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = HandlerWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"PellwickHidden";
        RegisterClassExW(&windowClass);
        for (HWND parent : {HWND(nullptr), HWND_MESSAGE}) {
            m_window = CreateWindowExW(0, windowClass.lpszClassName, L"Pellwick", WS_OVERLAPPED, 0,
                                       0, 0, 0, parent, nullptr, instance, &m_handler);
            if (m_window)
                break;
        }
    }
    ~HiddenWindow()
    {
        m_handler = nullptr;
        if (m_window)
            DestroyWindow(m_window);
    }
    HiddenWindow(const HiddenWindow &) = delete;
    HiddenWindow &operator=(const HiddenWindow &) = delete;

    HWND Window() const { return m_window; }
    void SetHandler(MessageHandler handler) { m_handler = std::move(handler); }

private:
    MessageHandler m_handler;
    HWND m_window = nullptr;
};

// Turns the console's requests to end the program (Ctrl+C, Ctrl+Break, the
// console closed, the user signing out, the machine shutting down) into
// WM_CLOSE for `window`, so they go through the one orderly exit with its
// save. One at a time, while the object lives.
class ConsoleEndRequests
{
public:
    explicit ConsoleEndRequests(HWND window)
        : m_window(window)
        , m_ended(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        current = this;
        SetConsoleCtrlHandler(handle, TRUE);
    }
    ~ConsoleEndRequests()
    {
        // A handler still waiting returns now; taking the handler away waits for it.
        if (m_ended)
            SetEvent(m_ended);
        SetConsoleCtrlHandler(handle, FALSE);
        current = nullptr;
        if (m_ended)
            CloseHandle(m_ended);
    }
    ConsoleEndRequests(const ConsoleEndRequests &) = delete;
    ConsoleEndRequests &operator=(const ConsoleEndRequests &) = delete;

private:
    static BOOL WINAPI handle(DWORD event)
    {
        ConsoleEndRequests *self = current;
        if (!self || !PostMessageW(self->m_window, WM_CLOSE, 0, 0))
            return FALSE;
        // Windows ends the process as soon as this returns from any but the two
        // keyboard events: it waits for the save.
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && self->m_ended)
            WaitForSingleObject(self->m_ended, INFINITE);
        return TRUE;
    }

    // The handler is a plain function called on a thread of the system's: this
    // is how it finds the object that set it.
    static inline std::atomic<ConsoleEndRequests *> current {nullptr};
    HWND m_window;
    // Set once the program is on its way out, with its settings saved.
    HANDLE m_ended;
};

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

    bool ConnectOutput() override { return connectStandardStreams(); }
    bool ClaimInstance(bool loginRun, HandOverReply &reply) override
    {
        InstanceClaim claim = ClaimSingleInstance(
            {loginRun ? InstanceRequest::LoginRun : InstanceRequest::Show, {}});
        m_claim = std::move(claim.instance);
        reply = claim.reply.value_or(HandOverReply {});
        return m_claim != nullptr;
    }
    void ShowMessage(const std::string &text) override
    {
        MessageBoxW(nullptr, Widen(text).c_str(), L"Pellwick", MB_OK | MB_ICONINFORMATION);
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
        WinsockDatagrams datagrams(window.Window());
        WindowDeadline addressDeadline(window.Window(), WindowTimers::kAddressDeadlineId);
        WinsockStreams streams(window.Window());
        run->AskPublicAddress(datagrams, &streams, addressDeadline);
        window.SetHandler(
            [&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
                // The run ends with its dialogue, not on a request to close.
                if (socket.HandleMessage(message, wParam, lParam)
                    || datagrams.HandleMessage(message, wParam, lParam)
                    || streams.HandleMessage(message, wParam, lParam)
                    || (message == WM_TIMER
                        && (timers.HandleTimer(wParam) || addressDeadline.HandleTimer(wParam)))
                    || message == WM_CLOSE)
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
        if (mode == RunMode::Headless)
            return runHeadless(std::move(parts));
        INITCOMMONCONTROLSEX controls {sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES
                                                            | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        Win32NotifyArea notifyArea;
        Win32MainWindow window(m_instance, notifyArea, std::move(parts));
        serve([&window](const HandOver &handOver) { return window.HandedOver(handOver); },
              window.Window());
        window.Load();
        return runMessages([&window](MSG &message) { return window.PreTranslate(message); });
    }

private:
    // MainWindow with no window and no tray: the in-memory view, with Winsock, the
    // timers and address changes on a window nobody sees. A request to end from
    // outside (WM_CLOSE, the session's end, the console's Ctrl+C or close) ends
    // the program as Exit does, with the save.
    int runHeadless(MachineParts parts)
    {
        HiddenWindow window(m_instance);
        InMemoryView view;
        StderrNotifyArea notifyArea;
        NoClipboard clipboard;
        Win32FormHost host(window.Window(), view, std::move(parts), notifyArea, clipboard);
        const ConsoleEndRequests endRequests(window.Window());
        window.SetHandler([&host](UINT message, WPARAM wParam, LPARAM lParam) {
            if (RunCarriedCall(message, lParam))
                return std::optional<LRESULT>(0);
            if (message != WM_CLOSE)
                return host.OnMessage(message, wParam, lParam);
            host.Form().ExitApp();
            return std::optional<LRESULT>(0);
        });
        serve(
            [&host](const HandOver &handOver) {
                HandOverReply reply = host.Form().HandedOver(handOver);
                reply.headless = true;
                return reply;
            },
            window.Window());
        host.Form().Start();
        return runMessages({});
    }

    // Later starts' requests are answered on `window`'s thread.
    void serve(HandOverAnswer answer, HWND window)
    {
        if (m_claim)
            m_claim->Serve(std::move(answer), RunOnWindow(window));
    }

    HINSTANCE m_instance;
    std::unique_ptr<SingleInstance> m_claim;
};

} // namespace

int RunWin32Program(HINSTANCE instance)
{
    Win32Startup shell(instance);
    const PlatformParts platform = ThisPlatform([] {
        const std::wstring path = programPath();
        return ProgramLocation {Narrow(path.substr(0, path.find_last_of(L'\\'))), Narrow(path)};
    });
    return RunProgram(arguments(), "Pellwick.exe", platform, shell);
}

} // namespace pellwick
