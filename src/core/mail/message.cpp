#include "core/mail/message.h"

#include "core/text/text.h"

namespace pellwick {

namespace {

constexpr const char *kCrLf = "\r\n";

} // namespace

std::string TrimSpaces(const std::string &text)
{
    return std::string(Trim(text));
}

std::string RemoveLineBreaks(const std::string &text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '\r' && c != '\n' && c != '\0')
            result += c;
    }
    return result;
}

std::string HeloArgument(const std::string &sender)
{
    const std::string trimmed = TrimSpaces(RemoveLineBreaks(sender));
    const std::string local = trimmed.substr(0, trimmed.find('@'));
    return local.empty() ? std::string("localhost") : local;
}

std::string EnvelopeAddress(const std::string &address)
{
    const std::string trimmed = TrimSpaces(RemoveLineBreaks(address));
    const std::size_t open = trimmed.find('<');
    if (open != std::string::npos) {
        const std::size_t close = trimmed.find('>', open);
        if (close != std::string::npos)
            return trimmed.substr(open, close - open + 1);
    }
    return "<" + trimmed + ">";
}

std::vector<std::string> SplitRecipients(const std::string &field)
{
    std::vector<std::string> addresses;
    std::string piece;
    auto flush = [&] {
        std::string trimmed = TrimSpaces(piece);
        if (!trimmed.empty())
            addresses.push_back(std::move(trimmed));
        piece.clear();
    };
    for (const char c : RemoveLineBreaks(field)) {
        if (c == ';' || c == ',')
            flush();
        else
            piece += c;
    }
    flush();
    if (addresses.empty())
        addresses.emplace_back();
    return addresses;
}

std::string HeaderBlock(const std::string &sender, const std::string &date,
                        const std::string &mailer, const std::string &recipient,
                        const std::string &subject)
{
    std::string block;
    block += "From: " + RemoveLineBreaks(sender) + kCrLf;
    block += "Date: " + date + kCrLf;
    block += "X-Mailer: " + RemoveLineBreaks(mailer) + kCrLf;
    block += "To: " + RemoveLineBreaks(recipient) + kCrLf;
    block += "Subject: " + RemoveLineBreaks(subject) + kCrLf;
    block += kCrLf;
    return block;
}

std::vector<std::string> BodyLines(const std::string &body)
{
    std::vector<std::string> lines;
    if (body.empty())
        return lines;
    std::string line;
    auto emit = [&] {
        // A line starting with "." gets a second one, so that no body line can
        // read as the end of the data.
        lines.push_back((line.starts_with('.') ? "." : "") + line + kCrLf);
        line.clear();
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r') {
            if (i + 1 < body.size() && body[i + 1] == '\n')
                ++i;
            emit();
        } else if (c == '\n') {
            emit();
        } else {
            line += c;
        }
    }
    emit();
    return lines;
}

} // namespace pellwick
