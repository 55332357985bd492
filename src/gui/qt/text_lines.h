#pragma once

#include <string>

class QPlainTextEdit;

namespace pellwick {

// The widget's text with its lines joined by CRLF, whatever separator the
// widget keeps inside (paragraphs, soft line breaks): mail and the settings
// store both want CRLF.
std::string PlainTextWithCrLf(const QPlainTextEdit &edit);
// Replaces the widget's text; CRLF, lone CR and lone LF all start a new line.
void SetPlainTextFromCrLf(QPlainTextEdit &edit, const std::string &text);

} // namespace pellwick
