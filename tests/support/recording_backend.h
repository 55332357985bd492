#pragma once

#include "core/settings/registry.h"

#include <functional>
#include <string>
#include <vector>

namespace pellwick::test {

// Passes every call on to a real backend and writes down what was asked, with
// the root and access rights in decimal. `interfere` sees each call before the
// real backend does and may throw, or refuse the call by returning a non-zero status.
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
        return opened(
            pass("CreateKey " + keyPath + " " + std::to_string(root) + " " + std::to_string(access),
                 [&] { return m_inner.CreateKey(root, keyPath, access, key); }));
    }
    std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                         RegistryKey &key) override
    {
        return opened(
            pass("OpenKey " + keyPath + " " + std::to_string(root) + " " + std::to_string(access),
                 [&] { return m_inner.OpenKey(root, keyPath, access, key); }));
    }
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override
    {
        return pass("QueryValueInfo " + valueName,
                    [&] { return m_inner.QueryValueInfo(key, valueName, type, size); });
    }
    std::int32_t QueryValueData(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size) override
    {
        return pass("QueryValueData " + valueName + " " + std::to_string(size),
                    [&] { return m_inner.QueryValueData(key, valueName, type, data, size); });
    }
    std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) override
    {
        return pass("SetValue " + valueName + " " + std::to_string(type) + " "
                        + std::to_string(size),
                    [&] { return m_inner.SetValue(key, valueName, type, data, size); });
    }
    std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) override
    {
        return pass("DeleteValue " + valueName,
                    [&] { return m_inner.DeleteValue(key, valueName); });
    }
    std::int32_t CloseKey(RegistryKey key) override
    {
        const std::int32_t status = pass("CloseKey", [&] { return m_inner.CloseKey(key); });
        openKeys -= status == 0;
        return status;
    }

private:
    template<class Inner>
    std::int32_t pass(const std::string &call, Inner inner)
    {
        calls.push_back(call);
        const std::int32_t refused = interfere(call);
        return refused != 0 ? refused : inner();
    }
    std::int32_t opened(std::int32_t status)
    {
        openKeys += status == 0;
        return status;
    }

    RegistryBackend &m_inner;
};

} // namespace pellwick::test
