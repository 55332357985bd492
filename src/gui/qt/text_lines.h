// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string>

class QPlainTextEdit;

namespace pellwick {

// The widget's text with its lines joined by CRLF, whatever separator the
// widget keeps inside (paragraphs, soft line breaks): mail and the settings
// store both want CRLF.
std::string PlainTextWithCrLf(const QPlainTextEdit &edit);
// `text` with CRLF, lone CR and lone LF all made the widget's line break.
QString LinesFromCrLf(const std::string &text);
// Has `edit` wrap its lines anywhere, not only at blanks, from the moment its
// text holds a long run without a blank. Qt's word wrap lays such a run out
// whole again for every line it fills: a line of a megabyte took minutes, the
// event loop stopped the while. The text set whole decides afresh.
void WrapLongRunsAnywhere(QPlainTextEdit &edit);
// Puts `lines` into `edit`, wrapped as above.
void SetLines(QPlainTextEdit &edit, const QString &lines);

} // namespace pellwick
