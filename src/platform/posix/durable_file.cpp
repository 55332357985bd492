// SPDX-License-Identifier: MIT
#include "platform/posix/durable_file.h"

#include "platform/posix/file_descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace pellwick {

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return false;
        bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
    return true;
}

// Creates the folder and its missing parents, each its owner's alone; errno tells
// why not.
bool createFolders(const std::filesystem::path &folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    const std::filesystem::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !createFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), S_IRWXU) == 0 || errno == EEXIST;
}

} // namespace

std::string ErrnoFailure(const std::string &what)
{
    const std::string cause = std::generic_category().message(errno);
    return what.empty() ? cause : what + ": " + cause;
}

std::string ReadAtMost(int fd, std::size_t limit, std::string &content)
{
    content.clear();
    char chunk[16384];
    while (content.size() < limit) {
        const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, limit - content.size()));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            return ErrnoFailure();
        content.append(chunk, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return {};
}

std::string ForeignFolder(const std::filesystem::path &folder)
{
    const std::filesystem::path own = folder.empty() ? std::filesystem::path(".") : folder;
    struct stat info = {};
    if (::stat(own.c_str(), &info) != 0)
        return ErrnoFailure(own.string());
    if (!S_ISDIR(info.st_mode))
        return own.string() + " is not a folder";
    if (info.st_uid != ::geteuid())
        return "the folder " + own.string() + " belongs to another user";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "other users may write in the folder " + own.string();
    return {};
}

std::string PrepareOwnFolder(const std::filesystem::path &folder)
{
    const std::filesystem::path own = folder.empty() ? std::filesystem::path(".") : folder;
    if (!createFolders(own))
        return ErrnoFailure("cannot create the folder " + own.string());
    return ForeignFolder(own);
}

std::string ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                               mode_t mode)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string name
        = (folder / (target.filename().string() + std::string(kTemporaryInfix) + "XXXXXX"))
              .string();
    // mkostemp creates the file new (O_EXCL), so a link planted under its name is
    // never followed.
    const int fd = ::mkostemp(name.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return ErrnoFailure();
    std::string result;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, content) || ::fsync(fd) != 0)
        result = ErrnoFailure();
    if (::close(fd) != 0 && result.empty())
        result = ErrnoFailure();
    if (result.empty() && ::rename(name.c_str(), target.c_str()) != 0)
        result = ErrnoFailure();
    if (!result.empty()) {
        ::unlink(name.c_str());
        return result;
    }
    // The rename itself reaches the disk only with its folder. A folder that cannot
    // be flushed still holds the new file, so that is not a failed write.
    const FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return {};
}

} // namespace pellwick
