#pragma once

#include "core/form/form_parts.h"
#include "core/form/frm_main.h"
#include "core/mail/deadline.h"

#include "gui/win32/win32_form_view.h"
#include "gui/win32/win32_server_dialog.h"
#include "gui/win32/win32_window.h"
#include "gui/win32/winsock_socket.h"

#include "platform/address_watch.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pellwick {

class Autostart;
class Registry;
class Win32NotifyArea;

// What the Win32 window needs from outside it; the program's start gives the
// real parts.
struct Win32WindowParts
{
    Registry &registry;
    Autostart &autostart;
    Win32NotifyArea &notifyArea;
    std::function<std::string()> localIp;
    Memory::Reader memoryReader;
    Smtp::Clock clock;
    // The program's arguments joined with single blanks.
    std::string commandLine;
    std::function<void(int status)> endProcess;
    std::function<std::string()> hostName;
    PasswordStore *passwordStore = nullptr;
};

// The Win32 shell of the settings window: its controls, the tray menu, Winsock,
// the window timer and the clipboard, handed to frmMain, which decides
// everything. The window reports what the user does; it acts on nothing itself.
class Win32MainWindow
    : private Win32Window::Handler
    , private FormTimer
    , private Deadline
    , private Clipboard
{
public:
    Win32MainWindow(HINSTANCE instance, Win32WindowParts parts);
    ~Win32MainWindow() override;

    frmMain &Form() { return m_form; }
    HWND Window() const { return m_window.Window(); }
    // Keyboard navigation between the controls; true when the message was used.
    bool PreTranslate(MSG &message);

private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(WPARAM wParam, LPARAM lParam);
    void noticeFocus();

    // FormTimer.
    void Start(std::int64_t intervalMs) override;
    void Stop() override;
    // Deadline.
    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override;
    void Disarm() override;
    // Clipboard.
    void SetText(const std::string &text) override;

    Win32Window m_window;
    Win32FormView m_view;
    Win32NotifyArea &m_notifyArea;
    WinsockSocket wckMain;
    Win32ServerDialog m_serverDialog;
    UINT m_taskbarCreated;
    UINT m_instanceRequest;
    std::optional<Control> m_lastFocus;
    std::function<void()> m_expired;
    // One posted message per burst of address or route changes.
    std::atomic<bool> m_addressPosted {false};
    std::unique_ptr<AddressCallbacks> m_addressCallbacks;
    frmMain m_form;
};

} // namespace pellwick
