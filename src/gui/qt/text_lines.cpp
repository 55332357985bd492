// SPDX-License-Identifier: MIT
#include "gui/qt/text_lines.h"

#include <QPlainTextEdit>
#include <QString>

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

} // namespace pellwick
