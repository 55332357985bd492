#pragma once

#include "core/settings/registry.h"

#include <functional>
#include <map>
#include <memory>

namespace pellwick {

// Keeps a user without administrator rights from losing every save: a write or
// deletion that the machine root refuses (access denied) goes to the same key
// path under the user root instead, and a value found under the user root is
// read in preference to the machine's. A write the machine root accepts removes
// the user's copy of that value, which would otherwise hide it from then on.
// With no user copies, as on an administrator's machine, every call reaches the
// machine root exactly as without this layer. Other roots pass straight through.
//
// Between BeginChanges and CommitChanges, the first write that fails for good
// (refused by the user root too) is kept; CommitChanges reports it, naming the
// key, the value and the cause, and tells it on one line.
class UserFallbackRegistry : public RegistryBackend
{
public:
    // Receives the line that tells of a failed save.
    using Report = std::function<void(const std::string &line)>;

    // Without `report`, the line goes to standard error.
    explicit UserFallbackRegistry(std::unique_ptr<RegistryBackend> inner, Report report = {});
    ~UserFallbackRegistry() override;

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
    // One key as the caller sees it: the machine's and the user's key of one path,
    // either of which may be missing (0).
    struct KeyPair
    {
        RegistryRoot root = 0;
        std::string path;
        std::uint32_t access = 0;
        RegistryKey machine = 0;
        RegistryKey user = 0;
    };

    std::int32_t add(KeyPair pair, RegistryKey &key);
    KeyPair *find(RegistryKey key);
    // The user's key of the pair, created when missing.
    std::int32_t userKeyFor(KeyPair &pair);
    // The key a read of this value goes to: the user's when it holds the value.
    RegistryKey readKeyFor(const KeyPair &pair, const std::string &valueName);
    std::int32_t deleteUserCopy(KeyPair &pair, const std::string &valueName);
    // Keeps the first write of a batch that failed; gives back its status.
    std::int32_t noted(std::int32_t status, RegistryRoot root, const std::string &keyPath,
                       const std::string &valueName);

    std::unique_ptr<RegistryBackend> m_inner;
    std::map<RegistryKey, KeyPair> m_keys;
    RegistryKey m_nextKey = 1;
    Report m_report;
    bool m_batching = false;
    StoreResult m_failure;
};

} // namespace pellwick
