// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace pellwick {

// The controls of the settings window. Every shell builds one widget per entry and
// gives it ControlName's text as its object name.
enum class Control {
    Tabs,
    // "Email"
    SmtpServerLabel,
    SmtpServer,
    RecipientLabel,
    Recipient,
    SenderLabel,
    Sender,
    SendEmailButton,
    TipGroup,
    TipText,
    SubjectLabel,
    Subject,
    MessageLabel,
    Message,
    InsertIpButton,
    InsertPublicIpButton,
    // Opens the mail server's port, security and login (ServerDialog).
    ServerButton,
    // "Settings"
    WhenToEmailGroup,
    EmailIpOnStartup,
    AutoMail,
    EmailOnNewIp,
    AutoExit,
    StartMinimized,
    TrayIconGroup,
    DisplayIcon,
    ShowIp,
    ShowVirtualMemory,
    ShowPhysicalMemory,
    SendEmailGroup,
    TimerSend,
    TimerRate,
    TimerUnit,
    // "Misc"
    ClipboardGroup,
    CopyIpOnStartup,
    CopyIpButton,
    ProgramGroup,
    ShowDebug,
    NotifyOnFailure,
    // Whom the public address is asked of (the stored PublicAddressSource) and the STUN server.
    PublicIpGroup,
    AskRouter,
    AskStun,
    StunServer,
    // "About"
    AboutBox,
    AboutTitle,
    AboutAuthor,
    AboutEmail,
    AboutIcon,
    PhysicalMemory,
    VirtualMemory,
    // The addresses known, below the memory lines.
    KnownAddresses,
    // "Debug"
    DebugText,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::DebugText) + 1;

// The position of an enumerator, for tables kept in enumeration order.
template<typename Enum>
constexpr std::size_t Index(Enum value)
{
    return static_cast<std::size_t>(value);
}

// The control's name, which is also its object name in every shell.
std::string_view ControlName(Control control);

// The pages of Tabs, by position.
enum class Tab { Email = 0, Settings = 1, Misc = 2, About = 3, Debug = 4 };

// The items of the tray's popup menu (TrayMenu) that do something;
// separators sit between them as the shell draws.
enum class MenuItem {
    CopyIp,
    ShowIp,
    ShowPhysicalMemory,
    ShowVirtualMemory,
    Restore,
    Minimize,
    Exit
};

// The window's state as its title bar shows it.
enum class WindowState { Normal, Minimized };

// A check box's value: 0 unchecked, 1 checked, 2 grey (neither; does not
// count as set).
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

} // namespace pellwick
