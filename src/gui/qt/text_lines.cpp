// SPDX-License-Identifier: MIT
#include "gui/qt/text_lines.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>

namespace pellwick {

std::string PlainTextWithCrLf(const QPlainTextEdit &edit)
{
    // toPlainText already turns paragraph and line separators into LF.
    const std::string text = edit.toPlainText().toStdString();
    std::string joined;
    joined.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            joined += '\r';
        joined += c;
    }
    return joined;
}

QString LinesFromCrLf(const std::string &text)
{
    QString lines = QString::fromStdString(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

namespace {

// The longest run word wrap is left with. Such a run costs Qt about its
// length for each line it fills, so below this bound word wrap stays linear in
// the text.
constexpr qsizetype kLongestWrappedRun = 200;

bool hasLongRun(const QString &text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c == u' ' || c == u'\t' ? 0 : run + 1;
        if (run > kLongestWrappedRun)
            return true;
    }
    return false;
}

void wrapAnywhere(QPlainTextEdit &edit, bool anywhere)
{
    const auto mode
        = anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    // Each change of mode lays the whole text out again.
    if (edit.wordWrapMode() != mode)
        edit.setWordWrapMode(mode);
}

// New text for the whole field decides afresh; other new text can only call
// for wrapping anywhere. A removal alone (setPlainText starts with one)
// decides nothing.
void followChange(QPlainTextEdit &edit, int from, int added)
{
    QTextDocument &document = *edit.document();
    const bool whole = from == 0 && added >= document.characterCount() - 1;
    if (added == 0 || (!whole && edit.wordWrapMode() == QTextOption::WrapAnywhere))
        return;
    bool anywhere = false;
    const QTextBlock last = document.findBlock(from + added);
    for (QTextBlock block = document.findBlock(from); block.isValid() && !anywhere;
         block = block.next()) {
        anywhere = hasLongRun(block.text());
        if (block == last)
            break;
    }
    if (anywhere || whole)
        wrapAnywhere(edit, anywhere);
}

} // namespace

void WrapLongRunsAnywhere(QPlainTextEdit &edit)
{
    // Told before the layout sees the change, so typed or pasted text is never
    // laid out the slow way.
    QObject::connect(edit.document(), &QTextDocument::contentsChange, &edit,
                     [&edit](int from, int, int added) { followChange(edit, from, added); });
}

void SetLines(QPlainTextEdit &edit, const QString &lines)
{
    // Chosen before the text arrives, which is then laid out once.
    wrapAnywhere(edit, hasLongRun(lines));
    edit.setPlainText(lines);
}

} // namespace pellwick
