// SPDX-License-Identifier: MIT
#include "gui/qt/qt_window_view.h"

#include "core/window/window_description.h"
#include "gui/qt/text_lines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextCursor>

namespace pellwick {

namespace {

// The UTF-8 length of a widget's text before `position`, with line breaks
// counted as CRLF as Text() gives them.
std::size_t bytesBefore(const QString &text, qsizetype position)
{
    const QString before = text.left(position);
    return static_cast<std::size_t>(before.toUtf8().size() + before.count(QLatin1Char('\n')));
}

TextSelection selectionOf(const QString &text, qsizetype start, qsizetype end)
{
    const std::size_t from = bytesBefore(text, start);
    return {from, bytesBefore(text, end) - from};
}

} // namespace

QtWindowView::QtWindowView(MainWindowControls &window, TrayMenu &menu)
    : m_window(window)
    , m_menu(menu)
{
}

std::string QtWindowView::Text(Control control) const
{
    QWidget *widget = m_window.Widget(control);
    if (const auto *edit = qobject_cast<QLineEdit *>(widget))
        return fromQ(edit->text());
    if (const auto *multi = qobject_cast<QPlainTextEdit *>(widget))
        return PlainTextWithCrLf(*multi);
    if (const auto *list = qobject_cast<QComboBox *>(widget))
        return fromQ(list->currentText());
    if (const auto *label = qobject_cast<QLabel *>(widget))
        return fromQ(label->text());
    return {};
}

void QtWindowView::SetText(Control control, const std::string &text)
{
    QWidget *widget = m_window.Widget(control);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(toQ(text));
    else if (auto *multi = qobject_cast<QPlainTextEdit *>(widget))
        SetLines(*multi, LinesFromCrLf(text));
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(toQ(text));
}

void QtWindowView::AppendText(Control control, const std::string &text)
{
    QPlainTextEdit *log = shownLog(control);
    if (!log)
        return;
    // A reader at the end follows the new text; one who scrolled back stays.
    QScrollBar *bar = log->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    // Insert at the end only: the cost of an append does not grow with the log.
    QTextCursor end(log->document());
    end.movePosition(QTextCursor::End);
    end.insertText(LinesFromCrLf(text));
    if (following)
        bar->setValue(bar->maximum());
}

void QtWindowView::DropLeadingText(Control control, const std::string &dropped)
{
    QPlainTextEdit *log = shownLog(control);
    if (!log)
        return;
    // AppendText made a line of every CRLF, lone CR and lone LF.
    QTextCursor start(log->document());
    start.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                       static_cast<int>(LinesFromCrLf(dropped).count(QLatin1Char('\n'))));
    start.removeSelectedText();
}

QPlainTextEdit *QtWindowView::shownLog(Control control)
{
    auto *log = qobject_cast<QPlainTextEdit *>(m_window.Widget(control));
    // Nobody reads a log that is not on screen. Cutting lines off the front of
    // a long document whose widget is hidden costs Qt a walk over every line,
    // about 2 ms a line at 1 MiB, so the widget is left alone until it shows.
    if (log && !log->isVisible())
        m_logBehind = true;
    return m_logBehind ? nullptr : log;
}

void QtWindowView::CatchUpLog(const std::string &log)
{
    if (!m_logBehind)
        return;
    m_logBehind = false;
    SetLines(*m_window.DebugText, LinesFromCrLf(log));
    QScrollBar *bar = m_window.DebugText->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void QtWindowView::ShowSaveFailure(const std::string &message)
{
    // Not modal: the user can still select and copy what the window holds; the
    // program ends when the box is closed.
    QMessageBox box(QMessageBox::Warning, toQ(kWindowTitle), toQ(message), QMessageBox::Close,
                    &m_window);
    box.setInformativeText(toQ(kSaveFailureHint));
    box.setWindowModality(Qt::NonModal);
    m_window.show();
    QEventLoop wait;
    QObject::connect(&box, &QMessageBox::finished, &wait, &QEventLoop::quit);
    box.show();
    wait.exec();
}

void QtWindowView::ShowNotice(const std::string &message)
{
    auto *box = new QMessageBox(QMessageBox::Warning, toQ(kWindowTitle), toQ(message),
                                QMessageBox::Ok, &m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

TextSelection QtWindowView::Selection(Control control) const
{
    QWidget *widget = m_window.Widget(control);
    if (const auto *edit = qobject_cast<QLineEdit *>(widget)) {
        const qsizetype start
            = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const qsizetype end = edit->hasSelectedText() ? edit->selectionEnd() : start;
        return selectionOf(edit->text(), start, end);
    }
    if (const auto *multi = qobject_cast<QPlainTextEdit *>(widget)) {
        const QTextCursor cursor = multi->textCursor();
        return selectionOf(multi->toPlainText(), cursor.selectionStart(), cursor.selectionEnd());
    }
    return {};
}

int QtWindowView::Value(Control control) const
{
    const auto *box = qobject_cast<QCheckBox *>(m_window.Widget(control));
    const Qt::CheckState state = box ? box->checkState() : Qt::Unchecked;
    return state == Qt::Checked ? kChecked : state == Qt::PartiallyChecked ? kGrayed : kUnchecked;
}

void QtWindowView::SetValue(Control control, int value)
{
    auto *box = qobject_cast<QCheckBox *>(m_window.Widget(control));
    if (!box)
        return;
    // Only a box set grey by the program shows the third state.
    box->setTristate(value == kGrayed);
    box->setCheckState(value == kGrayed    ? Qt::PartiallyChecked
                       : value == kChecked ? Qt::Checked
                                           : Qt::Unchecked);
}

void QtWindowView::SetListIndex(Control control, int index)
{
    auto *list = qobject_cast<QComboBox *>(m_window.Widget(control));
    if (!list)
        return;
    list->setCurrentIndex(index);
    m_unitListIndex = index;
}

void QtWindowView::SetState(WindowState state)
{
    m_applyingState = true;
    const Qt::WindowStates states = state == WindowState::Minimized
                                        ? m_window.windowState() | Qt::WindowMinimized
                                        : m_window.windowState() & ~Qt::WindowMinimized;
    m_window.setWindowState(states);
    m_applyingState = false;
}

void QtWindowView::SetWindowVisible(bool visible)
{
    if (!visible) {
        m_window.hide();
        return;
    }
    // Shown in the normal state outright: a window hidden while minimised would
    // otherwise come back minimised, and the first restore be lost.
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

} // namespace pellwick
