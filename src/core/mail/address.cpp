// SPDX-License-Identifier: MIT
#include "core/mail/address.h"

#include "core/mail/message.h"

#include <algorithm>
#include <string_view>

namespace pellwick {

namespace {

// Characters an address or an unquoted name may not hold: they mean something
// to mail syntax, or end the text.
constexpr std::string_view kAddressSpecials = "<>()[]\\,;:\" \t@";
constexpr std::string_view kNameSpecials = "<>[]\\,;:@\"";

bool isAddress(std::string_view address)
{
    const std::size_t at = address.rfind('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == address.size())
        return false;
    const std::string_view local = address.substr(0, at);
    const std::string_view domain = address.substr(at + 1);
    const bool literal = domain.size() > 2 && domain.front() == '[' && domain.back() == ']'
                         && domain.find_first_of(" \t[]", 1) == domain.size() - 1;
    return local.find_first_of(kAddressSpecials) == std::string_view::npos
           && (literal || domain.find_first_of(kAddressSpecials) == std::string_view::npos);
}

// A display name: words, or a quoted text whose quotes and backslashes are escaped.
bool isName(std::string_view name)
{
    if (name.size() < 2 || name.front() != '"' || name.back() != '"')
        return name.find_first_of(kNameSpecials) == std::string_view::npos;
    std::size_t i = 1;
    for (; i + 1 < name.size(); ++i) {
        if (name[i] == '\\')
            ++i;
        else if (name[i] == '"')
            return false;
    }
    // An escape must not swallow the closing quote.
    return i == name.size() - 1;
}

bool isMailbox(const std::string &field)
{
    const std::string text = TrimSpaces(RemoveLineBreaks(field));
    const std::size_t open = text.find('<');
    if (open == std::string::npos)
        return isAddress(text);
    return text.back() == '>' && text.find('<', open + 1) == std::string::npos
           && isName(TrimSpaces(text.substr(0, open)))
           && isAddress(std::string_view(text).substr(open + 1, text.size() - open - 2));
}

} // namespace

std::string SenderProblem(const std::string &field)
{
    return isMailbox(field)
               ? ""
               : "The sender \"" + RemoveLineBreaks(field) + "\" is not an email address.";
}

std::string RecipientsProblem(const std::string &field)
{
    const std::vector<std::string> recipients = SplitRecipients(field);
    if (recipients.size() == 1 && recipients.front().empty())
        return "No recipient is set.";
    const auto wrong = std::ranges::find_if_not(recipients, isMailbox);
    return wrong == recipients.end() ? ""
                                     : "The recipient \"" + *wrong + "\" is not an email address.";
}

} // namespace pellwick
