// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/posix/durable_file.h"
#include "platform/posix/file_descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellwick {

namespace {

constexpr off_t kMaxSize = 64 * 1024;

PrivateFile unreadable(std::string detail)
{
    return {PrivateFile::Status::Unreadable, {}, std::move(detail)};
}

} // namespace

PrivateFile ReadPrivateFile(const std::string &path)
{
    // The checks are made on the file that was opened, not on the name, so the
    // file cannot be swapped between check and read.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return unreadable(ErrnoFailure());
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0)
        return unreadable(ErrnoFailure());
    if (!S_ISREG(info.st_mode))
        return unreadable("not a regular file");
    if (info.st_uid != ::geteuid())
        return {PrivateFile::Status::NotOwned, {}, {}};
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return {PrivateFile::Status::OpenToOthers, {}, {}};
    if (info.st_size > kMaxSize)
        return {PrivateFile::Status::TooLarge, {}, {}};

    std::string content;
    if (std::string failure = ReadAtMost(fd.get(), static_cast<std::size_t>(info.st_size), content);
        !failure.empty())
        return unreadable(failure);
    return {PrivateFile::Status::Read, std::move(content), {}};
}

} // namespace pellwick
