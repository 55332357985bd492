// SPDX-License-Identifier: MIT
#include "gui/qt/main_window_controls.h"

#include "core/settings/settings.h"
#include "core/window/window_description.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/text_lines.h"

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
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace pellwick {

namespace {

using enum Control;

constexpr QSize kClientSize(kClientWidth, kClientHeight);
// Message is the tallest field of the Email tab.
constexpr QSize kMessageSize(241, 121);

// A caption's own font; where its face is missing the desktop's sans-serif
// face of the same metrics stands in.
QFont captionFont(const ControlDescription &d)
{
    QFont font(toQ(kCaptionFace));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(d.points);
    font.setBold(d.bold);
    return font;
}

} // namespace

MainWindowControls::MainWindowControls(const QIcon &icon, QWidget *parent)
    : QWidget(parent)
    , m_icon(icon)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(toQ(kWindowTitle));
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

namespace {

// A new widget of the control's kind, showing its caption.
QWidget *newWidget(const ControlDescription &d, const QIcon &icon)
{
    const QString caption = toQ(d.caption);
    switch (d.kind) {
    case WidgetKind::Label: {
        auto *label = new QLabel;
        // Captions are shown as they stand, never read as markup.
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        return label;
    }
    case WidgetKind::Edit:
        return new QLineEdit(caption);
    case WidgetKind::MessageEdit:
    case WidgetKind::LogEdit: {
        auto *edit = new QPlainTextEdit;
        WrapLongRunsAnywhere(*edit);
        return edit;
    }
    case WidgetKind::Button:
        return new QPushButton(caption);
    case WidgetKind::Check:
        return new QCheckBox(caption);
    case WidgetKind::Frame:
        return new QGroupBox(caption);
    case WidgetKind::Combo: {
        auto *list = new QComboBox;
        list->setEditable(true);
        // A typed unit is read from the field; it never becomes a list entry.
        list->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string_view unit : kTimerUnits)
            list->addItem(toQ(unit));
        list->setCurrentIndex(0);
        return list;
    }
    case WidgetKind::Rect: {
        auto *frame = new QFrame;
        frame->setFrameShape(QFrame::Box);
        frame->setFrameShadow(QFrame::Plain);
        return frame;
    }
    case WidgetKind::Image:
        break;
    }
    auto *image = new QLabel;
    image->setPixmap(icon.pixmap(128));
    image->setScaledContents(true);
    image->setFixedSize(d.width, d.height);
    return image;
}

} // namespace

void MainWindowControls::BuildControls()
{
    if (ControlsBuilt())
        return;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(toQ(ControlName(Control::Tabs)));
    m_widgets[Index(Control::Tabs)] = Tabs;
    std::array<QWidget *, kTabCaptions.size()> pages {};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("tab") + toQ(kTabCaptions[i]));
    }
    for (const ControlDescription &d : WindowControls()) {
        QWidget *widget = newWidget(d, m_icon);
        widget->setParent(pages[Index(d.tab)]);
        widget->setObjectName(toQ(ControlName(d.control)));
        widget->setToolTip(toQ(d.toolTip));
        widget->setEnabled(d.enabled);
        if (d.points > 0)
            widget->setFont(captionFont(d));
        m_widgets[Index(d.control)] = widget;
    }
    limitTexts();
    DebugText = Get<QPlainTextEdit>(Control::DebugText);
    layOutEmail(pages[Index(Tab::Email)]);
    layOutSettings(pages[Index(Tab::Settings)]);
    layOutMisc(pages[Index(Tab::Misc)]);
    layOutAbout(pages[Index(Tab::About)]);
    (new QVBoxLayout(pages[Index(Tab::Debug)]))->addWidget(DebugText);
    // The log is the program's to write; the user may read, select and copy it.
    DebugText->setReadOnly(true);
    DebugText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Long lines wrap at the window's edge; no undo history keeps an append at
    // the end as cheap for a long log as for a short one.
    DebugText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    DebugText->setUndoRedoEnabled(false);
    for (std::size_t i = 0; i < pages.size(); ++i)
        Tabs->addTab(pages[i], toQ(kTabCaptions[i]));
    Tabs->setCurrentIndex(static_cast<int>(Tab::Email));

    auto *layout = new QVBoxLayout(this);
    // The tab control sits 8 pixels from the top and nearly fills the rest.
    layout->setContentsMargins(4, 8, 3, 4);
    layout->addWidget(Tabs);

    // Tab visits the inputs in the description's order.
    QWidget *previous = nullptr;
    for (const ControlDescription &d : WindowControls()) {
        QWidget *widget = Widget(d.control);
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous)
                setTabOrder(previous, widget);
            previous = widget;
        }
    }

    // Never smaller than drawn, larger only as far as the font asks.
    setFixedSize(kClientSize.expandedTo(layout->totalMinimumSize()));
    // Made while the window is up (restored from the task bar): shown with it.
    if (isVisible())
        Tabs->show();
}

void MainWindowControls::limitTexts()
{
    // A field holds no more than its stored value may, so that every save
    // reads back.
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind != ControlKind::TextBox)
            continue;
        if (auto *line = qobject_cast<QLineEdit *>(Widget(row.control))) {
            line->setMaxLength(row.max);
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(Widget(row.control))) {
            QObject::connect(text, &QPlainTextEdit::textChanged, text, [text, max = row.max] {
                // The document ends with a paragraph separator of its own.
                if (text->document()->characterCount() - 1 <= max)
                    return;
                QTextCursor cursor(text->document());
                cursor.setPosition(max);
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            });
        }
    }
}

QGridLayout *MainWindowControls::grid(QWidget *parent,
                                      std::initializer_list<std::initializer_list<Control>> rows)
{
    auto *layout = new QGridLayout(parent);
    int row = 0;
    for (const auto &controls : rows) {
        int column = 0;
        for (const Control control : controls)
            layout->addWidget(Widget(control), row, column++);
        ++row;
    }
    return layout;
}

void MainWindowControls::layOutEmail(QWidget *page)
{
    Get<QLabel>(TipText)->setWordWrap(true);
    (new QVBoxLayout(Widget(TipGroup)))->addWidget(Widget(TipText));
    auto *message = Get<QPlainTextEdit>(Message);
    message->setMinimumSize(kMessageSize);
    // Its bar always takes its room: text growing past the field's height
    // leaves the width of its lines, and their layout, as they were.
    message->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the buttons, as in the other fields.
    message->setTabChangesFocus(true);

    auto *left = new QVBoxLayout;
    for (const Control control :
         {SmtpServerLabel, SmtpServer, RecipientLabel, Recipient, SenderLabel, Sender})
        left->addWidget(Widget(control));
    left->addSpacing(4);
    left->addWidget(Widget(SendEmailButton));
    // In the free room below, so that no other control moves.
    left->addWidget(Widget(ServerButton), 0, Qt::AlignLeft);
    left->addStretch(1);

    auto *right = new QVBoxLayout;
    for (const Control control : {SubjectLabel, Subject, MessageLabel})
        right->addWidget(Widget(control));
    right->addWidget(message, 1);

    auto *layout = new QGridLayout(page);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(Widget(TipGroup), 1, 0);
    auto *insert = new QVBoxLayout;
    insert->addWidget(Widget(InsertIpButton));
    insert->addWidget(Widget(InsertPublicIpButton));
    layout->addLayout(insert, 1, 1, Qt::AlignVCenter);
    // The left column is as narrow as its captions allow; the message gets the rest.
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);
}

void MainWindowControls::layOutSettings(QWidget *page)
{
    grid(Widget(WhenToEmailGroup),
         {{EmailIpOnStartup, AutoExit}, {AutoMail, StartMinimized}, {EmailOnNewIp}});
    grid(Widget(TrayIconGroup), {{DisplayIcon, ShowVirtualMemory}, {ShowIp, ShowPhysicalMemory}});

    auto *rate = Get<QLineEdit>(TimerRate);
    // Narrow: room for a few digits.
    rate->setFixedWidth(rate->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    auto *rateRow = new QHBoxLayout(Widget(SendEmailGroup));
    for (const Control control : {TimerSend, TimerRate, TimerUnit})
        rateRow->addWidget(Widget(control));
    rateRow->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    for (const Control control : {WhenToEmailGroup, TrayIconGroup, SendEmailGroup})
        layout->addWidget(Widget(control));
    layout->addStretch(1);
}

void MainWindowControls::layOutMisc(QWidget *page)
{
    auto *clipboard = new QVBoxLayout(Widget(ClipboardGroup));
    clipboard->addWidget(Widget(CopyIpOnStartup));
    clipboard->addWidget(Widget(CopyIpButton), 0, Qt::AlignLeft);
    auto *settings = new QVBoxLayout(Widget(ProgramGroup));
    settings->addWidget(Widget(ShowDebug));
    settings->addWidget(Widget(NotifyOnFailure));

    grid(Widget(PublicIpGroup), {{AskRouter}, {AskStun, StunServer}});

    auto *layout = new QVBoxLayout(page);
    for (const Control control : {ClipboardGroup, ProgramGroup, PublicIpGroup})
        layout->addWidget(Widget(control));
    layout->addStretch(1);
}

void MainWindowControls::layOutAbout(QWidget *page)
{
    // The captions and the picture sit inside the outline, the picture to the
    // right; the memory lines follow below it.
    QGridLayout *boxed = grid(Widget(AboutBox), {{AboutTitle}, {AboutAuthor}, {AboutEmail}});
    boxed->setRowStretch(3, 1);
    boxed->addWidget(Widget(AboutIcon), 0, 1, 4, 1, Qt::AlignCenter);
    boxed->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(page);
    for (const Control control : {AboutBox, PhysicalMemory, VirtualMemory, KnownAddresses})
        layout->addWidget(Widget(control));
    layout->addStretch(1);
}

} // namespace pellwick
