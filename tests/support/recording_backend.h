#pragma once

#include "core/settings/registry.h"

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellwick::test {

// Passes every call on to a real backend and writes down what was asked, with
// the root and access rights in hex. `interfere` sees each call before the real
// backend does and may throw, or refuse the call by returning a non-zero status.
class RecordingBackend : public RegistryBackend
{
public:
    explicit RecordingBackend(RegistryBackend &inner)
        : m_inner(inner)
    {
    }

    std::vector<std::string> calls;
    int openKeys = 0;
    std::function<std::int32_t(const std::string &call)> interfere = [](const std::string &) {
        return 0;
    };

    std::int32_t CreateKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                           RegistryKey &key) override
    {
        if (const std::int32_t refused
            = note("CreateKey " + hex(root) + " " + keyPath + " " + hex(access)))
            return refused;
        return counted(m_inner.CreateKey(root, keyPath, access, key));
    }
    std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                         RegistryKey &key) override
    {
        if (const std::int32_t refused
            = note("OpenKey " + hex(root) + " " + keyPath + " " + hex(access)))
            return refused;
        return counted(m_inner.OpenKey(root, keyPath, access, key));
    }
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override
    {
        if (const std::int32_t refused = note("QueryValueInfo " + valueName))
            return refused;
        return m_inner.QueryValueInfo(key, valueName, type, size);
    }
    std::int32_t QueryValueData(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size) override
    {
        if (const std::int32_t refused
            = note("QueryValueData " + valueName + " " + std::to_string(size)))
            return refused;
        return m_inner.QueryValueData(key, valueName, type, data, size);
    }
    std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) override
    {
        if (const std::int32_t refused = note("SetValue " + valueName + " " + std::to_string(type)
                                              + " " + std::to_string(size)))
            return refused;
        return m_inner.SetValue(key, valueName, type, data, size);
    }
    std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) override
    {
        if (const std::int32_t refused = note("DeleteValue " + valueName))
            return refused;
        return m_inner.DeleteValue(key, valueName);
    }
    std::int32_t CloseKey(RegistryKey key) override
    {
        if (const std::int32_t refused = note("CloseKey"))
            return refused;
        const std::int32_t status = m_inner.CloseKey(key);
        if (status == 0)
            --openKeys;
        return status;
    }

private:
    static std::string hex(std::uint32_t number)
    {
        std::ostringstream out;
        out << std::hex << number;
        return out.str();
    }
    std::int32_t note(const std::string &call)
    {
        calls.push_back(call);
        return interfere(call);
    }
    std::int32_t counted(std::int32_t status)
    {
        if (status == 0)
            ++openKeys;
        return status;
    }

    RegistryBackend &m_inner;
};

} // namespace pellwick::test
