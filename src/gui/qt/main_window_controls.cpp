#include "gui/qt/main_window_controls.h"

#include "gui/qt/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <initializer_list>

namespace pellwick {

namespace {

// The window's client area as it was drawn, at 96 dots per inch.
constexpr QSize kClientSize(488, 309);
// txtMsg is the tallest field of the Email tab.
constexpr QSize kMessageSize(241, 121);
// The About picture is stretched to this size.
constexpr QSize kAboutImageSize(136, 119);

// Arial as the About tab was drawn; where Arial is missing the desktop's
// sans-serif face of the same metrics stands in.
QFont AboutFont(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

template<typename Widget>
Widget *MainWindowControls::Named(Control control, QWidget *parent)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(toQ(ControlName(control)));
    m_widgets[static_cast<std::size_t>(control)] = widget;
    return widget;
}

QLabel *MainWindowControls::Label(Control control, const QString &text, QWidget *parent)
{
    auto *label = Named<QLabel>(control, parent);
    // Captions are shown as they stand, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QLineEdit *MainWindowControls::LineEdit(Control control, const QString &toolTip, QWidget *parent)
{
    auto *edit = Named<QLineEdit>(control, parent);
    edit->setToolTip(toolTip);
    return edit;
}

QCheckBox *MainWindowControls::CheckBox(Control control, const QString &text,
                                        const QString &toolTip, QWidget *parent)
{
    auto *box = Named<QCheckBox>(control, parent);
    box->setText(text);
    box->setToolTip(toolTip);
    return box;
}

QPushButton *MainWindowControls::Button(Control control, const QString &text,
                                        const QString &toolTip, QWidget *parent)
{
    auto *button = Named<QPushButton>(control, parent);
    button->setText(text);
    button->setToolTip(toolTip);
    return button;
}

QGroupBox *MainWindowControls::Frame(Control control, const QString &title, QWidget *parent)
{
    auto *frame = Named<QGroupBox>(control, parent);
    frame->setTitle(title);
    return frame;
}

MainWindowControls::MainWindowControls(const QIcon &icon, QWidget *parent)
    : QWidget(parent)
    , m_icon(icon)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Pellwick"));
    setWindowIcon(m_icon);
    // A fixed dialog: it can be minimised and closed, not resized or maximised.
    // Without the customize hint the window manager would add its default
    // buttons, maximise among them.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    // Until its controls exist the window is at most a minimised entry on the
    // task bar: nothing of it is on screen, so it paints nothing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kClientSize);
}

void MainWindowControls::BuildControls()
{
    if (ControlsBuilt())
        return;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    tabMain = Named<QTabWidget>(Control::tabMain, this);
    tabMain->addTab(buildEmailTab(), QStringLiteral("Email"));
    tabMain->addTab(buildSettingsTab(), QStringLiteral("Settings"));
    tabMain->addTab(buildMiscTab(), QStringLiteral("Misc"));
    tabMain->addTab(buildAboutTab(), QStringLiteral("About"));
    tabMain->addTab(buildDebugTab(), QStringLiteral("Debug"));
    tabMain->setCurrentIndex(static_cast<int>(Tab::Email));

    auto *layout = new QVBoxLayout(this);
    // The tab control sits 8 pixels from the top and nearly fills the rest.
    layout->setContentsMargins(4, 8, 3, 4);
    layout->addWidget(tabMain);

    setFocusOrder();

    // Never smaller than drawn, larger only as far as the font asks.
    setFixedSize(kClientSize.expandedTo(layout->totalMinimumSize()));
    // Made while the window is up (restored from the task bar): shown with it.
    if (isVisible())
        tabMain->show();
}

QWidget *MainWindowControls::buildEmailTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabEmail"));

    lblSmtpServer = Label(Control::lblSmtpServer,
                          QStringLiteral("Mail (SMTP) Server: (mail.example.com)"), page);
    txtSmtpServer = LineEdit(
        Control::txtSmtpServer,
        QStringLiteral("The name of you Internet Mail Server Used for Sending Files"), page);
    lblTo = Label(Control::lblTo, QStringLiteral("To: (me@example.com;you@example.org)"), page);
    txtRecipient = LineEdit(Control::txtRecipient,
                            QStringLiteral("Who do you want the message sent to?"), page);
    lblSender = Label(Control::lblSender, QStringLiteral("From: (me@example.com)"), page);
    txtSender = LineEdit(Control::txtSender, QStringLiteral("Who is the message from?"), page);
    btnSendEmail = Button(Control::btnSendEmail, QStringLiteral("Send Email Right Now!"),
                          QStringLiteral("Send an Email Right Now!"), page);

    frmTip = Frame(Control::frmTip, QStringLiteral("Tip!"), page);
    lblTip
        = Label(Control::lblTip,
                QStringLiteral("You can also use Pellwick to fire off any quick emails!"), frmTip);
    lblTip->setWordWrap(true);
    (new QVBoxLayout(frmTip))->addWidget(lblTip);

    lblSubject
        = Label(Control::lblSubject, QStringLiteral("Subject: (Your New IP Address Is)"), page);
    txtSubject
        = LineEdit(Control::txtSubject, QStringLiteral("Subject of the Email Message"), page);
    lblMsg
        = Label(Control::lblMsg, QStringLiteral("Message: (Enter Your Email Message Here)"), page);
    txtMsg = Named<QPlainTextEdit>(Control::txtMsg, page);
    txtMsg->setToolTip(QStringLiteral("Email Message to Be Sent.  Click on the Button Below to Add "
                                      "Your IP Address to the Email Body."));
    txtMsg->setMinimumSize(kMessageSize);
    // Tab moves on to the buttons, as in the other fields.
    txtMsg->setTabChangesFocus(true);
    btnInsertIP = Button(
        Control::btnInsertIP, QStringLiteral("Click to Insert IP Address"),
        QStringLiteral("Click here to insert your IP Address into the Email Subject or Body"),
        page);
    btnInsertIP->setEnabled(false);
    btnServer = Button(Control::btnServer, QStringLiteral("Server\u2026"),
                       QStringLiteral("Port, encryption and login for the mail server"), page);

    auto *left = new QVBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *> {lblSmtpServer, txtSmtpServer, lblTo,
                                                             txtRecipient, lblSender, txtSender})
        left->addWidget(widget);
    left->addSpacing(4);
    left->addWidget(btnSendEmail);
    // In the free room below, so that no other control moves.
    left->addWidget(btnServer, 0, Qt::AlignLeft);
    left->addStretch(1);

    auto *right = new QVBoxLayout;
    right->addWidget(lblSubject);
    right->addWidget(txtSubject);
    right->addWidget(lblMsg);
    right->addWidget(txtMsg, 1);

    auto *grid = new QGridLayout(page);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addWidget(frmTip, 1, 0);
    grid->addWidget(btnInsertIP, 1, 1, Qt::AlignVCenter);
    // The left column is as narrow as its captions allow; the message gets the rest.
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    return page;
}

QWidget *MainWindowControls::buildSettingsTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabSettings"));

    frmWhenToEmai = Frame(Control::frmWhenToEmai, QStringLiteral("Email Options at Startup"), page);
    chkEmailIPOnStartup = CheckBox(
        Control::chkEmailIPOnStartup, QStringLiteral("Run IP Every Time You Login"),
        QStringLiteral("This will automatically send an email everytime the user logs in."),
        frmWhenToEmai);
    chkAutoMail = CheckBox(
        Control::chkAutoMail, QStringLiteral("Auto Email IP On Program Startup"),
        QStringLiteral("This will send an email everytime the Pellwick Application is loaded."),
        frmWhenToEmai);
    chkAutoEmailOnNewIP = CheckBox(
        Control::chkAutoEmailOnNewIP, QStringLiteral("Auto Email On When New IP Detected"),
        QStringLiteral("This will automatically send an email everytime a new IP is detected"),
        frmWhenToEmai);
    chkAutoExit = CheckBox(Control::chkAutoExit, QStringLiteral("Auto Exit After Login Run"),
                           QStringLiteral("This will automatically close the Pellwick application "
                                          "every time an email is sent.  This will only work when "
                                          "emailing after initial startup run."),
                           frmWhenToEmai);
    chkAutoExit->setEnabled(false);
    chkMinimized = CheckBox(Control::chkMinimized, QStringLiteral("Start Pellwick Minimized"),
                            QStringLiteral("This will start the Pellwick application minimized"),
                            frmWhenToEmai);
    auto *startup = new QGridLayout(frmWhenToEmai);
    startup->addWidget(chkEmailIPOnStartup, 0, 0);
    startup->addWidget(chkAutoMail, 1, 0);
    startup->addWidget(chkAutoEmailOnNewIP, 2, 0);
    startup->addWidget(chkAutoExit, 0, 1);
    startup->addWidget(chkMinimized, 1, 1);

    frmDisplayTrayIcon
        = Frame(Control::frmDisplayTrayIcon, QStringLiteral("Displaying the Tray Icon"), page);
    chkDisplayIcon
        = CheckBox(Control::chkDisplayIcon, QStringLiteral("Display Tray Icon"),
                   QStringLiteral("This will Show/Hide the Tray Icon."), frmDisplayTrayIcon);
    chkShowIP = CheckBox(Control::chkShowIP, QStringLiteral("Show IP in Tray Icon"),
                         QStringLiteral("This will display your IP Address in the Tray Icon Text"),
                         frmDisplayTrayIcon);
    chkShowVirtualMem = CheckBox(
        Control::chkShowVirtualMem, QStringLiteral("Show Virtual Mem in Tray Icon"),
        QStringLiteral("This will display your Virtual Memory Free in your Tray Icon Text"),
        frmDisplayTrayIcon);
    chkShowPhyMem = CheckBox(
        Control::chkShowPhyMem, QStringLiteral("Show Physical Mem in Tray Icon"),
        QStringLiteral("This will Display your physical memory free in your Tray Icon text"),
        frmDisplayTrayIcon);
    auto *tray = new QGridLayout(frmDisplayTrayIcon);
    tray->addWidget(chkDisplayIcon, 0, 0);
    tray->addWidget(chkShowIP, 1, 0);
    tray->addWidget(chkShowVirtualMem, 0, 1);
    tray->addWidget(chkShowPhyMem, 1, 1);

    frmSendEmail
        = Frame(Control::frmSendEmail, QStringLiteral("Sending Email at a Fixed Rate"), page);
    chkTimerSend = CheckBox(Control::chkTimerSend, QStringLiteral("Send an Email Every"), QString(),
                            frmSendEmail);
    txtTimerRate = LineEdit(Control::txtTimerRate, QString(), frmSendEmail);
    txtTimerRate->setText(QStringLiteral("30"));
    // Narrow: room for a few digits.
    txtTimerRate->setFixedWidth(
        txtTimerRate->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    cmbTimerRate = Named<QComboBox>(Control::cmbTimerRate, frmSendEmail);
    cmbTimerRate->setEditable(true);
    // A typed unit is read from the field; it never becomes a list entry.
    cmbTimerRate->setInsertPolicy(QComboBox::NoInsert);
    cmbTimerRate->addItems(
        {QStringLiteral("Seconds"), QStringLiteral("Minutes"), QStringLiteral("Hours")});
    cmbTimerRate->setCurrentIndex(0);
    auto *rate = new QHBoxLayout(frmSendEmail);
    rate->addWidget(chkTimerSend);
    rate->addWidget(txtTimerRate);
    rate->addWidget(cmbTimerRate);
    rate->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(frmWhenToEmai);
    layout->addWidget(frmDisplayTrayIcon);
    layout->addWidget(frmSendEmail);
    layout->addStretch(1);
    return page;
}

QWidget *MainWindowControls::buildMiscTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabMisc"));

    Frame1 = Frame(Control::Frame1, QStringLiteral("ClipBoard"), page);
    chkCopyToClipOnStartup = CheckBox(
        Control::chkCopyToClipOnStartup,
        QStringLiteral("Automatically Copy Your IP To the Clipboard on Pellwick Startup"),
        QString(), Frame1);
    btnCopyIPToClip = Button(Control::btnCopyIPToClip, QStringLiteral("Copy IP To ClipBoard Now"),
                             QString(), Frame1);
    auto *clipboard = new QVBoxLayout(Frame1);
    clipboard->addWidget(chkCopyToClipOnStartup);
    clipboard->addWidget(btnCopyIPToClip, 0, Qt::AlignLeft);

    frmPellwickSettings
        = Frame(Control::frmPellwickSettings, QStringLiteral("Pellwick Settings"), page);
    chkShowDebug = CheckBox(Control::chkShowDebug, QStringLiteral("Show Debug Tab Dialog"),
                            QStringLiteral("Show/Hide the Debug Tab"), frmPellwickSettings);
    chkNotifyOnFailure
        = CheckBox(Control::chkNotifyOnFailure, QStringLiteral("Notify Me When An Email Fails"),
                   QStringLiteral("Show a message by the tray icon when an email cannot be sent"),
                   frmPellwickSettings);
    auto *settings = new QVBoxLayout(frmPellwickSettings);
    settings->addWidget(chkShowDebug);
    settings->addWidget(chkNotifyOnFailure);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Frame1);
    layout->addWidget(frmPellwickSettings);
    layout->addStretch(1);
    return page;
}

QWidget *MainWindowControls::buildAboutTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabAbout"));

    shpAbout = Named<QFrame>(Control::shpAbout, page);
    shpAbout->setFrameShape(QFrame::Box);
    shpAbout->setFrameShadow(QFrame::Plain);

    lblAboutTitle = Label(Control::lblAboutTitle, QStringLiteral("Pellwick v" PELLWICK_VERSION "!"),
                          shpAbout);
    lblAboutTitle->setFont(AboutFont(14.25, true));
    lblAboutAuthor
        = Label(Control::lblAboutAuthor, QStringLiteral("By:  The Pellwick developers"), shpAbout);
    lblAboutAuthor->setFont(AboutFont(12, false));
    lblAboutEmail
        = Label(Control::lblAboutEmail, QStringLiteral("Email:  pellwick@example.org"), shpAbout);
    lblAboutEmail->setFont(AboutFont(12, false));

    Image1 = Named<QLabel>(Control::Image1, shpAbout);
    Image1->setPixmap(m_icon.pixmap(128));
    Image1->setScaledContents(true);
    Image1->setFixedSize(kAboutImageSize);

    lblFreePhysMemory = Label(Control::lblFreePhysMemory, QStringLiteral("Physical Memory"), page);
    lblVirtMem = Label(Control::lblVirtMem, QStringLiteral("Virtual Memory"), page);

    // The captions and the picture sit inside the outline, the picture to the
    // right; the memory lines follow below it.
    auto *boxed = new QGridLayout(shpAbout);
    boxed->addWidget(lblAboutTitle, 0, 0);
    boxed->addWidget(lblAboutAuthor, 1, 0);
    boxed->addWidget(lblAboutEmail, 2, 0);
    boxed->setRowStretch(3, 1);
    boxed->addWidget(Image1, 0, 1, 4, 1, Qt::AlignCenter);
    boxed->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(shpAbout);
    layout->addWidget(lblFreePhysMemory);
    layout->addWidget(lblVirtMem);
    layout->addStretch(1);
    return page;
}

QWidget *MainWindowControls::buildDebugTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabDebug"));

    txtDebug = Named<QPlainTextEdit>(Control::txtDebug, page);
    // The log is the program's to write; the user may read, select and copy it.
    txtDebug->setReadOnly(true);
    txtDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Long lines wrap at the window's edge; no undo history keeps an append at
    // the end as cheap for a long log as for a short one.
    txtDebug->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtDebug->setUndoRedoEnabled(false);

    (new QVBoxLayout(page))->addWidget(txtDebug);
    return page;
}

void MainWindowControls::setFocusOrder()
{
    const std::initializer_list<QWidget *> order {
        // "Email"
        txtSmtpServer, txtRecipient, txtSender, txtSubject, txtMsg, btnSendEmail, btnInsertIP,
        btnServer,
        // "Settings": the unit comes before the rate.
        chkEmailIPOnStartup, chkAutoMail, chkAutoEmailOnNewIP, chkAutoExit, chkMinimized,
        chkDisplayIcon, chkShowIP, chkShowVirtualMem, chkShowPhyMem, chkTimerSend, cmbTimerRate,
        txtTimerRate,
        // "Misc"
        btnCopyIPToClip, chkCopyToClipOnStartup, chkShowDebug, chkNotifyOnFailure,
        // "Debug"
        txtDebug};
    QWidget *previous = nullptr;
    for (QWidget *widget : order) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace pellwick
