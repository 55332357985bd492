#include "platform/posix/durable_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <system_error>

namespace pellwick {

namespace {

constexpr std::size_t kUniqueLength = 6; // the letters mkostemp puts in for "XXXXXX"

// The failure errno stands for, in the system's words.
std::string failure(const std::string &what = {})
{
    const std::string cause = std::generic_category().message(errno);
    return what.empty() ? cause : what + ": " + cause;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path &file)
{
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

FileStamp stampOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

std::string tooLarge(std::size_t limit)
{
    return "it is larger than " + std::to_string(limit) + " bytes";
}

std::string refuseUnlessSmallRegular(const struct stat &info, std::size_t limit)
{
    if (!S_ISREG(info.st_mode))
        return "it is not a regular file";
    if (static_cast<std::uintmax_t>(info.st_size) > limit)
        return tooLarge(limit);
    return {};
}

// Creates the folder and its missing parents, each readable by its owner alone;
// false with errno set when one cannot be made.
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

bool FileStamp::operator==(const FileStamp &other) const
{
    const auto same = [](const timespec &a, const timespec &b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return device == other.device && inode == other.inode && size == other.size
           && same(modified, other.modified) && same(changed, other.changed);
}

bool StampOf(const std::filesystem::path &file, FileStamp &stamp)
{
    struct stat info
    {
    };
    if (::stat(file.c_str(), &info) != 0)
        return false;
    stamp = stampOf(info);
    return true;
}

std::string ReadRegularFile(const std::filesystem::path &file, std::size_t limit,
                            std::string &content, FileStamp &stamp)
{
    content.clear();
    // Looked at before opening, so that no device is ever opened.
    struct stat info
    {
    };
    if (::stat(file.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::string() : failure();
    if (std::string refused = refuseUnlessSmallRegular(info, limit); !refused.empty())
        return refused;
    // Non-blocking: a FIFO swapped in after the look must not hold the program.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure();
    std::string result
        = ::fstat(fd, &info) != 0 ? failure() : refuseUnlessSmallRegular(info, limit);
    stamp = stampOf(info);
    // One byte more than seen tells a file that grew since its size was looked at.
    content.resize(std::min(static_cast<std::size_t>(info.st_size), limit) + 1);
    std::size_t got = 0;
    while (result.empty() && got <= limit) {
        if (got == content.size())
            content.resize(std::min(content.size() * 2, limit + 1));
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            result = failure();
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ::close(fd);
    content.resize(result.empty() ? got : 0);
    return got > limit ? tooLarge(limit) : result;
}

std::string PrepareOwnFolder(const std::filesystem::path &folder)
{
    const std::filesystem::path own = folder.empty() ? std::filesystem::path(".") : folder;
    if (!createFolders(own))
        return failure("cannot create the folder " + own.string());
    struct stat info
    {
    };
    if (::stat(own.c_str(), &info) != 0)
        return failure(own.string());
    if (!S_ISDIR(info.st_mode))
        return own.string() + " is not a folder";
    if (info.st_uid != ::geteuid())
        return "the folder " + own.string() + " belongs to another user";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "other users may write in the folder " + own.string();
    return {};
}

std::string TemporaryPrefix(const std::filesystem::path &target)
{
    return target.filename().string() + ".tmp-";
}

std::string ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                               mode_t mode)
{
    std::string name = (folderOf(target) / (TemporaryPrefix(target) + "XXXXXX")).string();
    // mkostemp creates the file new (O_EXCL), so a link planted under its name is
    // never followed.
    const int fd = ::mkostemp(name.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return failure();
    std::string result;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, content) || ::fsync(fd) != 0)
        result = failure();
    if (::close(fd) != 0 && result.empty())
        result = failure();
    if (result.empty() && ::rename(name.c_str(), target.c_str()) != 0)
        result = failure();
    if (!result.empty()) {
        ::unlink(name.c_str());
        return result;
    }
    // The rename itself reaches the disk only with its folder. A folder that cannot
    // be flushed still holds the new file, so that is not a failed write.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

void RemoveStaleTemporaries(const std::filesystem::path &target)
{
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folderOf(target), error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() != prefix.size() + kUniqueLength || !name.starts_with(prefix)
            || !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                            [](unsigned char c) { return std::isalnum(c) != 0; }))
            continue;
        struct stat info
        {
        };
        if (::lstat(entry->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)
            && info.st_uid == ::geteuid())
            ::unlink(entry->path().c_str());
    }
}

void RemoveStaleTemporariesIfIdle(const std::filesystem::path &target,
                                  const std::filesystem::path &lockFile)
{
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && PrepareOwnFolder(target.parent_path()).empty())
        RemoveStaleTemporaries(target);
    ::close(fd);
}

FileLock::FileLock(const std::filesystem::path &lockFile)
{
    const std::string what = "the lock file " + lockFile.string();
    // Opened as it is or made new, never through a link; a second try covers
    // another process making it in between.
    for (int attempt = 0; attempt < 2 && m_fd < 0; ++attempt) {
        m_fd = ::open(lockFile.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0 && errno == ENOENT)
            m_fd = ::open(lockFile.c_str(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
        if (m_fd < 0 && errno != EEXIST && errno != ENOENT)
            break;
    }
    if (m_fd < 0) {
        m_failure = errno == ELOOP ? what + " is a symbolic link" : failure(what);
        return;
    }
    struct stat info
    {
    };
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        m_failure = what + " is not the user's own regular file";
    } else {
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_failure = failure(what);
                break;
            }
        }
    }
    if (!m_failure.empty()) {
        ::close(m_fd);
        m_fd = -1;
    }
}

FileLock::~FileLock()
{
    // Closing the descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace pellwick
