// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/submission_settings.h"
#include "core/window/controls.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellwick {

// The settings window as both shells build it: what each control is, where it
// sits, what it says and how it starts. Texts are UTF-8.

// What kind of widget stands for a control.
enum class WidgetKind {
    Label,
    Edit,
    MessageEdit,
    LogEdit,
    Button,
    Check,
    Frame,
    Combo,
    Rect,
    Image
};

// One control as the window was drawn: its tab, its place at 96 dots per inch on
// that tab's page, its caption, tooltip and first state. `column` 1 sits right of
// column 0 and moves right when a text of column 0 needs more room; a width of 0
// fills the page, a negative height leaves that much room below. A control with
// `points` has a font of its own: kCaptionFace of that size.
struct ControlDescription
{
    Control control;
    WidgetKind kind;
    Tab tab;
    int column;
    int x, y, width, height;
    std::string_view caption = {};
    std::string_view toolTip = {};
    bool enabled = true;
    double points = 0;
    bool bold = false;
};
inline constexpr std::string_view kCaptionFace = "Arial";

// Every control but Tabs, in keyboard focus order within each tab.
std::span<const ControlDescription> WindowControls();

inline constexpr std::string_view kWindowTitle = "Pellwick";
// Under the notice that the settings could not be saved, shown beside the window.
inline constexpr std::string_view kSaveFailureHint
    = "Copy what you typed from the window before you close this message.";
inline constexpr std::array<std::string_view, 5> kTabCaptions {"Email", "Settings", "Misc", "About",
                                                               "Debug"};
// The client area as drawn, at 96 dots per inch.
inline constexpr int kClientWidth = 488;
inline constexpr int kClientHeight = 309;
// The lines of KnownAddresses, each followed by its address.
inline constexpr std::string_view kLocalIpLine = "Local IP: ";
inline constexpr std::string_view kPublicIpLine = "Public IP: ";
// The list of TimerUnit; the first entry is selected at the start.
inline constexpr std::array<std::string_view, 3> kTimerUnits {"Seconds", "Minutes", "Hours"};

// The tray's popup menu `m_popup` from top to bottom; a separator has no item.
struct MenuEntry
{
    std::optional<MenuItem> item;
    std::string_view name;
    std::string_view caption;
    bool checked;
};
inline constexpr std::array<MenuEntry, 10> kTrayMenu {{
    {MenuItem::CopyIp, "CopyIP", "&Copy IP To Clipboard", false},
    {std::nullopt, "Sep3", "", false},
    {MenuItem::ShowIp, "ShowIP", "Show Local &IP", true},
    {MenuItem::ShowPhysicalMemory, "ShowPhyMem", "Show &Physical Memory", true},
    {MenuItem::ShowVirtualMemory, "ShowVirtMem", "Show &Virutal Memory", true},
    {std::nullopt, "Seperator", "", false},
    {MenuItem::Restore, "Restore", "&Restore", false},
    {MenuItem::Minimize, "Minimize", "&Minimize", false},
    {std::nullopt, "Sep1", "", false},
    {MenuItem::Exit, "Exit", "E&xit", false},
}};

// The "Server..." dialog: its fields from top to bottom, each with the caption
// beside it; below them the fingerprint the server showed and the button that
// trusts it.
inline constexpr std::string_view kServerDialogTitle = "Mail Server";
enum class ServerField { Port, Security, User, Password, Pin };
struct ServerFieldDescription
{
    ServerField field;
    std::string_view name;
    std::string_view caption;
};
inline constexpr std::array<ServerFieldDescription, 5> kServerFields {{
    {ServerField::Port, "txtSmtpPort", "Port:"},
    {ServerField::Security, "cmbSmtpSecurity", "Security:"},
    {ServerField::User, "txtSmtpUser", "User name:"},
    {ServerField::Password, "txtSmtpPassword", "Password:"},
    {ServerField::Pin, "txtSmtpPin", "Trusted certificate:"},
}};
// In the order of the stored "SMTPSecurity" values: the security alone, as the
// port is the field's above and any port takes any of them.
inline constexpr std::array<std::string_view, 3> kSecurityEntries {"None", "STARTTLS", "TLS"};
inline constexpr std::string_view kPasswordCue = "unchanged";
inline constexpr std::string_view kPinCue = "none: the system's authorities decide";
inline constexpr std::string_view kTrustCertificate = "Trust this certificate";
// The line about the certificate the server showed last (none: empty).
std::string PresentedCertificateText(std::string_view fingerprint);
// `port` when it is one the dialog takes (1 to 65535), else `fallback`.
int ServerPortOr(long long port, int fallback);
// What the dialog shows for the stored values: a port out of range as 25, a
// security out of the list as STARTTLS.
SubmissionSettings ShownServerSettings(SubmissionSettings stored);

} // namespace pellwick
