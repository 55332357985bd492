// SPDX-License-Identifier: MIT
#include "gui/qt/text_lines.h"

#include <QFont>
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

// The longest paragraph shaped as fonts ask (kerning, ligatures, scripts that
// join); a longer one costs more to shape than to lay out.
constexpr qsizetype kLongestShapedParagraph = 1 << 16;

// What a text asks of the layout: wrapping anywhere for a long run without a
// blank, drawing glyph by glyph for that or a very long paragraph.
struct Heavy
{
    bool run = false;
    bool paragraph = false;
};

Heavy heavyParts(const QString &text)
{
    Heavy heavy;
    qsizetype run = 0;
    qsizetype paragraph = 0;
    for (const QChar c : text) {
        run = c == u' ' || c == u'\t' || c == u'\n' ? 0 : run + 1;
        paragraph = c == u'\n' || c == QChar::ParagraphSeparator ? 0 : paragraph + 1;
        heavy.run = heavy.run || run > kLongestWrappedRun;
        heavy.paragraph = heavy.paragraph || paragraph > kLongestShapedParagraph;
        if (heavy.run && heavy.paragraph)
            break;
    }
    return heavy;
}

void wrapAnywhere(QPlainTextEdit &edit, Heavy heavy)
{
    const auto mode
        = heavy.run ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    const auto strategy
        = heavy.run || heavy.paragraph ? QFont::PreferNoShaping : QFont::PreferDefault;
    QFont font = edit.document()->defaultFont();
    // Each change lays the whole text out again.
    if (font.styleStrategy() != strategy) {
        font.setStyleStrategy(strategy);
        edit.document()->setDefaultFont(font);
    }
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
    const bool heavyAlready = edit.wordWrapMode() == QTextOption::WrapAnywhere
                              && document.defaultFont().styleStrategy() == QFont::PreferNoShaping;
    if (added == 0 || (!whole && heavyAlready))
        return;
    Heavy heavy;
    const QTextBlock last = document.findBlock(from + added);
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        const Heavy part = heavyParts(block.text());
        heavy = {heavy.run || part.run, heavy.paragraph || part.paragraph};
        if (block == last)
            break;
    }
    if (whole) {
        wrapAnywhere(edit, heavy);
    } else if (heavy.run || heavy.paragraph) {
        // Other new text only ever asks for more.
        const bool run = edit.wordWrapMode() == QTextOption::WrapAnywhere;
        const bool paragraph = document.defaultFont().styleStrategy() == QFont::PreferNoShaping;
        wrapAnywhere(edit, {heavy.run || run, heavy.paragraph || paragraph});
    }
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
    wrapAnywhere(edit, heavyParts(lines));
    edit.setPlainText(lines);
}

} // namespace pellwick
