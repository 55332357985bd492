// SPDX-License-Identifier: MIT
#include "gui/qt/qt_main_window.h"

#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <initializer_list>

namespace pellwick {

void QtWindowEvents::ConnectTo(MainWindow &window)
{
    QObject::connect(&socket, &QtSocket::dataArrival,
                     [&window](std::int32_t count) { window.DataArrived(count); });
    QObject::connect(&timer, &QTimer::timeout, [&window] { window.Tick(); });
}

WindowParts TakeWindowParts(QtWindowParts &parts, QtWindowEvents &events, Clipboard &clipboard,
                            ServerDialog *serverDialog)
{
    return WindowParts {std::move(parts.machine), ShellParts {
                                                      .socket = events.socket,
                                                      .deadline = events.deadline,
                                                      .timer = events.timer,
                                                      .notifyArea = parts.notifyArea,
                                                      .clipboard = clipboard,
                                                      .addressWatched = parts.addressWatched,
                                                      .serverDialog = serverDialog,
                                                      .datagrams = &events.datagrams,
                                                      .addressDeadline = &events.addressDeadline,
                                                      .streams = &events.streams,
                                                  }};
}

QtMainWindow::QtMainWindow(QtWindowParts parts, QWidget *parent)
    : MainWindowControls(parts.icon, parent)
    , m_menu(parts.icon)
    , m_widgetView(*this, m_menu)
    , m_view(*this, m_widgetView)
    , m_form(m_view, TakeWindowParts(parts, m_events, *this, this))
{
    m_events.ConnectTo(m_form);
    if (auto *tray = dynamic_cast<QtNotifyArea *>(&parts.notifyArea))
        connect(tray, &QtNotifyArea::clicked, this,
                [this](TrayClick click) { m_form.TrayIconClicked(click); });
    for (const MenuItem item :
         {MenuItem::CopyIp, MenuItem::ShowIp, MenuItem::ShowPhysicalMemory,
          MenuItem::ShowVirtualMemory, MenuItem::Restore, MenuItem::Minimize, MenuItem::Exit}) {
        QAction *action = m_menu.Item(item);
        connect(action, &QAction::triggered, this, [this, action, item] {
            // Qt flips a mark before it reports the choice; MainWindow decides the
            // marks from what they were when the item was chosen.
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            m_form.MenuItemChosen(item);
        });
    }
    // The session manager asks running programs to save before the desktop ends.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_form.ExitApp(); });
}

bool QtMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DebugText && event->type() == QEvent::Show)
        m_widgetView.CatchUpLog(m_form.DebugLog());
    return MainWindowControls::eventFilter(watched, event);
}

QtMainWindow::~QtMainWindow()
{
    // Closing the widget below moves the focus, and the application would
    // report that to a window whose behaviour is already gone.
    disconnect(qApp, nullptr, this, nullptr);
}

void QtMainWindow::Load()
{
    m_view.BeginBatch();
    m_form.Start();
    m_view.EndBatch();
}

void QtMainWindow::setVisible(bool visible)
{
    // A window shown minimised waits for its first restore.
    if (visible && !(windowState() & Qt::WindowMinimized))
        MakeControls();
    MainWindowControls::setVisible(visible);
}

void QtMainWindow::MakeControls()
{
    if (ControlsBuilt())
        return;
    BuildControls();
    DebugText->installEventFilter(this);
    connectControls();
    // Every control takes its size now: a text put into a field is laid out
    // once, at the size it is shown at, not again when the window first shows
    // (for a message of a megabyte on one line each layout costs Qt about 0.1 s).
    // Rendering one pixel off screen hands out the sizes and paints nothing else.
    layout()->activate();
    QPixmap pixel(1, 1);
    render(&pixel, QPoint(), QRegion(0, 0, 1, 1));
    m_view.ControlsBuilt();
}

void QtMainWindow::connectControls()
{
    for (const Control control :
         {Control::SendEmailButton, Control::InsertIpButton, Control::InsertPublicIpButton,
          Control::ServerButton, Control::CopyIpButton}) {
        connect(qobject_cast<QPushButton *>(Widget(control)), &QPushButton::clicked, this,
                [this, control] { m_form.UserClicked(control); });
    }
    // `clicked` comes from the user only: the view's own changes are not echoed.
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        const Control control = *controlOf(box);
        connect(box, &QCheckBox::clicked, this, [this, box, control] {
            // A grey box clicked by the user becomes checked and has two
            // states from then on.
            if (box->checkState() != Qt::PartiallyChecked)
                box->setTristate(false);
            m_form.UserChangedValue(control);
        });
    }
    auto *unit = Get<QComboBox>(Control::TimerUnit);
    connect(unit, &QComboBox::activated, this,
            [this](int index) { m_widgetView.SetUnitChoice(index); });
    connect(unit->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_widgetView.SetUnitChoice(-1);
        m_form.UserChangedText(Control::TimerUnit);
    });
    connect(qApp, &QApplication::focusChanged, this, &QtMainWindow::focusChanged);
}

std::optional<Control> QtMainWindow::controlOf(const QWidget *widget) const
{
    for (; widget; widget = widget->parentWidget()) {
        for (std::size_t i = 0; i < kControlCount; ++i) {
            if (Widget(static_cast<Control>(i)) == widget)
                return static_cast<Control>(i);
        }
    }
    return std::nullopt;
}

void QtMainWindow::focusChanged(QWidget *old, QWidget *now)
{
    // Only focus coming to a control of this window counts: the window losing
    // the focus, or a popup taking it, is no move. Coming back, the move counts
    // from the control that had the focus last; the first one from none.
    const std::optional<Control> to = controlOf(now);
    if (!to)
        return;
    std::optional<Control> from = controlOf(old);
    if (!from)
        from = m_lastFocus;
    m_lastFocus = to;
    if (from != to)
        m_form.FocusMoved(from, *to);
}

void QtMainWindow::closeEvent(QCloseEvent *event)
{
    m_form.WindowClosed();
    event->accept();
}

void QtMainWindow::changeEvent(QEvent *event)
{
    MainWindowControls::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Restored from the task bar for the first time: the controls are due.
    if (isVisible() && !isMinimized())
        MakeControls();
    if (!m_widgetView.ApplyingState())
        m_form.WindowStateChanged();
}

void QtMainWindow::SetText(const std::string &text)
{
    m_usedClipboard = true;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(toQ(text));
}

std::optional<ServerDialog::Result> QtMainWindow::Edit(const SubmissionSettings &current,
                                                       const std::string &presentedFingerprint)
{
    if (!m_serverDialog)
        m_serverDialog = new QtServerDialog(this);
    return m_serverDialog->Edit(current, presentedFingerprint);
}

} // namespace pellwick
