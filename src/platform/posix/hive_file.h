// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/hive_text.h"
#include "core/settings/store.h"

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace pellwick {

// The values of one key of the machine root, kept in a text file in the
// registry's export format (section "[HKEY_LOCAL_MACHINE\<key path>]"), parsed
// again only when it changed. A file that is not a regular file of the user's
// own of at most kMaxHiveSize bytes in a folder closed to others, or does not
// parse, is Unreadable. A Commit is one locked read-modify-write that replaces
// the file durably, so two processes never lose each other's values and a crash
// leaves the old or the new file; it writes only in a folder that is the user's
// own and closed to others, keeps a file it could not read beside the new one as
// "<file>.corrupt", and says why it failed.
class HiveFile : public SettingsStore
{
public:
    // Covers the largest file the program writes: every text at its limit in the
    // most costly form, hex bytes of three-byte characters.
    static constexpr std::size_t kMaxHiveSize = 16 << 20;

    // Receives each line the hive has to tell the user; by default, standard error.
    using Report = std::function<void(const std::string &line)>;

    explicit HiveFile(std::filesystem::path file, std::string_view keyPath = kSettingsKey,
                      Report report = {});

    std::optional<StoredValue> Read(const std::string &name) override;
    void Write(const std::string &name, std::optional<StoredValue> value) override;
    std::string Commit() override;
    std::string Unreadable() override;

private:
    // One version of the file: a file replaced or changed in place stamps differently.
    using Stamp = std::tuple<dev_t, ino_t, off_t, std::time_t, long, std::time_t, long>;
    using Edit = std::pair<std::string, std::optional<StoredValue>>;

    void refresh();
    std::string read(std::string &content, Stamp &stamp) const;
    bool apply(HiveDocument &hive, const Edit &edit) const;
    std::string write(const std::vector<Edit> &edits);

    std::filesystem::path m_file;
    std::string m_section;
    Report m_report;
    bool m_tidied = false;
    // Why the file as last looked at could not be read.
    std::string m_problem;
    // The file as last read (none: read it at the next look), and the writes since
    // the last Commit applied to it.
    std::optional<Stamp> m_stamp;
    HiveDocument m_hive;
    std::vector<Edit> m_pending;
};

} // namespace pellwick
