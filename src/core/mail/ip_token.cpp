#include "core/mail/ip_token.h"

namespace pellwick {

std::string ReplaceIpToken(const std::string &text, const std::string &ip)
{
    const std::string token = kIpToken;
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, from)) {
        result.append(text, from, at - from);
        result += ip;
        from = at + token.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::u16string InsertTokenAtCaret(const std::u16string &text, std::size_t caret,
                                  const std::u16string &selected)
{
    std::u16string result = text;
    if (!selected.empty()) {
        const std::size_t at = result.find(selected);
        if (at != std::u16string::npos)
            result.erase(at, selected.size());
    }
    const std::string ascii = kIpToken;
    const std::u16string token(ascii.begin(), ascii.end());
    if (caret >= result.size())
        result += token;
    else
        result.insert(caret, token);
    return result;
}

} // namespace pellwick
