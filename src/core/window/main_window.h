// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/hand_over.h"
#include "core/app/retry_schedule.h"
#include "core/app/settings_command.h"
#include "core/mail/ip_token.h"
#include "core/mail/smtp.h"
#include "core/mail/smtp_listener.h"
#include "core/mail/submission_settings.h"
#include "core/net/public_address.h"
#include "core/settings/settings.h"
#include "core/tray/memory.h"
#include "core/tray/notify_area.h"
#include "core/tray/sys_tray_icon.h"
#include "core/window/controls.h"
#include "core/window/window_parts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

class WindowView;

// Why no mail can go with the window's text fields, each as `field` gives it,
// to `server`: none set, or a sender or recipient that is no address; empty
// when it can.
std::string MailFieldsProblem(const std::function<std::string(Control)> &field,
                              const std::string &server);

// The values of the address tokens of the subject and the message: the local
// IP always, the IPv6 and the public address (read through `ipv6` and
// `publicIp`) only when they use their tokens. An address used but not known stands as "unknown",
// and `unknown` says why (empty when every one is known).
struct MailTokens
{
    TokenValues values;
    std::string unknown;
};
MailTokens TokensFor(const std::function<std::string(Control)> &field, const std::string &localIp,
                     const std::function<std::optional<std::string>()> &ipv6,
                     const std::function<std::optional<std::string>()> &publicIp = {});

// Starts the mail the window's text fields describe, each as `field` gives it,
// the address tokens replaced by their `values`, to `server` with the stored
// port, security, user name and pin; the password from the file if given, else
// from the store.
void StartMail(Smtp &smtp, const std::function<std::string(Control)> &field,
               const TokenValues &values, const Settings &settings, const std::string &server,
               PasswordStore *passwordStore, const std::optional<PasswordLookup> &passwordFile);

// The settings window's behaviour: its controls are the live settings; it runs
// the mail dialogue, the tray icon, the timer and the program's start and end.
// It sees its controls only through the view and the world only through its
// parts, so any shell (or none) can carry it.
class MainWindow : public SmtpListener
{
public:
    // Starts the timer; no tick is handled before Start has returned.
    MainWindow(WindowView &view, WindowParts parts);
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    // Event entry points for the shell.
    // A check box's value changed, by the user or by SetValue (the view
    // already shows it): its click handler runs.
    void UserChangedValue(Control control);
    // The user pressed a button.
    void UserClicked(Control control);
    // The user typed into a field (only TimerUnit's field acts on it).
    void UserChangedText(Control control);
    // The focus came to a control of the window: from another one, or (nullopt)
    // from outside its controls, as on the first click into one. The window
    // losing the focus, or gaining it back on the control it left, is no move.
    void FocusMoved(std::optional<Control> from, Control to);
    void MenuItemChosen(MenuItem item);
    // A click on the tray icon.
    void TrayIconClicked(TrayClick click);
    // The window's state changed (by the user or by SetState).
    void WindowStateChanged();
    // The user closed the window, or the session or a signal ends the program.
    void WindowClosed();
    void DataArrived(std::int32_t count);
    void Tick();
    // An address or route of this machine changed (one call per burst of
    // notices): the tick's IP step runs now.
    void AddressChanged();
    // The stored settings changed, by this program or another: every value
    // this run has not changed itself is read again and shown as if typed.
    void StoredSettingsChanged();

    // Start-up, in its fixed order.
    void Start();
    // Saves, removes the tray icon and ends the program. Runs once. A save
    // that could not be written ends it with status 1, and when the user ended
    // it (the close box, the tray's Exit) the window says so first.
    void ExitApp();

    // SmtpListener.
    void AppendToDebugLog(const std::string &text) override;
    // The newest text of the debug log, as the view would show it all.
    const std::string &DebugLog() const { return m_debugLog; }

    // A later start handed its request over: the window comes up for an
    // ordinary start; a command runs on the live values. The shell adds how it
    // runs and sends the reply back.
    HandOverReply HandedOver(const HandOver &handOver);
    // Values changed from outside the window: each control shows its new value
    // as if typed (its handler runs), the others are taken as they are; then
    // the changed values are saved.
    void ApplySettings(const std::vector<SettingChange> &changes);
    // What the program does: the address, the last mail and the next one.
    std::string StatusText() const;

    void UpdateTrayTip();
    void RestoreWindow();
    // Milliseconds left until the fixed-rate mail.
    std::int64_t Countdown() const { return m_countdown; }

protected:
    // Mail. An automatic mail that fails for a passing reason is tried again;
    // the button's is not.
    void SendEmail(MailKind kind = MailKind::Automatic);
    // Not while a retry of the automatic mail is pending.
    void CheckAutoExit() override;

private:
    void UpdateCaption(const std::string &text) override;
    void DialogueEnded(const DialogueOutcome &outcome) override;
    void InsertToken(const char *token);
    // Port, security, user name, password and the trusted certificate.
    void OpenServerDialog();
    void ApplyTimerSettings();
    void AddTrayIcon();
    void UpdateMemoryLabels();
    void MinimizeWindow();
    void LoadSettings();
    // Puts the stored value into its control, the way a user would set it.
    void showValue(const SettingRow &row);
    // The controls' values into m_settings.
    void takeControls();
    void SaveSettings();
    void EmailIpOnStartupChanged();
    void ShowDebugTab();
    void CopyIpToClipboard();
    // Sets a check box by code: a different value runs its click handler, the
    // value it holds runs nothing.
    void SetValue(Control control, int value);
    bool IsChecked(Control control) const;
    // The tray menu's mark of a tooltip option's box, if it is one.
    static std::optional<MenuItem> showOptionMark(Control box);
    void toggleShowOption(MenuItem item);
    // The cached local IP address, read again when a change was told or the safety net
    // asks for it.
    const std::string &localIp() const;
    // The cached global IPv6 address, read under the same rule (and only for a
    // template that uses it).
    const std::optional<std::string> &ipv6() const;
    // The subject or the message holds the IPv6 address's token.
    bool templateUsesIpv6() const;
    // The IP step of the tick: one mail for whatever the template uses that
    // moved together; true when it started a mail.
    bool followAddress();
    // The stored PublicAddressSource as the two boxes say.
    int publicAddressSource() const;
    // The About tab's list of the addresses known.
    void showAddresses();
    // The subject or the message holds the public address's token.
    bool usesPublicIp() const;
    // The public address as last learned; nullopt while it is not known.
    std::optional<std::string> publicIp() const;
    // Asks for the public address while the template uses it, as the settings say.
    void followTemplate();
    // An asking for the public address ended.
    void publicAddressSettled();
    void retryIfDue();
    // Reads the memory figures and puts them on the About tab.
    void refreshMemory();
    bool windowOnScreen() const;
    void showRetryCaption();
    // A mail that could not start for its fields: told, and a log-in run may end.
    void mailNotStarted(MailKind kind, const std::string &problem);
    // A log-in run whose settings could not be read tells why and ends.
    void refuseUnreadableSettings();
    // Tells in the log and on the program's lines what became of a stored value.
    void tellStoredValue(std::string_view name, const std::string &what, LinePriority priority);

    WindowView &m_view;
    WindowParts m_parts;
    std::string m_lastIp;
    // The public address as last mailed on; nullopt before it was first learned.
    std::optional<std::string> m_lastPublicIp;
    // A move waits for the public address to settle, so that it is mailed once.
    bool m_moveOwed = false;
    // An automatic mail waits for the public address's first answer.
    bool m_mailAwaitsAddress = false;
    std::unique_ptr<PublicAddressFinder> m_publicIp;
    std::string m_addressesShown;
    std::int64_t m_countdown = 0;
    bool m_messageHadFocus = false;
    // The figures as last read.
    MemStatus m_memory;
    // The ticks left the figures unread while nothing showed them.
    bool m_memoryStale = false;
    SysTrayIcon m_tray;
    Smtp m_smtp;
    MailRetry m_retry;
    std::string m_debugLog;
    // The last mail's recipients as it went, and how and when it ended.
    std::string m_mailTo;
    std::string m_lastMail;
    mutable std::string m_localIp;
    mutable bool m_localIpStale = true;
    mutable std::optional<std::string> m_ipv6;
    mutable bool m_ipv6Stale = true;
    // The IPv6 address last known; a new one is a move.
    std::optional<std::string> m_lastIpv6;
    int m_ticksSinceIpRead = 0;
    // Every stored value as loaded; at a save, the controls' and the Server
    // dialog's values go over it.
    Settings m_settings;
    bool m_loaded = false;
    bool m_exiting = false;
    bool m_userEnded = false;
    // Why the last save could not be written; empty when it was.
    std::string m_saveFailure;
    // Why the stored settings could not be read, until a save replaced them:
    // defaults stand in, and nothing is mailed by itself.
    std::string m_unreadable;
    // The status the program ends with when its save went well: how the last
    // mail ended, for a log-in run.
    int m_exitStatus = 0;
    // Ticks left before a refusing log-in run ends (its balloon stays up meanwhile).
    int m_refusalTicks = 0;
};

} // namespace pellwick
