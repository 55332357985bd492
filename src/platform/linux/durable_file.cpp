#include "platform/durable_file.h"

#include "core/settings/registry_types.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace pellwick {

namespace {

std::int32_t statusOf(int error, std::int32_t otherwise)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kErrorAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kErrorDiskFull;
    case ENOMEM:
        return kErrorNotEnoughMemory;
    default:
        return otherwise;
    }
}

void closeKeepingErrno(int fd)
{
    const int saved = errno;
    ::close(fd);
    errno = saved;
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

} // namespace

std::int32_t ReadWholeFile(const std::filesystem::path &file, std::string &content)
{
    content.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return statusOf(errno, kErrorReadFault);
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const std::int32_t status = statusOf(errno, kErrorReadFault);
            ::close(fd);
            return status;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return kErrorSuccess;
}

std::int32_t CreatePrivateFolder(const std::filesystem::path &folder)
{
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error))
        return kErrorSuccess;
    const std::filesystem::path parent = folder.parent_path();
    if (parent != folder) {
        if (const std::int32_t status = CreatePrivateFolder(parent); status != kErrorSuccess)
            return status;
    }
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return statusOf(errno, kErrorWriteFault);
    return kErrorSuccess;
}

std::int32_t ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                                std::filesystem::perms mode, const BeforeReplace &beforeReplace)
{
    const std::string pattern = target.string() + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return statusOf(errno, kErrorWriteFault);
    const std::filesystem::path temporary(name.data());
    const auto fail = [&temporary](std::int32_t status) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return status;
    };

    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (::fchmod(fd, static_cast<mode_t>(mode)) != 0 || !writeAll(fd, content)
        || ::fsync(fd) != 0) {
        const std::int32_t status = statusOf(errno, kErrorWriteFault);
        closeKeepingErrno(fd);
        return fail(status);
    }
    if (::close(fd) != 0)
        return fail(statusOf(errno, kErrorWriteFault));
    if (beforeReplace && !beforeReplace(temporary))
        return fail(kErrorWriteFault);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(statusOf(errno, kErrorWriteFault));

    // The rename itself reaches the disk only with its folder. A folder that cannot
    // be flushed still holds the new file, so that is not a failed write.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return kErrorSuccess;
}

FileLock::FileLock(const std::filesystem::path &lockFile)
    : m_handle(-1)
    , m_status(kErrorSuccess)
{
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        m_status = statusOf(errno, kErrorAccessDenied);
        return;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_status = statusOf(errno, kErrorAccessDenied);
            ::close(fd);
            return;
        }
    }
    m_handle = fd;
}

FileLock::~FileLock()
{
    // Closing the descriptor releases the lock.
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

} // namespace pellwick
