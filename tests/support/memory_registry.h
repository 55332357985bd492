#pragma once

#include "core/settings/hive_document.h"
#include "core/settings/registry.h"

#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace pellwick::test {

// A registry backend kept in memory (one HiveDocument, paths named from their
// root as in the hive file), for tests of what is stored without any file.
class MemoryRegistry : public RegistryBackend
{
public:
    HiveDocument hive;
    // A batch's write fails, as on a full disk.
    bool failCommits = false;
    // Sees each call before it is served: "CreateKey <access>", "OpenKey <access>",
    // "QueryValueInfo <name>", "QueryValueData <name>", "SetValue <name>". It may
    // throw, or refuse the call by returning a non-zero status.
    std::function<std::int32_t(const std::string &call)> interfere = [](const std::string &) {
        return 0;
    };

    std::size_t OpenKeys() const { return m_open.size(); }

    std::int32_t CreateKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                           RegistryKey &key) override
    {
        if (const std::int32_t refused = interfere("CreateKey " + std::to_string(access)))
            return refused;
        hive.CreateKey(path(root, keyPath));
        return open(path(root, keyPath), key);
    }
    std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                         RegistryKey &key) override
    {
        if (const std::int32_t refused = interfere("OpenKey " + std::to_string(access)))
            return refused;
        return hive.KeyExists(path(root, keyPath)) ? open(path(root, keyPath), key)
                                                   : kErrorFileNotFound;
    }
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override
    {
        if (const std::int32_t refused = interfere("QueryValueInfo " + valueName))
            return refused;
        const HiveValue *value = hive.FindValue(m_open.at(key), valueName);
        if (!value)
            return kErrorFileNotFound;
        type = value->type;
        size = static_cast<std::uint32_t>(value->data.size());
        return kErrorSuccess;
    }
    std::int32_t QueryValueData(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size) override
    {
        if (const std::int32_t refused = interfere("QueryValueData " + valueName))
            return refused;
        const HiveValue *value = hive.FindValue(m_open.at(key), valueName);
        if (!value)
            return kErrorFileNotFound;
        type = value->type;
        const auto whole = static_cast<std::uint32_t>(value->data.size());
        const bool fits = whole <= size;
        std::memcpy(data, value->data.data(), fits ? whole : size);
        size = whole;
        return fits ? kErrorSuccess : kErrorMoreData;
    }
    std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) override
    {
        if (const std::int32_t refused = interfere("SetValue " + valueName))
            return refused;
        hive.SetValue(m_open.at(key), valueName, type,
                      std::string(reinterpret_cast<const char *>(data), size));
        return kErrorSuccess;
    }
    std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) override
    {
        return hive.DeleteValue(m_open.at(key), valueName) ? kErrorSuccess : kErrorFileNotFound;
    }
    StoreResult CommitChanges() override
    {
        if (failCommits)
            return {kErrorDiskFull, "registry.reg: no space left on device"};
        return {};
    }
    std::int32_t CloseKey(RegistryKey key) override
    {
        return m_open.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
    }

private:
    static std::string path(RegistryRoot root, const std::string &keyPath)
    {
        return (root == kHkeyLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\")
               + keyPath;
    }
    std::int32_t open(const std::string &keyPath, RegistryKey &key)
    {
        key = ++m_lastKey;
        m_open[key] = keyPath;
        return kErrorSuccess;
    }

    std::map<RegistryKey, std::string> m_open;
    RegistryKey m_lastKey = 0;
};

} // namespace pellwick::test
