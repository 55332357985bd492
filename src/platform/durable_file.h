#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace pellwick {

// File steps that must survive a crash or a second process. Every function
// returns a Windows error code (0 for success), like the registry it stands in for.

// Called with the temporary file once it is written and flushed, just before it
// replaces the target; returning false abandons the replacement there. It lets a
// test fail a write at its most delicate moment.
using BeforeReplace = std::function<bool(const std::filesystem::path &temporary)>;

// The file's whole content; 2 when it does not exist.
std::int32_t ReadWholeFile(const std::filesystem::path &file, std::string &content);

// Creates the folder and its missing parents, each new one readable by its owner alone.
std::int32_t CreatePrivateFolder(const std::filesystem::path &folder);

// Replaces `target` by `content` so that a crash leaves either the old or the new
// file, never a torn one: a temporary file beside it, flushed to the disk, renamed
// over it, and the folder flushed. The new file gets `mode` where modes exist.
std::int32_t ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                                std::filesystem::perms mode,
                                const BeforeReplace &beforeReplace = {});

// Removes what replacements of `target` left behind when their process died in
// the middle: the temporary files beside it, named "<target>.tmp" and a unique
// ending. Only for a caller that holds the lock every writer of `target` takes,
// so that none of those files belongs to a write still going on.
void RemoveStaleTemporaries(const std::filesystem::path &target);

// Holds an exclusive advisory lock on `lockFile` (created when missing) from
// construction to destruction; waits while another process holds it.
class FileLock
{
public:
    explicit FileLock(const std::filesystem::path &lockFile);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // 0 when the lock is held.
    std::int32_t Status() const { return m_status; }

private:
    std::intptr_t m_handle;
    std::int32_t m_status;
};

} // namespace pellwick
