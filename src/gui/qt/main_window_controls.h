#pragma once

#include <QWidget>

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
class MainWindowControls : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindowControls(QWidget *parent = nullptr);

    static constexpr int kTabEmail = 0;
    static constexpr int kTabSettings = 1;
    static constexpr int kTabMisc = 2;
    static constexpr int kTabAbout = 3;
    static constexpr int kTabDebug = 4;

    QTabWidget *tabMain;

    // "Email"
    QLabel *lblSmtpServer;
    QLineEdit *txtSmtpServer;
    QLabel *lblTo;
    QLineEdit *txtRecipient;
    QLabel *lblSender;
    QLineEdit *txtSender;
    QPushButton *btnSendEmail;
    QGroupBox *frmTip;
    QLabel *lblTip;
    QLabel *lblSubject;
    QLineEdit *txtSubject;
    QLabel *lblMsg;
    QPlainTextEdit *txtMsg;
    QPushButton *btnInsertIP;

    // "Settings"
    QGroupBox *frmWhenToEmai;
    QCheckBox *chkEmailIPOnStartup;
    QCheckBox *chkAutoMail;
    QCheckBox *chkAutoEmailOnNewIP;
    QCheckBox *chkAutoExit;
    QCheckBox *chkMinimized;
    QGroupBox *frmDisplayTrayIcon;
    QCheckBox *chkDisplayIcon;
    QCheckBox *chkShowIP;
    QCheckBox *chkShowVirtualMem;
    QCheckBox *chkShowPhyMem;
    QGroupBox *frmSendEmail;
    QCheckBox *chkTimerSend;
    QLineEdit *txtTimerRate;
    QComboBox *cmbTimerRate;

    // "Misc"
    QGroupBox *Frame1;
    QCheckBox *chkCopyToClipOnStartup;
    QPushButton *btnCopyIPToClip;
    QGroupBox *frmPellwickSettings;
    QCheckBox *chkShowDebug;

    // "About"
    QFrame *shpAbout;
    QLabel *lblAboutTitle;
    QLabel *lblAboutAuthor;
    QLabel *lblAboutEmail;
    QLabel *Image1;
    QLabel *lblFreePhysMemory;
    QLabel *lblVirtMem;

    // "Debug"
    QPlainTextEdit *txtDebug;

private:
    QWidget *buildEmailTab();
    QWidget *buildSettingsTab();
    QWidget *buildMiscTab();
    QWidget *buildAboutTab();
    QWidget *buildDebugTab();
    void setFocusOrder();
};

} // namespace pellwick
