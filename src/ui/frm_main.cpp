#include "ui/frm_main.h"

#include "app/command_line.h"
#include "app/schedule.h"
#include "mail/ip_token.h"
#include "settings/autostart.h"
#include "tray/qt_notify_area.h"
#include "tray/status_texts.h"
#include "ui/pellwick_icon.h"
#include "ui/text_lines.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>

namespace pellwick {

namespace {

constexpr const char *kMailer = "Pellwick v1.0";
constexpr int kDebugTab = 4;
constexpr int kTrayLeftDoubleClick = 515;
constexpr int kTrayRightButtonUp = 517;

QString toQ(const std::string &text)
{
    return QString::fromStdString(text);
}

std::string fromQ(const QString &text)
{
    return text.toStdString();
}

QString nameOf(std::string_view control)
{
    return QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
}

int stateOf(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

// The debug log shows line breaks as the widget's own; CRLF and lone CR or LF
// each make one.
QString forDisplay(const std::string &text)
{
    QString shown = toQ(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

frmMain::frmMain(WindowParts parts, QWidget *parent)
    : MainWindowControls(parent)
    , m_parts(std::move(parts))
    , m_memory(m_parts.memoryReader)
    , m_tray(m_parts.notifyArea)
    , wckMain(m_parts.smtpPortOverride, this)
    , m_smtp(wckMain, *this)
{
    setWindowIcon(PellwickIcon());
    connectControls();
    // The timer ticks from the moment the window exists and is never stopped;
    // no tick is handled before Form_Load has returned, since that runs first.
    tmrMain.setInterval(static_cast<int>(kTickIntervalMs));
    connect(&tmrMain, &QTimer::timeout, this, &frmMain::tmrMain_Timer);
    tmrMain.start();
}

frmMain::~frmMain() = default;

void frmMain::connectControls()
{
    connect(&wckMain, &QtSocket::dataArrival, this, &frmMain::wckMain_DataArrival);
    connect(&m_parts.notifyArea, &QtNotifyArea::trayEvent, this, &frmMain::Form_MouseDown);

    connect(btnSendEmail, &QPushButton::clicked, this, &frmMain::SendEmail);
    connect(btnInsertIP, &QPushButton::clicked, this, &frmMain::btnInsertIP_Click);
    connect(btnCopyIPToClip, &QPushButton::clicked, this, &frmMain::CopyIPToClipboard);

    // Check-box handlers run on every change of value, by the user or by code.
    connect(chkShowDebug, &QCheckBox::toggled, this, &frmMain::ShowDebugTab);
    connect(chkEmailIPOnStartup, &QCheckBox::toggled, this, &frmMain::chkEmailIPOnStartup_Click);
    connect(chkDisplayIcon, &QCheckBox::toggled, this, &frmMain::chkDisplayIcon_Click);
    connect(chkShowIP, &QCheckBox::toggled, this, &frmMain::chkShowIP_Click);
    connect(chkShowPhyMem, &QCheckBox::toggled, this, &frmMain::chkShowPhyMem_Click);
    connect(chkShowVirtualMem, &QCheckBox::toggled, this, &frmMain::chkShowVirtualMem_Click);
    connect(chkTimerSend, &QCheckBox::toggled, this, &frmMain::chkTimerSend_Click);
    // Typing into the unit field leaves no list entry selected, even when the
    // text matches one; only a choice from the list selects. Only typing runs
    // cmbTimerRate_Change.
    cmbTimerRate->setInsertPolicy(QComboBox::NoInsert);
    connect(cmbTimerRate, &QComboBox::activated, this,
            [this](int index) { m_unitListIndex = index; });
    connect(cmbTimerRate->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_unitListIndex = -1;
        cmbTimerRate_Change();
    });

    txtTimerRate->installEventFilter(this);
    txtSubject->installEventFilter(this);
    txtMsg->installEventFilter(this);

    connect(m_menu.CopyIP, &QAction::triggered, this, &frmMain::CopyIPToClipboard);
    // Qt flips the mark of a checkable item before it reports the choice; the
    // toggles work from the mark as it stood when the item was chosen.
    const auto connectToggle = [this](QAction *item, void (frmMain::*handler)()) {
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            (this->*handler)();
        });
    };
    connectToggle(m_menu.ShowIP, &frmMain::ShowIP_Click);
    connectToggle(m_menu.ShowPhyMem, &frmMain::ShowPhyMem_Click);
    connectToggle(m_menu.ShowVirtMem, &frmMain::ShowVirtMem_Click);
    connect(m_menu.Restore, &QAction::triggered, this, &frmMain::Restore_Click);
    connect(m_menu.Minimize, &QAction::triggered, this, &frmMain::Minimize_Click);
    connect(m_menu.Exit, &QAction::triggered, this, &frmMain::ExitApp);

    // The session manager asks running programs to save before the desktop ends.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmMain::ExitApp);
}

// ---- Start and end ---------------------------------------------------------

void frmMain::Form_Load()
{
    tabMain->setCurrentIndex(0);
    m_memory.ReadMemoryStatus();
    LoadSettings();
    g_strLocalIP = m_parts.localIp();
    UpdateCaption("");
    if (!chkMinimized->isChecked()) {
        show();
    } else {
        hide();
        AddTrayIcon();
    }
    UpdateTrayTip();
    if (chkAutoMail->isChecked()) {
        chkAutoExit->setEnabled(true);
        SendEmail();
    }
    chkEmailIPOnStartup_Click();
    if (chkCopyToClipOnStartup->isChecked())
        CopyIPToClipboard();
    ApplyTimerSettings();
    UpdateMemoryLabels();
    ShowDebugTab();
}

void frmMain::ExitApp()
{
    if (m_exiting)
        return;
    m_exiting = true;
    SaveSettings();
    RemoveTrayIcon();
    // Nothing else of the window acts from here on: the dialogue is dropped
    // and the timer no longer ticks.
    tmrMain.stop();
    wckMain.Close();
    m_parts.endProcess();
}

void frmMain::Form_Unload()
{
    ExitApp();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmMain::CheckAutoExit()
{
    if (m_exiting)
        return;
    if (IsLoginRun(m_parts.commandLine) && chkAutoExit->isChecked())
        ExitApp();
}

// ---- Mail -------------------------------------------------------------------

void frmMain::SendEmail()
{
    const std::string server = fromQ(txtSmtpServer->text());
    const std::string recipient = fromQ(txtRecipient->text());
    const std::string body = InsertIPAddress(PlainTextWithCrLf(*txtMsg));
    const std::string sender = fromQ(txtSender->text());
    const std::string subject = InsertIPAddress(fromQ(txtSubject->text()));
    m_smtp.ConnectToServer(server, recipient, body, sender, subject, kMailer);
}

std::string frmMain::InsertIPAddress(const std::string &text)
{
    return ReplaceIpToken(text, m_parts.localIp());
}

void frmMain::txtMsg_GotFocus()
{
    btnInsertIP->setEnabled(true);
    g_blnMsgFocus = true;
}

void frmMain::txtSubject_GotFocus()
{
    btnInsertIP->setEnabled(true);
    g_blnMsgFocus = false;
}

void frmMain::btnInsertIP_Click()
{
    if (g_blnMsgFocus) {
        const QTextCursor cursor = txtMsg->textCursor();
        const auto caret = static_cast<std::size_t>(cursor.selectionStart());
        const std::u16string selected = cursor.selectedText()
                                            .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                                            .toStdU16String();
        const std::u16string text = txtMsg->toPlainText().toStdU16String();
        txtMsg->setPlainText(QString::fromStdU16String(InsertTokenAtCaret(text, caret, selected)));
    } else {
        const auto caret = static_cast<std::size_t>(txtSubject->hasSelectedText()
                                                        ? txtSubject->selectionStart()
                                                        : txtSubject->cursorPosition());
        const std::u16string selected = txtSubject->selectedText().toStdU16String();
        const std::u16string text = txtSubject->text().toStdU16String();
        txtSubject->setText(QString::fromStdU16String(InsertTokenAtCaret(text, caret, selected)));
    }
}

void frmMain::wckMain_DataArrival(std::int32_t count)
{
    m_smtp.HandleServerReply(count);
}

void frmMain::AppendToDebugLog(const std::string &text)
{
    // Insert at the end only: the cost of an append does not grow with the log.
    QTextCursor end(txtDebug->document());
    end.movePosition(QTextCursor::End);
    end.insertText(forDisplay(text));
}

// ---- Status texts -------------------------------------------------------------

void frmMain::UpdateCaption(const std::string &text)
{
    SetWindowCaption(CaptionText(text, g_strLocalIP));
}

void frmMain::SetWindowCaption(const std::string &text)
{
    setWindowTitle(toQ(text));
}

void frmMain::UpdateTrayTip()
{
    m_tray.SetTrayTip(TrayTipText(chkShowIP->isChecked(), chkShowPhyMem->isChecked(),
                                  chkShowVirtualMem->isChecked(), g_strLocalIP, m_memory));
}

void frmMain::UpdateMemoryLabels()
{
    lblFreePhysMemory->setText(toQ(PhysicalMemoryLine(m_memory)));
    lblVirtMem->setText(toQ(VirtualMemoryLine(m_memory)));
}

void frmMain::chkShowIP_Click()
{
    m_menu.ShowIP->setChecked(chkShowIP->isChecked());
    UpdateTrayTip();
}

void frmMain::chkShowPhyMem_Click()
{
    m_menu.ShowPhyMem->setChecked(chkShowPhyMem->isChecked());
    UpdateTrayTip();
}

void frmMain::chkShowVirtualMem_Click()
{
    m_menu.ShowVirtMem->setChecked(chkShowVirtualMem->isChecked());
    UpdateTrayTip();
}

// ---- Tray -------------------------------------------------------------------

void frmMain::AddTrayIcon()
{
    m_tray.AddTrayIcon(reinterpret_cast<std::uintptr_t>(this), 1, m_parts.localIp());
}

void frmMain::RemoveTrayIcon()
{
    m_tray.RemoveTrayIcon();
}

void frmMain::chkDisplayIcon_Click()
{
    if (chkDisplayIcon->isChecked())
        AddTrayIcon();
    else
        m_tray.RemoveTrayIcon();
}

void frmMain::changeEvent(QEvent *event)
{
    MainWindowControls::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize()
{
    if (!isMinimized())
        return;
    // A minimised window lives in the tray, whatever chkDisplayIcon holds, so
    // it can always be brought back.
    hide();
    AddTrayIcon();
}

void frmMain::Form_MouseDown(int trayEvent)
{
    if (trayEvent == kTrayLeftDoubleClick)
        Restore_Click();
    else if (trayEvent == kTrayRightButtonUp)
        m_menu.PopupAtPointer();
}

void frmMain::Restore_Click()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    update();
    show();
    raise();
    activateWindow();
}

void frmMain::Minimize_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    // A hidden window gets no state-change event from the desktop.
    if (!isVisible())
        Form_Resize();
}

void frmMain::toggleShowOption(QCheckBox *box, QAction *item)
{
    // Setting the box runs its own handler first, which sets the mark and
    // rebuilds the tooltip too.
    const bool wasSet = item->isChecked();
    box->setChecked(!wasSet);
    item->setChecked(!wasSet);
    UpdateTrayTip();
}

void frmMain::ShowIP_Click()
{
    toggleShowOption(chkShowIP, m_menu.ShowIP);
}

void frmMain::ShowPhyMem_Click()
{
    toggleShowOption(chkShowPhyMem, m_menu.ShowPhyMem);
}

void frmMain::ShowVirtMem_Click()
{
    toggleShowOption(chkShowVirtualMem, m_menu.ShowVirtMem);
}

// ---- Timer ------------------------------------------------------------------

void frmMain::tmrMain_Timer()
{
    if (m_exiting)
        return;
    m_memory.ReadMemoryStatus();
    UpdateMemoryLabels();

    if (m_parts.localIp() != g_strLocalIP) {
        g_strLocalIP = m_parts.localIp();
        UpdateCaption("");
        UpdateTrayTip();
        if (chkAutoEmailOnNewIP->isChecked())
            SendEmail();
    }

    const ScheduleStep step = ScheduleTick(g_lngTimer, chkTimerSend->isChecked());
    g_lngTimer = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
}

void frmMain::ApplyTimerSettings()
{
    const TimerSettingsResult result = pellwick::ApplyTimerSettings(
        TimerFields {chkTimerSend->isChecked(), fromQ(txtTimerRate->text()), m_unitListIndex,
                     fromQ(cmbTimerRate->currentText())});
    if (fromQ(txtTimerRate->text()) != result.rateText)
        txtTimerRate->setText(toQ(result.rateText));
    cmbTimerRate->setEnabled(result.fieldsEnabled);
    txtTimerRate->setEnabled(result.fieldsEnabled);
    if (result.countdown)
        g_lngTimer = *result.countdown;
}

void frmMain::chkTimerSend_Click()
{
    ApplyTimerSettings();
}

void frmMain::cmbTimerRate_Change()
{
    ApplyTimerSettings();
}

void frmMain::txtTimerRate_LostFocus()
{
    if (TimerRateLostFocus(fromQ(txtTimerRate->text())) == RateLostFocusAction::UncheckTimerSend)
        chkTimerSend->setChecked(false);
    else
        ApplyTimerSettings();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == txtTimerRate)
        txtTimerRate_LostFocus();
    else if (event->type() == QEvent::FocusIn && watched == txtMsg)
        txtMsg_GotFocus();
    else if (event->type() == QEvent::FocusIn && watched == txtSubject)
        txtSubject_GotFocus();
    return MainWindowControls::eventFilter(watched, event);
}

// ---- Settings -----------------------------------------------------------------

void frmMain::LoadSettings()
{
    pellwick::LoadSettings(m_parts.registry, *this);
}

void frmMain::SaveSettings()
{
    pellwick::SaveSettings(m_parts.registry, *this);
}

void frmMain::chkEmailIPOnStartup_Click()
{
    if (chkEmailIPOnStartup->isChecked()) {
        m_parts.autostart.Register();
        chkAutoExit->setEnabled(true);
    } else {
        m_parts.autostart.Unregister();
        chkAutoExit->setEnabled(false);
    }
}

std::string frmMain::Text(std::string_view control) const
{
    const QString name = nameOf(control);
    if (const auto *edit = findChild<QLineEdit *>(name))
        return fromQ(edit->text());
    if (const auto *multi = findChild<QPlainTextEdit *>(name))
        return PlainTextWithCrLf(*multi);
    return {};
}

int frmMain::CheckState(std::string_view control) const
{
    const QString name = nameOf(control);
    const auto *box = findChild<QCheckBox *>(name);
    return box ? stateOf(box) : 0;
}

int frmMain::ListIndex(std::string_view control) const
{
    const QString name = nameOf(control);
    return findChild<QComboBox *>(name) == cmbTimerRate ? m_unitListIndex : -1;
}

void frmMain::SetText(std::string_view control, const std::string &text)
{
    const QString name = nameOf(control);
    if (auto *edit = findChild<QLineEdit *>(name))
        edit->setText(toQ(text));
    else if (auto *multi = findChild<QPlainTextEdit *>(name))
        SetPlainTextFromCrLf(*multi, text);
}

void frmMain::SetCheckState(std::string_view control, int state)
{
    const QString name = nameOf(control);
    auto *box = findChild<QCheckBox *>(name);
    if (!box)
        return;
    box->setChecked(state != 0);
    // The three tooltip options set their menu marks even when no change ran
    // their handlers.
    if (box == chkShowIP)
        m_menu.ShowIP->setChecked(state != 0);
    else if (box == chkShowPhyMem)
        m_menu.ShowPhyMem->setChecked(state != 0);
    else if (box == chkShowVirtualMem)
        m_menu.ShowVirtMem->setChecked(state != 0);
}

void frmMain::SetListIndex(std::string_view control, int index)
{
    const QString name = nameOf(control);
    auto *list = findChild<QComboBox *>(name);
    if (!list)
        return;
    list->setCurrentIndex(index);
    if (list == cmbTimerRate)
        m_unitListIndex = index;
}

// ---- Debug tab and clipboard ---------------------------------------------------

void frmMain::ShowDebugTab()
{
    tabMain->setTabVisible(kDebugTab, chkShowDebug->isChecked());
}

void frmMain::CopyIPToClipboard()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(toQ(m_parts.localIp()));
}

} // namespace pellwick
