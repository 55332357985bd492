#pragma once

#include "core/settings/hive_document.h"
#include "core/settings/registry.h"

#include <cstring>
#include <map>
#include <string>

namespace pellwick::test {

// A registry backend kept in memory (one HiveDocument), for tests of what is
// stored without any file.
class MemoryRegistry : public RegistryBackend
{
public:
    HiveDocument hive;
    // A batch's write fails, as on a full disk.
    bool failCommits = false;

    std::int32_t CreateKey(RegistryRoot, const std::string &keyPath, std::uint32_t,
                           RegistryKey &key) override
    {
        hive.CreateKey(keyPath);
        return open(keyPath, key);
    }
    std::int32_t OpenKey(RegistryRoot, const std::string &keyPath, std::uint32_t,
                         RegistryKey &key) override
    {
        return hive.KeyExists(keyPath) ? open(keyPath, key) : kErrorFileNotFound;
    }
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override
    {
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
