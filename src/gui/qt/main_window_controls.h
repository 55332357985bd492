#pragma once

#include "core/form/controls.h"

#include <QIcon>
#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace pellwick {

// The controls of the settings window `frmMain`, laid out on their five tabs
// with their captions, tooltips and first states, and nothing else: the
// window's behaviour is added on top. Every control is a public member named
// like the control, and its objectName is that name too.
//
// The client area is fixed: 488 x 309 pixels, or larger where the desktop's
// font needs more room, so that no caption is ever cut off.
//
// The window itself (caption, icon, frame) exists from the start; its
// controls only from BuildControls on, so that a run that never shows them
// loads no font and builds no widget. Until then every control is null.
class MainWindowControls : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindowControls(const QIcon &icon, QWidget *parent = nullptr);

    // Lays the controls out once; later calls do nothing.
    void BuildControls();
    bool ControlsBuilt() const { return tabMain != nullptr; }

    // The widget that stands for the control (null before BuildControls).
    QWidget *Widget(Control control) const { return m_widgets[static_cast<std::size_t>(control)]; }

    QTabWidget *tabMain = nullptr;

    // "Email"
    QLabel *lblSmtpServer = nullptr;
    QLineEdit *txtSmtpServer = nullptr;
    QLabel *lblTo = nullptr;
    QLineEdit *txtRecipient = nullptr;
    QLabel *lblSender = nullptr;
    QLineEdit *txtSender = nullptr;
    QPushButton *btnSendEmail = nullptr;
    QGroupBox *frmTip = nullptr;
    QLabel *lblTip = nullptr;
    QLabel *lblSubject = nullptr;
    QLineEdit *txtSubject = nullptr;
    QLabel *lblMsg = nullptr;
    QPlainTextEdit *txtMsg = nullptr;
    QPushButton *btnInsertIP = nullptr;
    QPushButton *btnServer = nullptr;

    // "Settings"
    QGroupBox *frmWhenToEmai = nullptr;
    QCheckBox *chkEmailIPOnStartup = nullptr;
    QCheckBox *chkAutoMail = nullptr;
    QCheckBox *chkAutoEmailOnNewIP = nullptr;
    QCheckBox *chkAutoExit = nullptr;
    QCheckBox *chkMinimized = nullptr;
    QGroupBox *frmDisplayTrayIcon = nullptr;
    QCheckBox *chkDisplayIcon = nullptr;
    QCheckBox *chkShowIP = nullptr;
    QCheckBox *chkShowVirtualMem = nullptr;
    QCheckBox *chkShowPhyMem = nullptr;
    QGroupBox *frmSendEmail = nullptr;
    QCheckBox *chkTimerSend = nullptr;
    QLineEdit *txtTimerRate = nullptr;
    QComboBox *cmbTimerRate = nullptr;

    // "Misc"
    QGroupBox *Frame1 = nullptr;
    QCheckBox *chkCopyToClipOnStartup = nullptr;
    QPushButton *btnCopyIPToClip = nullptr;
    QGroupBox *frmPellwickSettings = nullptr;
    QCheckBox *chkShowDebug = nullptr;
    QCheckBox *chkNotifyOnFailure = nullptr;

    // "About"
    QFrame *shpAbout = nullptr;
    QLabel *lblAboutTitle = nullptr;
    QLabel *lblAboutAuthor = nullptr;
    QLabel *lblAboutEmail = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *lblFreePhysMemory = nullptr;
    QLabel *lblVirtMem = nullptr;

    // "Debug"
    QPlainTextEdit *txtDebug = nullptr;

private:
    // Makes the control's widget, named and registered as the control.
    template<typename Widget>
    Widget *Named(Control control, QWidget *parent);
    QLabel *Label(Control control, const QString &text, QWidget *parent);
    QLineEdit *LineEdit(Control control, const QString &toolTip, QWidget *parent);
    QCheckBox *CheckBox(Control control, const QString &text, const QString &toolTip,
                        QWidget *parent);
    QPushButton *Button(Control control, const QString &text, const QString &toolTip,
                        QWidget *parent);
    QGroupBox *Frame(Control control, const QString &title, QWidget *parent);

    QWidget *buildEmailTab();
    QWidget *buildSettingsTab();
    QWidget *buildMiscTab();
    QWidget *buildAboutTab();
    QWidget *buildDebugTab();
    void setFocusOrder();

    QIcon m_icon;
    std::array<QWidget *, kControlCount> m_widgets {};
};

} // namespace pellwick
