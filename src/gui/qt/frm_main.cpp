#include "gui/qt/frm_main.h"

#include "core/app/command_line.h"
#include "core/app/schedule.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_text.h"
#include "platform/local_time.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace pellwick {

frmMain::frmMain(WindowParts parts, QWidget *parent)
    : MainWindowControls(parent)
    , m_parts(std::move(parts))
    , m_memory(m_parts.memoryReader)
    , m_tray(m_parts.notifyArea)
    , wckMain(m_parts.smtpPortOverride, this)
    , m_smtp(wckMain, *this, CurrentLocalTime)
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

void frmMain::ShowDebugTab()
{
    tabMain->setTabVisible(kTabDebug, chkShowDebug->isChecked());
}

void frmMain::CopyIPToClipboard()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(toQ(m_parts.localIp()));
}

} // namespace pellwick
