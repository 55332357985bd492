#pragma once

#include "core/form/controls.h"

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
class MainWindowControls : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindowControls(QWidget *parent = nullptr);

    // The widget that stands for the control.
    QWidget *Widget(Control control) const { return m_widgets[static_cast<std::size_t>(control)]; }

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
    QPushButton *btnServer;

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
    QCheckBox *chkNotifyOnFailure;

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

    std::array<QWidget *, kControlCount> m_widgets {};
};

} // namespace pellwick
