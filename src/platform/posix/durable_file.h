// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace pellwick {

// File steps that must survive a crash and a hostile folder. Each gives the
// empty text when it went well, else its cause in words.

// The cause errno names, after `what` when there is one.
std::string ErrnoFailure(const std::string &what = {});

// Reads from `fd` up to its end or `limit` bytes, whichever comes first.
std::string ReadAtMost(int fd, std::size_t limit, std::string &content);

// Why the folder may not hold private files: it belongs to another user or its
// group or others may write in it, since they could then plant links or swap
// files under the program; empty when it is the user's own.
std::string ForeignFolder(const std::filesystem::path &folder);

// Makes sure the folder may hold private files: created readable by its owner
// alone when missing (with its parents), refused as ForeignFolder refuses.
std::string PrepareOwnFolder(const std::filesystem::path &folder);

// Replaces `target` by `content` so that a crash leaves the old or the new file,
// never a torn one: a temporary file beside it (the target's name, kTemporaryInfix,
// six letters or digits) with `mode`, flushed, renamed over it, the folder
// flushed. On failure the old file is untouched and the temporary file is gone.
std::string ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                               mode_t mode);
inline constexpr std::string_view kTemporaryInfix = ".tmp-";

} // namespace pellwick
