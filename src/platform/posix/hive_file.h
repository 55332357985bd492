#pragma once

#include "core/settings/hive_document.h"
#include "core/settings/registry.h"
#include "platform/posix/durable_file.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pellwick {

// The registry kept in one text file in the registry's export format, for systems
// without a registry. Only the machine root is mapped; its keys are the file's
// sections "[HKEY_LOCAL_MACHINE\...]".
//
// Reading: the file is parsed once and read again only when it is another file
// or was changed since. Only a regular file of at most kMaxHiveSize bytes is read;
// anything else, or a file that cannot be parsed, reads as having no keys (the
// callers' defaults), is said once, and is never replaced.
//
// Writing: every change, or every batch of changes between BeginChanges and
// CommitChanges, is one locked read-modify-write that replaces the whole file
// durably, so two processes never lose each other's values and a crash leaves the
// old or the new file. Nothing is written unless the folder is the user's own and
// closed to others. A file that cannot be parsed is kept beside as
// "<file>.corrupt" before it is replaced. A failed write is said, with its cause.
class HiveFile : public RegistryBackend
{
public:
    static constexpr std::size_t kMaxHiveSize = 1 << 20;

    // Receives each line the hive has to tell the user.
    using Report = std::function<void(const std::string &line)>;

    // Without `report`, the lines go to standard error.
    explicit HiveFile(std::filesystem::path file, Report report = {});

    const std::filesystem::path &File() const { return m_file; }

    std::int32_t CreateKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                           RegistryKey &key) override;
    std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                         RegistryKey &key) override;
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override;
    std::int32_t QueryValueData(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size) override;
    std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) override;
    std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) override;
    std::int32_t CloseKey(RegistryKey key) override;
    void BeginChanges() override;
    StoreResult CommitChanges() override;

private:
    // One change to the hive: its status and whether it changed anything.
    using Edit = std::function<std::int32_t(HiveDocument &hive, bool &changed)>;

    std::int32_t refresh();
    std::int32_t apply(Edit edit);
    StoreResult write(const std::vector<Edit> &edits, std::int32_t &status);
    StoreResult keepCorrupt(const std::string &content) const;
    StoreResult told(StoreResult result) const;
    std::int32_t sectionPath(RegistryRoot root, const std::string &keyPath,
                             std::string &path) const;
    const HiveValue *findValue(RegistryKey key, const std::string &valueName, std::int32_t &status);

    std::filesystem::path m_file;
    Report m_report;
    // The file as last read: its stamp, how the read went and what it held.
    bool m_tidied = false;
    bool m_haveRead = false;
    FileStamp m_stamp;
    std::int32_t m_readStatus = kErrorSuccess;
    HiveDocument m_hive;
    // While a batch is open: its changes, in order, already applied to m_hive.
    bool m_batching = false;
    std::vector<Edit> m_pending;
    std::map<RegistryKey, std::string> m_keys;
    RegistryKey m_nextKey = 1;
};

} // namespace pellwick
