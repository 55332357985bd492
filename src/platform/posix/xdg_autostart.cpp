// SPDX-License-Identifier: MIT
#include "platform/posix/xdg_autostart.h"

#include "platform/posix/durable_file.h"
#include "platform/posix/file_descriptor.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <system_error>
#include <utility>

namespace pellwick {

namespace {

constexpr std::string_view kPlain
    = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+";
// What a desktop-file string escapes, and the letter each becomes after "\".
constexpr std::string_view kEscaped = "\\\n\r\t";
constexpr std::string_view kEscapeLetters = "\\nrt";

// A desktop-file string: what it cannot hold as it is, escaped.
std::string desktopString(const std::string &text)
{
    std::string escaped;
    for (const char c : text) {
        if (const std::size_t at = kEscaped.find(c); at != std::string_view::npos)
            escaped.append(1, '\\').append(1, kEscapeLetters[at]);
        else
            escaped += c;
    }
    return escaped;
}

// One argument of an Exec= line: as it is when it holds only plain characters;
// otherwise quoted, with the characters that stay special inside quotes escaped
// and "%" doubled so it is not taken for a field code, then made a desktop-file
// string.
std::string execArgument(const std::string &argument)
{
    if (!argument.empty() && argument.find_first_not_of(kPlain) == std::string::npos)
        return argument;
    std::string quoted = "\"";
    for (const char c : argument) {
        if (std::string_view("\"`$\\").find(c) != std::string_view::npos)
            quoted += '\\';
        quoted.append(c == '%' ? 2 : 1, c);
    }
    return desktopString(quoted + '"');
}

// The regular file holds exactly `content` (read no further than one byte past
// it; anything but a regular file is never opened, so nothing can block).
bool sameContent(const std::filesystem::path &file, const std::string &content)
{
    std::error_code error;
    if (std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::regular)
        return false;
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    std::string held;
    return fd.get() >= 0 && ReadAtMost(fd.get(), content.size() + 1, held).empty()
           && held == content;
}

std::filesystem::path homeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return "/";
}

} // namespace

XdgAutostart::XdgAutostart(std::filesystem::path configHome, std::string programPath)
    : m_configHome(std::move(configHome))
    , m_programPath(std::move(programPath))
{
}

std::filesystem::path XdgAutostart::EntryFile() const
{
    return m_configHome / "autostart" / "pellwick.desktop";
}

std::string XdgAutostart::Entry(const std::string &programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pellwick\n"
           "Comment=Mails this machine's local IP address\n"
           "Exec="
           + execArgument(programPath)
           + " /s\n"
             // A desktop starts nothing once the program is gone (a package
             // removed leaves each user's entry behind).
             "TryExec="
           + desktopString(programPath)
           + "\n"
             "Icon=pellwick\n"
             "Terminal=false\n"
             "X-GNOME-Autostart-enabled=true\n";
}

void XdgAutostart::Register()
{
    const std::filesystem::path file = EntryFile();
    // Like the settings, the entry's failures go unreported: the window says nothing
    // about the log-in entry.
    const std::string entry = Entry(m_programPath);
    // Every start registers: an entry that already reads the same is left
    // alone, which spares a log-in run the durable write's syncs.
    if (sameContent(file, entry))
        return;
    if (!PrepareOwnFolder(file.parent_path()).empty())
        return;
    ReplaceFileDurably(file, entry, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
}

void XdgAutostart::Unregister()
{
    std::error_code ignored;
    std::filesystem::remove(EntryFile(), ignored);
}

std::filesystem::path XdgConfigHome()
{
    // A relative value is invalid by the XDG rules and must be ignored.
    if (const char *configured = std::getenv("XDG_CONFIG_HOME"); configured && *configured == '/')
        return configured;
    return homeFolder() / ".config";
}

std::filesystem::path DefaultHivePath()
{
    return XdgConfigHome() / "pellwick" / "registry.reg";
}

std::string LoginProgram(const std::filesystem::path &programPath, const std::string &searchPath)
{
    const std::filesystem::path name = programPath.filename();
    std::istringstream folders(searchPath);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        // Empty and relative entries mean the folder a session happens to start in.
        if (!std::filesystem::path(folder).is_absolute())
            continue;
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error)
            || ::access(candidate.c_str(), X_OK) != 0)
            continue;
        // The first match is what a search by name would start.
        if (std::filesystem::equivalent(candidate, programPath, error))
            return name.string();
        break;
    }
    return programPath.string();
}

} // namespace pellwick
