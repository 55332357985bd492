#pragma once

#include "core/settings/hive_document.h"
#include "core/settings/store.h"

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pellwick {

// The values of one key of the machine root, kept in one text file in the
// registry's export format for systems without a registry; the key is the
// file's section "[HKEY_LOCAL_MACHINE\<key path>]", and the file may hold others.
//
// Reading: the file is parsed once and read again only when it is another file
// or was changed since. Only a regular file of at most kMaxHiveSize bytes is read;
// anything else, or a file that cannot be parsed, reads as having no values (the
// callers' defaults), is said once, and is never replaced.
//
// Writing: the writes up to a Commit are one locked read-modify-write that
// replaces the whole file durably, so two processes never lose each other's
// values and a crash leaves the old or the new file. Nothing is written unless
// the folder is the user's own and closed to others. A file that cannot be
// parsed is kept beside as "<file>.corrupt" before it is replaced. A failed
// write is said, with its cause.
class HiveFile : public SettingsStore
{
public:
    static constexpr std::size_t kMaxHiveSize = 1 << 20;

    // Receives each line the hive has to tell the user.
    using Report = std::function<void(const std::string &line)>;

    // Without `report`, the lines go to standard error.
    explicit HiveFile(std::filesystem::path file, std::string_view keyPath = kSettingsKey,
                      Report report = {});

    const std::filesystem::path &File() const { return m_file; }

    std::optional<StoredValue> Read(const std::string &name) override;
    void Write(const std::string &name, std::optional<StoredValue> value) override;
    std::string Commit() override;

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
    // The file as last read: its stamp and what it held.
    bool m_tidied = false;
    bool m_haveRead = false;
    Stamp m_stamp;
    HiveDocument m_hive;
    // The writes since the last Commit, in order, already applied to m_hive.
    std::vector<Edit> m_pending;
};

} // namespace pellwick
