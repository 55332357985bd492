#include "core/mail/password_file.h"

namespace pellwick {

namespace {

constexpr const char *kOption = "--password-file";

} // namespace

std::optional<std::string> PasswordFileArgument(const std::vector<std::string> &arguments)
{
    const std::string withValue = std::string(kOption) + "=";
    std::optional<std::string> path;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kOption && i + 1 < arguments.size())
            path = arguments[++i];
        else if (arguments[i].starts_with(withValue))
            path = arguments[i].substr(withValue.size());
    }
    return path;
}

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
