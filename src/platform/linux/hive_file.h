#pragma once

#include "core/settings/hive_document.h"
#include "core/settings/registry_backend.h"
#include "platform/durable_file.h"

#include <filesystem>
#include <map>
#include <string>

namespace pellwick {

// The registry kept in one text file in the registry's export format, for systems
// without a registry. Only the machine root is mapped; its keys are the file's
// sections "[HKEY_LOCAL_MACHINE\...]". Every read looks at the file afresh, so
// other processes' writes are seen at once. Every change is one locked
// read-modify-write that replaces the whole file durably (a lock file beside it),
// so two processes never lose each other's values and a crash never tears the
// file. A file that cannot be parsed reads as broken (status 1009) and is kept
// beside as "<file>.corrupt" before the first change replaces it.
class HiveFile : public RegistryBackend
{
public:
    explicit HiveFile(std::filesystem::path file);
    // `beforeReplace` runs before each new content replaces the file (a test seam).
    HiveFile(std::filesystem::path file, BeforeReplace beforeReplace);

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

private:
    struct OpenedKey
    {
        std::string path;
        std::uint32_t access = 0;
    };
    // Edits the hive in memory; sets `changed` when it must be written back.
    using Edit = std::function<std::int32_t(HiveDocument &hive, bool &changed)>;

    std::int32_t read(HiveDocument &hive) const;
    std::int32_t change(const Edit &edit);
    std::int32_t keepCorrupt(const std::string &content) const;
    std::int32_t sectionPath(RegistryRoot root, const std::string &keyPath,
                             std::string &path) const;
    std::int32_t openedKey(RegistryKey key, std::uint32_t right, const OpenedKey *&opened) const;
    std::int32_t findValue(RegistryKey key, const std::string &valueName, HiveValue &value) const;
    RegistryKey remember(std::string path, std::uint32_t access);

    std::filesystem::path m_file;
    BeforeReplace m_beforeReplace;
    std::map<RegistryKey, OpenedKey> m_keys;
    RegistryKey m_nextKey = 1;
};

} // namespace pellwick
