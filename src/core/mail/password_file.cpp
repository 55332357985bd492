// SPDX-License-Identifier: MIT
#include "core/mail/password_file.h"

namespace pellwick {

PasswordLookup PasswordFromFile(const std::string &path, const PrivateFileReader &read)
{
    const PrivateFile file = read(path);
    const std::string refused = "Password file " + path + " refused: ";
    switch (file.status) {
    case PrivateFile::Status::Read:
        break;
    case PrivateFile::Status::OpenToOthers:
        return {std::nullopt,
                refused + "others than its owner may read or change it (chmod 600 " + path + ")"};
    case PrivateFile::Status::NotOwned:
        return {std::nullopt, refused + "it belongs to another user"};
    case PrivateFile::Status::TooLarge:
        return {std::nullopt, refused + "it is too large to hold a password"};
    case PrivateFile::Status::Unreadable:
        return {std::nullopt, "Password file " + path + " could not be read: " + file.detail};
    }
    const std::size_t end = file.content.find_first_of("\r\n");
    return {file.content.substr(0, end), {}};
}

} // namespace pellwick
