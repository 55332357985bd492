#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace pellwick {

// File steps that must survive a crash, a second process and a hostile folder.
// A step gives the empty text when it went well, else its cause in words.

// One version of a file: a file replaced or changed in place stamps differently.
struct FileStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {};

    bool operator==(const FileStamp &other) const;
};

// The stamp of the file that `file` names now; false when there is none.
bool StampOf(const std::filesystem::path &file, FileStamp &stamp);

// The whole content of a regular file of at most `limit` bytes, and its stamp;
// a missing file is empty. Never waits: a FIFO, a device or a larger file is
// refused unread.
std::string ReadRegularFile(const std::filesystem::path &file, std::size_t limit,
                            std::string &content, FileStamp &stamp);

// Makes sure the folder may hold private files: created readable by its owner
// alone when missing (with its parents), refused when it belongs to another user
// or its group or others may write in it, since they could then plant links or
// swap files under the program.
std::string PrepareOwnFolder(const std::filesystem::path &folder);

// Replaces `target` by `content` so that a crash leaves either the old or the new
// file, never a torn one: a new temporary file beside it (see TemporaryPrefix),
// flushed to the disk, renamed over it, and the folder flushed. The new file gets
// `mode`. On failure the old file is untouched and the temporary file is gone.
std::string ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                               mode_t mode);

// What the names of the temporary files of `target` start with; six letters or
// digits follow.
std::string TemporaryPrefix(const std::filesystem::path &target);

// Removes the temporary files that replacements of `target` left when their
// process died. Only for a caller that holds the lock every writer of `target`
// takes, so that none of them belongs to a write still going on; files of other
// names, or not the user's own, stay.
void RemoveStaleTemporaries(const std::filesystem::path &target);

// Removes those temporary files at a moment when no writer is at work: only when
// `lockFile` exists and its lock is free at once; never waits, never creates.
void RemoveStaleTemporariesIfIdle(const std::filesystem::path &target,
                                  const std::filesystem::path &lockFile);

// Holds an exclusive advisory lock on `lockFile` from construction to
// destruction; waits while another process holds it. The lock file is created
// only as a new file and never followed when it is a symbolic link.
class FileLock
{
public:
    explicit FileLock(const std::filesystem::path &lockFile);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Why the lock could not be had; empty once it is held.
    const std::string &Failure() const { return m_failure; }

private:
    int m_fd = -1;
    std::string m_failure;
};

} // namespace pellwick
