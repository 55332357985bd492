#include "gui/qt/main_window_controls.h"

#include "gui/qt/pellwick_icon.h"

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

#include <algorithm>
#include <initializer_list>

namespace pellwick {

namespace {

// The window's client area as it was drawn, at 96 dots per inch.
constexpr QSize kClientSize(488, 309);
// txtMsg is the tallest field of the Email tab.
constexpr QSize kMessageSize(241, 121);
// The About picture is stretched to this size.
constexpr QSize kAboutImageSize(136, 119);

template<typename Widget>
Widget *Named(const char *name, QWidget *parent)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *Label(const char *name, const QString &text, QWidget *parent)
{
    auto *label = Named<QLabel>(name, parent);
    // Captions are shown as they stand, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QLineEdit *LineEdit(const char *name, const QString &toolTip, QWidget *parent)
{
    auto *edit = Named<QLineEdit>(name, parent);
    edit->setToolTip(toolTip);
    return edit;
}

QCheckBox *CheckBox(const char *name, const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *box = Named<QCheckBox>(name, parent);
    box->setText(text);
    box->setToolTip(toolTip);
    return box;
}

QPushButton *Button(const char *name, const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *button = Named<QPushButton>(name, parent);
    button->setText(text);
    button->setToolTip(toolTip);
    return button;
}

QGroupBox *Frame(const char *name, const QString &title, QWidget *parent)
{
    auto *frame = Named<QGroupBox>(name, parent);
    frame->setTitle(title);
    return frame;
}

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

MainWindowControls::MainWindowControls(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Pellwick"));
    setWindowIcon(PellwickIcon());
    // A fixed dialog: it can be minimised and closed, not resized or maximised.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    tabMain = Named<QTabWidget>("tabMain", this);
    tabMain->addTab(buildEmailTab(), QStringLiteral("Email"));
    tabMain->addTab(buildSettingsTab(), QStringLiteral("Settings"));
    tabMain->addTab(buildMiscTab(), QStringLiteral("Misc"));
    tabMain->addTab(buildAboutTab(), QStringLiteral("About"));
    tabMain->addTab(buildDebugTab(), QStringLiteral("Debug"));
    tabMain->setCurrentIndex(kTabEmail);

    auto *layout = new QVBoxLayout(this);
    // The tab control sits 8 pixels from the top and nearly fills the rest.
    layout->setContentsMargins(4, 8, 3, 4);
    layout->addWidget(tabMain);

    setFocusOrder();

    // Never smaller than drawn, larger only as far as the font asks.
    setFixedSize(kClientSize.expandedTo(layout->totalMinimumSize()));
}

QWidget *MainWindowControls::buildEmailTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabEmail"));

    lblSmtpServer
        = Label("lblSmtpServer", QStringLiteral("Mail (SMTP) Server: (mail.example.com)"), page);
    txtSmtpServer = LineEdit(
        "txtSmtpServer",
        QStringLiteral("The name of you Internet Mail Server Used for Sending Files"), page);
    lblTo = Label("lblTo", QStringLiteral("To: (me@example.com;you@example.org)"), page);
    txtRecipient
        = LineEdit("txtRecipient", QStringLiteral("Who do you want the message sent to?"), page);
    lblSender = Label("lblSender", QStringLiteral("From: (me@example.com)"), page);
    txtSender = LineEdit("txtSender", QStringLiteral("Who is the message from?"), page);
    btnSendEmail = Button("btnSendEmail", QStringLiteral("Send Email Right Now!"),
                          QStringLiteral("Send an Email Right Now!"), page);

    frmTip = Frame("frmTip", QStringLiteral("Tip!"), page);
    lblTip
        = Label("lblTip", QStringLiteral("You can also use Pellwick to fire off any quick emails!"),
                frmTip);
    lblTip->setWordWrap(true);
    (new QVBoxLayout(frmTip))->addWidget(lblTip);

    lblSubject = Label("lblSubject", QStringLiteral("Subject: (Your New IP Address Is)"), page);
    txtSubject = LineEdit("txtSubject", QStringLiteral("Subject of the Email Message"), page);
    lblMsg = Label("lblMsg", QStringLiteral("Message: (Enter Your Email Message Here)"), page);
    txtMsg = Named<QPlainTextEdit>("txtMsg", page);
    txtMsg->setToolTip(QStringLiteral("Email Message to Be Sent.  Click on the Button Below to Add "
                                      "Your IP Address to the Email Body."));
    txtMsg->setMinimumSize(kMessageSize);
    // Tab moves on to the buttons, as in the other fields.
    txtMsg->setTabChangesFocus(true);
    btnInsertIP = Button(
        "btnInsertIP", QStringLiteral("Click to Insert IP Address"),
        QStringLiteral("Click here to insert your IP Address into the Email Subject or Body"),
        page);
    btnInsertIP->setEnabled(false);

    auto *left = new QVBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *> {lblSmtpServer, txtSmtpServer, lblTo,
                                                             txtRecipient, lblSender, txtSender})
        left->addWidget(widget);
    left->addSpacing(4);
    left->addWidget(btnSendEmail);
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

    frmWhenToEmai = Frame("frmWhenToEmai", QStringLiteral("Email Options at Startup"), page);
    chkEmailIPOnStartup = CheckBox(
        "chkEmailIPOnStartup", QStringLiteral("Run IP Every Time You Login"),
        QStringLiteral("This will automatically send an email everytime the user logs in."),
        frmWhenToEmai);
    chkAutoMail = CheckBox(
        "chkAutoMail", QStringLiteral("Auto Email IP On Program Startup"),
        QStringLiteral("This will send an email everytime the Pellwick Application is loaded."),
        frmWhenToEmai);
    chkAutoEmailOnNewIP = CheckBox(
        "chkAutoEmailOnNewIP", QStringLiteral("Auto Email On When New IP Detected"),
        QStringLiteral("This will automatically send an email everytime a new IP is detected"),
        frmWhenToEmai);
    chkAutoExit = CheckBox("chkAutoExit", QStringLiteral("Auto Exit After Login Run"),
                           QStringLiteral("This will automatically close the Pellwick application "
                                          "every time an email is sent.  This will only work when "
                                          "emailing after initial startup run."),
                           frmWhenToEmai);
    chkAutoExit->setEnabled(false);
    chkMinimized = CheckBox("chkMinimized", QStringLiteral("Start Pellwick Minimized"),
                            QStringLiteral("This will start the Pellwick application minimized"),
                            frmWhenToEmai);
    auto *startup = new QGridLayout(frmWhenToEmai);
    startup->addWidget(chkEmailIPOnStartup, 0, 0);
    startup->addWidget(chkAutoMail, 1, 0);
    startup->addWidget(chkAutoEmailOnNewIP, 2, 0);
    startup->addWidget(chkAutoExit, 0, 1);
    startup->addWidget(chkMinimized, 1, 1);

    frmDisplayTrayIcon
        = Frame("frmDisplayTrayIcon", QStringLiteral("Displaying the Tray Icon"), page);
    chkDisplayIcon
        = CheckBox("chkDisplayIcon", QStringLiteral("Display Tray Icon"),
                   QStringLiteral("This will Show/Hide the Tray Icon."), frmDisplayTrayIcon);
    chkShowIP = CheckBox("chkShowIP", QStringLiteral("Show IP in Tray Icon"),
                         QStringLiteral("This will display your IP Address in the Tray Icon Text"),
                         frmDisplayTrayIcon);
    chkShowVirtualMem = CheckBox(
        "chkShowVirtualMem", QStringLiteral("Show Virtual Mem in Tray Icon"),
        QStringLiteral("This will display your Virtual Memory Free in your Tray Icon Text"),
        frmDisplayTrayIcon);
    chkShowPhyMem = CheckBox(
        "chkShowPhyMem", QStringLiteral("Show Physical Mem in Tray Icon"),
        QStringLiteral("This will Display your physical memory free in your Tray Icon text"),
        frmDisplayTrayIcon);
    auto *tray = new QGridLayout(frmDisplayTrayIcon);
    tray->addWidget(chkDisplayIcon, 0, 0);
    tray->addWidget(chkShowIP, 1, 0);
    tray->addWidget(chkShowVirtualMem, 0, 1);
    tray->addWidget(chkShowPhyMem, 1, 1);

    frmSendEmail = Frame("frmSendEmail", QStringLiteral("Sending Email at a Fixed Rate"), page);
    chkTimerSend
        = CheckBox("chkTimerSend", QStringLiteral("Send an Email Every"), QString(), frmSendEmail);
    txtTimerRate = LineEdit("txtTimerRate", QString(), frmSendEmail);
    txtTimerRate->setText(QStringLiteral("30"));
    // Narrow: room for a few digits.
    txtTimerRate->setFixedWidth(
        txtTimerRate->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    cmbTimerRate = Named<QComboBox>("cmbTimerRate", frmSendEmail);
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

    Frame1 = Frame("Frame1", QStringLiteral("ClipBoard"), page);
    chkCopyToClipOnStartup = CheckBox(
        "chkCopyToClipOnStartup",
        QStringLiteral("Automatically Copy Your IP To the Clipboard on Pellwick Startup"),
        QString(), Frame1);
    btnCopyIPToClip
        = Button("btnCopyIPToClip", QStringLiteral("Copy IP To ClipBoard Now"), QString(), Frame1);
    auto *clipboard = new QVBoxLayout(Frame1);
    clipboard->addWidget(chkCopyToClipOnStartup);
    clipboard->addWidget(btnCopyIPToClip, 0, Qt::AlignLeft);

    frmPellwickSettings = Frame("frmPellwickSettings", QStringLiteral("Pellwick Settings"), page);
    chkShowDebug = CheckBox("chkShowDebug", QStringLiteral("Show Debug Tab Dialog"),
                            QStringLiteral("Show/Hide the Debug Tab"), frmPellwickSettings);
    (new QVBoxLayout(frmPellwickSettings))->addWidget(chkShowDebug);

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

    // Made first so that the labels and the picture lie on top of its outline.
    shpAbout = Named<QFrame>("shpAbout", page);
    shpAbout->setFrameShape(QFrame::Box);
    shpAbout->setFrameShadow(QFrame::Plain);

    lblAboutTitle = Label("lblAboutTitle", QStringLiteral("Pellwick v1.0!"), page);
    lblAboutTitle->setFont(AboutFont(14.25, true));
    lblAboutAuthor = Label("lblAboutAuthor", QStringLiteral("By:  The Pellwick developers"), page);
    lblAboutAuthor->setFont(AboutFont(12, false));
    lblAboutEmail = Label("lblAboutEmail", QStringLiteral("Email:  pellwick@example.org"), page);
    lblAboutEmail->setFont(AboutFont(12, false));

    Image1 = Named<QLabel>("Image1", page);
    Image1->setPixmap(PellwickIcon().pixmap(128));
    Image1->setScaledContents(true);
    Image1->setFixedSize(kAboutImageSize);

    lblFreePhysMemory = Label("lblFreePhysMemory", QStringLiteral("Physical Memory"), page);
    lblVirtMem = Label("lblVirtMem", QStringLiteral("Virtual Memory"), page);

    constexpr int kInset = 8;
    auto *grid = new QGridLayout(page);
    grid->setHorizontalSpacing(kInset);
    const std::initializer_list<QLabel *> boxed {lblAboutTitle, lblAboutAuthor, lblAboutEmail};
    int row = 0;
    int boxedHeight = 0;
    for (QLabel *label : boxed) {
        // The outline is drawn around the cells, so the text keeps off it itself.
        label->setContentsMargins(kInset, row == 0 ? kInset : 0, 0,
                                  row == static_cast<int>(boxed.size()) - 1 ? kInset : 0);
        grid->addWidget(label, row++, 0);
        boxedHeight += label->sizeHint().height() + grid->verticalSpacing();
    }
    grid->addWidget(shpAbout, 0, 0, row, 2);
    // The picture sits in the right part of the outline and reaches below it.
    const int below
        = std::max(kAboutImageSize.height() / 4, kAboutImageSize.height() + kInset - boxedHeight);
    grid->setRowMinimumHeight(row, below);
    grid->addWidget(Image1, 0, 1, row + 1, 1, Qt::AlignHCenter | Qt::AlignBottom);
    grid->setColumnMinimumWidth(1, kAboutImageSize.width() + 2 * kInset);
    grid->addWidget(lblFreePhysMemory, row + 1, 0, 1, 2);
    grid->addWidget(lblVirtMem, row + 2, 0, 1, 2);
    grid->setRowStretch(row + 3, 1);
    grid->setColumnStretch(0, 1);
    return page;
}

QWidget *MainWindowControls::buildDebugTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabDebug"));

    txtDebug = Named<QPlainTextEdit>("txtDebug", page);
    // The log is the program's to write; the user may read, select and copy it.
    txtDebug->setReadOnly(true);
    txtDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Unwrapped lines and no undo history keep an append at the end as cheap
    // for a long log as for a short one.
    txtDebug->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDebug->setUndoRedoEnabled(false);

    (new QVBoxLayout(page))->addWidget(txtDebug);
    return page;
}

void MainWindowControls::setFocusOrder()
{
    const std::initializer_list<QWidget *> order {
        // "Email"
        txtSmtpServer, txtRecipient, txtSender, txtSubject, txtMsg, btnSendEmail, btnInsertIP,
        // "Settings": the unit comes before the rate.
        chkEmailIPOnStartup, chkAutoMail, chkAutoEmailOnNewIP, chkAutoExit, chkMinimized,
        chkDisplayIcon, chkShowIP, chkShowVirtualMem, chkShowPhyMem, chkTimerSend, cmbTimerRate,
        txtTimerRate,
        // "Misc"
        btnCopyIPToClip, chkCopyToClipOnStartup, chkShowDebug,
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
