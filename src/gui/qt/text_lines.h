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

} // namespace pellwick
