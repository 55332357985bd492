// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace pellwick {

// Why the sender field, once its line breaks and NULs are gone, is not one
// address ("local@domain", "<local@domain>" or "Name <local@domain>"); empty
// when it is. Text glued to an address or a bracket left open could otherwise
// turn into other commands or other recipients on the wire.
std::string SenderProblem(const std::string &field);

// The same for the recipient field: one or more addresses split at ";" and
// ",", at least one of them.
std::string RecipientsProblem(const std::string &field);

} // namespace pellwick
