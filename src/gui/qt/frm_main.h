#pragma once

#include "core/mail/smtp.h"
#include "core/mail/smtp_host.h"
#include "core/settings/settings_io.h"
#include "core/tray/memory.h"
#include "core/tray/sys_tray_icon.h"
#include "gui/qt/frm_menu.h"
#include "gui/qt/main_window_controls.h"
#include "gui/qt/qt_socket.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pellwick {

class Autostart;
class QtNotifyArea;
class Registry;

// What the window needs from the world outside it; main() gives the real
// parts, tests give their own.
struct WindowParts
{
    Registry &registry;
    Autostart &autostart;
    QtNotifyArea &notifyArea;
    // The socket control's LocalIP, read afresh at every call.
    std::function<std::string()> localIp;
    Memory::Reader memoryReader;
    // The program's arguments joined with single blanks.
    std::string commandLine;
    // Ends the process; ExitApp calls it last.
    std::function<void()> endProcess;
    // Replaces port 25 (tests reach a server on a free loopback port).
    std::optional<std::uint16_t> smtpPortOverride = std::nullopt;
};

// The settings window: its controls are the live settings; it runs the mail
// dialogue, the tray icon, the timer and the program's start and end.
class frmMain
    : public MainWindowControls
    , public SmtpHost
    , private SettingsControls
{
    Q_OBJECT

public:
    explicit frmMain(WindowParts parts, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up, in its fixed order.
    void Form_Load();
    // Saves, removes the tray icon and ends the program. Runs once.
    void ExitApp();

    // Mail.
    void SendEmail();
    std::string InsertIPAddress(const std::string &text);
    void btnInsertIP_Click();
    void txtMsg_GotFocus();
    void txtSubject_GotFocus();

    // SmtpHost.
    void AppendToDebugLog(const std::string &text) override;
    void UpdateCaption(const std::string &text) override;
    void CheckAutoExit() override;
    void wckMain_DataArrival(std::int32_t count);

    // Timer.
    void tmrMain_Timer();
    void ApplyTimerSettings();
    void chkTimerSend_Click();
    void cmbTimerRate_Change();
    void txtTimerRate_LostFocus();

    // Tray and status texts.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void UpdateTrayTip();
    void UpdateMemoryLabels();
    void chkDisplayIcon_Click();
    void chkShowIP_Click();
    void chkShowPhyMem_Click();
    void chkShowVirtualMem_Click();
    void Form_Resize();
    void Form_MouseDown(int trayEvent);
    void Restore_Click();
    void Minimize_Click();
    void ShowIP_Click();
    void ShowPhyMem_Click();
    void ShowVirtMem_Click();

    // Settings.
    void LoadSettings();
    void SaveSettings();
    void chkEmailIPOnStartup_Click();

    void ShowDebugTab();
    void CopyIPToClipboard();

    frmMenu &Menu() { return m_menu; }
    const SysTrayIcon &TrayIcon() const { return m_tray; }
    const Smtp &Dialogue() const { return m_smtp; }
    QTimer &Timer() { return tmrMain; }

    std::string g_strLocalIP;
    std::int64_t g_lngTimer = 0;
    bool g_blnMsgFocus = false;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // SettingsControls.
    std::string Text(std::string_view control) const override;
    int CheckState(std::string_view control) const override;
    int ListIndex(std::string_view control) const override;
    void SetText(std::string_view control, const std::string &text) override;
    void SetCheckState(std::string_view control, int state) override;
    void SetListIndex(std::string_view control, int index) override;

    void Form_Unload();
    void SetWindowCaption(const std::string &text);
    void toggleShowOption(QCheckBox *box, QAction *item);
    void connectControls();

    WindowParts m_parts;
    Memory m_memory;
    SysTrayIcon m_tray;
    frmMenu m_menu;
    QtSocket wckMain;
    Smtp m_smtp;
    QTimer tmrMain;
    bool m_exiting = false;
    // The selected entry of cmbTimerRate, -1 for none (typed text).
    int m_unitListIndex = 0;
};

} // namespace pellwick
