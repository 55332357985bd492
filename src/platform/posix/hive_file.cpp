// SPDX-License-Identifier: MIT
#include "platform/posix/hive_file.h"

#include "core/settings/hive_text.h"
#include "platform/posix/durable_file.h"
#include "platform/posix/file_descriptor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iostream>

namespace pellwick {

namespace {

constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
constexpr const char *kNotAHive = "it is not a registry export file";

auto stampOf(const struct stat &info)
{
    return std::tuple(info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec,
                      info.st_mtim.tv_nsec, info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
}

// Waits for the exclusive lock on the lock file, opened as it is or made new but
// never through a link (twice, should another process make it in between).
std::string lock(const std::string &lockFile, FileDescriptor &fd)
{
    for (int attempt = 0; attempt < 2 && fd.get() < 0; ++attempt) {
        fd.reset(::open(lockFile.c_str(), O_RDWR | kOpenFlags));
        if (fd.get() < 0 && errno == ENOENT)
            fd.reset(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0600));
        if (fd.get() < 0 && errno != EEXIST && errno != ENOENT)
            break;
    }
    const std::string what = "the lock file " + lockFile;
    if (fd.get() < 0)
        return errno == ELOOP ? what + " is a symbolic link" : ErrnoFailure(what);
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return what + " is not the user's own regular file";
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return ErrnoFailure(what);
    }
    return {};
}

// Removes what writes of the hive killed before their rename left. Only under the
// lock, so that none is a write going on; other names and others' files stay.
void removeStaleTemporaries(const std::filesystem::path &file)
{
    const std::string prefix = file.filename().string() + std::string(kTemporaryInfix);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(file.parent_path() / ".", error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        struct stat info = {};
        // mkostemp puts six letters or digits in place of "XXXXXX".
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix)
            && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                           [](unsigned char c) { return std::isalnum(c) != 0; })
            && ::lstat(entry->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)
            && info.st_uid == ::geteuid())
            ::unlink(entry->path().c_str());
    }
}

} // namespace

HiveFile::HiveFile(std::filesystem::path file, std::string_view keyPath, Report report)
    : m_file(std::move(file))
    , m_section("HKEY_LOCAL_MACHINE\\" + std::string(keyPath))
    , m_report(report ? std::move(report)
                      : [](const std::string &line) { std::cerr << line << '\n'; })
{
}

std::string HiveFile::read(std::string &content, Stamp &stamp) const
{
    content.clear();
    const std::string tooLarge = "it is larger than " + std::to_string(kMaxHiveSize) + " bytes";
    const auto refused = [&tooLarge](const struct stat &info) {
        if (!S_ISREG(info.st_mode))
            return std::string("it is not a regular file");
        if (info.st_uid != ::geteuid())
            return std::string("it belongs to another user");
        return static_cast<std::size_t>(info.st_size) > kMaxHiveSize ? tooLarge : std::string();
    };
    // Looked at before opening, so that no device is ever opened; non-blocking, so
    // that a FIFO swapped in after the look cannot hold the program.
    struct stat info = {};
    if (::stat(m_file.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::string() : ErrnoFailure();
    if (!refused(info).empty())
        return refused(info);
    // Others who may write in the folder could have put any file there.
    if (std::string folder = ForeignFolder(m_file.parent_path()); !folder.empty())
        return folder;
    const FileDescriptor fd(::open(m_file.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return ErrnoFailure();
    if (!refused(info).empty())
        return refused(info);
    stamp = stampOf(info);
    // One byte more than the limit tells a file that grew since it was looked at.
    if (std::string failure = ReadAtMost(fd.get(), kMaxHiveSize + 1, content); !failure.empty())
        return failure;
    return content.size() > kMaxHiveSize ? tooLarge : std::string();
}

void HiveFile::refresh()
{
    // What a killed writer left goes at the first look, when no writer is at work.
    struct stat info = {};
    if (!std::exchange(m_tidied, true)) {
        const FileDescriptor fd(::open((m_file.string() + ".lock").c_str(), O_RDWR | kOpenFlags));
        if (fd.get() >= 0 && ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode)
            && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0
            && PrepareOwnFolder(m_file.parent_path()).empty())
            removeStaleTemporaries(m_file);
    }
    const bool exists = ::stat(m_file.c_str(), &info) == 0;
    if (exists && m_stamp == stampOf(info))
        return;
    m_stamp = exists ? std::optional(stampOf(info)) : std::nullopt;
    m_hive = HiveDocument {};
    std::string content;
    m_problem = exists ? read(content, *m_stamp) : "";
    if (exists && m_problem.empty()) {
        if (auto parsed = ParseHive(content))
            m_hive = std::move(*parsed);
        else
            m_problem = kNotAHive;
    }
}

std::string HiveFile::Unreadable()
{
    if (m_pending.empty())
        refresh();
    return m_problem.empty()
               ? ""
               : "cannot read the settings file " + m_file.string() + ": " + m_problem;
}

std::optional<StoredValue> HiveFile::Read(const std::string &name)
{
    // Uncommitted writes work on the file as it was at the first of them.
    if (m_pending.empty())
        refresh();
    const HiveValue *value = m_hive.FindValue(m_section, name);
    return value ? std::optional(StoredValue {value->type, value->data}) : std::nullopt;
}

bool HiveFile::apply(HiveDocument &hive, const Edit &edit) const
{
    const auto &[name, value] = edit;
    return value ? hive.SetValue(m_section, name, value->type, value->bytes)
                 : hive.DeleteValue(m_section, name);
}

void HiveFile::Write(const std::string &name, std::optional<StoredValue> value)
{
    if (m_pending.empty())
        refresh();
    m_pending.emplace_back(name, std::move(value));
    apply(m_hive, m_pending.back());
}

std::string HiveFile::Commit()
{
    const std::vector<Edit> edits = std::exchange(m_pending, {});
    std::string failure = edits.empty() ? "" : write(edits);
    if (failure.empty())
        return {};
    // The changes live only in memory now; the next read looks at the file.
    m_stamp.reset();
    failure = "pellwick: cannot save the settings to " + m_file.string() + ": " + failure;
    m_report(failure);
    return failure;
}

std::string HiveFile::write(const std::vector<Edit> &edits)
{
    for (const auto &[name, value] : edits) {
        // The file's line format could not hold such a name.
        if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos)
            return "a value name holds a line break";
    }
    if (std::string folder = PrepareOwnFolder(m_file.parent_path()); !folder.empty())
        return folder;
    FileDescriptor held;
    if (std::string locked = lock(m_file.string() + ".lock", held); !locked.empty())
        return locked;
    // A writer killed before its rename leaves its temporary file; each would stay.
    removeStaleTemporaries(m_file);

    std::string content;
    Stamp stamp;
    auto parsed = read(content, stamp).empty() ? ParseHive(content) : std::nullopt;
    HiveDocument hive = parsed ? std::move(*parsed) : HiveDocument {};
    bool changed = false;
    for (const Edit &edit : edits)
        changed = apply(hive, edit) || changed;
    if (changed) {
        // A file that could not be read stays beside the new one under a name of
        // its own, an earlier one kept so not overwritten; linked, not moved, so
        // that a crash before the new file is in place leaves it where it was.
        std::error_code error;
        const bool present = exists(m_file, error) || is_symlink(m_file, error);
        std::filesystem::path kept = m_file.string() + ".corrupt";
        for (int n = 2; !parsed && present && (exists(kept, error) || is_symlink(kept, error)); ++n)
            kept = m_file.string() + ".corrupt." + std::to_string(n);
        if (!parsed && present && ::link(m_file.c_str(), kept.c_str()) != 0)
            return ErrnoFailure("cannot keep the unreadable settings file as " + kept.string());
        if (std::string failure = ReplaceFileDurably(m_file, FormatHive(hive), 0600);
            !failure.empty())
            return failure;
    }
    // What was just read or written is what the file holds now.
    struct stat info = {};
    if (changed || parsed) {
        m_stamp = ::stat(m_file.c_str(), &info) == 0 ? std::optional(stampOf(info)) : std::nullopt;
        m_hive = std::move(hive);
        m_problem.clear();
    }
    return {};
}

} // namespace pellwick
