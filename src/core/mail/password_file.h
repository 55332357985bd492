// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/password_store.h"

#include <functional>
#include <optional>
#include <string>

namespace pellwick {

// A file read only if nobody but its owner may read it (the platform checks).
struct PrivateFile
{
    enum class Status {
        Read,
        Unreadable, // missing, no permission, not a regular file...: see detail
        OpenToOthers, // group or others may read or write it
        NotOwned, // it belongs to another user
        TooLarge,
    };
    Status status = Status::Unreadable;
    std::string content;
    std::string detail;
};

using PrivateFileReader = std::function<PrivateFile(const std::string &path)>;

// The password in the file: its first line, without the line ending. A file
// others may read, or that is not the user's own, is refused with a message
// saying what to do.
PasswordLookup PasswordFromFile(const std::string &path, const PrivateFileReader &read);

} // namespace pellwick
