#include "platform/windows/registry_user_fallback.h"

#include "platform/windows/system_error_text.h"

#include <cstdio>
#include <utility>

namespace pellwick {

namespace {

// The right to set values (KEY_SET_VALUE), part of what a key opened for writing has.
constexpr std::uint32_t kKeySetValue = 0x0002;

bool writes(std::uint32_t access)
{
    return (access & kKeySetValue) != 0;
}

std::string rootName(RegistryRoot root)
{
    switch (root) {
    case kHkeyLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case kHkeyCurrentUser:
        return "HKEY_CURRENT_USER";
    default:
        return "root key " + std::to_string(root);
    }
}

} // namespace

UserFallbackRegistry::UserFallbackRegistry(std::unique_ptr<RegistryBackend> inner, Report report)
    : m_inner(std::move(inner))
    , m_report(std::move(report))
{
    if (!m_report)
        m_report = [](const std::string &line) {
            std::fprintf(stderr, "%s\n", line.c_str());
        };
}

UserFallbackRegistry::~UserFallbackRegistry()
{
    for (auto &[key, pair] : m_keys) {
        if (pair.machine)
            m_inner->CloseKey(pair.machine);
        if (pair.user)
            m_inner->CloseKey(pair.user);
    }
}

std::int32_t UserFallbackRegistry::add(KeyPair pair, RegistryKey &key)
{
    key = m_nextKey++;
    m_keys.emplace(key, std::move(pair));
    return kErrorSuccess;
}

UserFallbackRegistry::KeyPair *UserFallbackRegistry::find(RegistryKey key)
{
    const auto found = m_keys.find(key);
    return found == m_keys.end() ? nullptr : &found->second;
}

std::int32_t UserFallbackRegistry::CreateKey(RegistryRoot root, const std::string &keyPath,
                                             std::uint32_t access, RegistryKey &key)
{
    key = 0;
    KeyPair pair {root, keyPath, access, 0, 0};
    const std::int32_t status = m_inner->CreateKey(root, keyPath, access, pair.machine);
    if (status == kErrorSuccess)
        return add(std::move(pair), key);
    if (root != kHkeyLocalMachine || status != kErrorAccessDenied)
        return noted(status, root, keyPath, {});
    const std::int32_t userStatus = userKeyFor(pair);
    return userStatus == kErrorSuccess ? add(std::move(pair), key)
                                       : noted(userStatus, kHkeyCurrentUser, keyPath, {});
}

std::int32_t UserFallbackRegistry::OpenKey(RegistryRoot root, const std::string &keyPath,
                                           std::uint32_t access, RegistryKey &key)
{
    key = 0;
    KeyPair pair {root, keyPath, access, 0, 0};
    const std::int32_t status = m_inner->OpenKey(root, keyPath, access, pair.machine);
    if (root == kHkeyLocalMachine)
        m_inner->OpenKey(kHkeyCurrentUser, keyPath, access, pair.user);
    if (status != kErrorSuccess && !pair.user)
        return status;
    return add(std::move(pair), key);
}

std::int32_t UserFallbackRegistry::userKeyFor(KeyPair &pair)
{
    if (pair.user)
        return kErrorSuccess;
    return m_inner->CreateKey(kHkeyCurrentUser, pair.path, pair.access, pair.user);
}

RegistryKey UserFallbackRegistry::readKeyFor(const KeyPair &pair, const std::string &valueName)
{
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (pair.user
        && (!pair.machine
            || m_inner->QueryValueInfo(pair.user, valueName, type, size) != kErrorFileNotFound))
        return pair.user;
    return pair.machine;
}

std::int32_t UserFallbackRegistry::QueryValueInfo(RegistryKey key, const std::string &valueName,
                                                  std::uint32_t &type, std::uint32_t &size)
{
    KeyPair *pair = find(key);
    if (!pair)
        return kErrorInvalidHandle;
    return m_inner->QueryValueInfo(readKeyFor(*pair, valueName), valueName, type, size);
}

std::int32_t UserFallbackRegistry::QueryValueData(RegistryKey key, const std::string &valueName,
                                                  std::uint32_t &type, unsigned char *data,
                                                  std::uint32_t &size)
{
    KeyPair *pair = find(key);
    if (!pair)
        return kErrorInvalidHandle;
    return m_inner->QueryValueData(readKeyFor(*pair, valueName), valueName, type, data, size);
}

std::int32_t UserFallbackRegistry::SetValue(RegistryKey key, const std::string &valueName,
                                            std::uint32_t type, const unsigned char *data,
                                            std::uint32_t size)
{
    KeyPair *pair = find(key);
    if (!pair)
        return kErrorInvalidHandle;
    if (pair->machine) {
        const std::int32_t status = m_inner->SetValue(pair->machine, valueName, type, data, size);
        if (status == kErrorSuccess)
            deleteUserCopy(*pair, valueName);
        // A handle opened only for reading is refused by its own rights, not the machine's.
        if (status != kErrorAccessDenied || pair->root != kHkeyLocalMachine
            || !writes(pair->access))
            return noted(status, pair->root, pair->path, valueName);
    }
    std::int32_t status = userKeyFor(*pair);
    if (status == kErrorSuccess)
        status = m_inner->SetValue(pair->user, valueName, type, data, size);
    return noted(status, kHkeyCurrentUser, pair->path, valueName);
}

std::int32_t UserFallbackRegistry::deleteUserCopy(KeyPair &pair, const std::string &valueName)
{
    if (pair.root != kHkeyLocalMachine)
        return kErrorFileNotFound;
    if (!pair.user && m_inner->OpenKey(kHkeyCurrentUser, pair.path, pair.access, pair.user))
        return kErrorFileNotFound;
    return m_inner->DeleteValue(pair.user, valueName);
}

std::int32_t UserFallbackRegistry::DeleteValue(RegistryKey key, const std::string &valueName)
{
    KeyPair *pair = find(key);
    if (!pair)
        return kErrorInvalidHandle;
    // Both copies go, so that no stale one keeps the value alive.
    const std::int32_t userStatus = deleteUserCopy(*pair, valueName);
    if (!pair->machine)
        return userStatus;
    const std::int32_t status = m_inner->DeleteValue(pair->machine, valueName);
    return userStatus == kErrorSuccess ? kErrorSuccess : status;
}

std::int32_t UserFallbackRegistry::CloseKey(RegistryKey key)
{
    const auto found = m_keys.find(key);
    if (found == m_keys.end())
        return kErrorInvalidHandle;
    std::int32_t status = kErrorSuccess;
    if (found->second.machine)
        status = m_inner->CloseKey(found->second.machine);
    if (found->second.user)
        m_inner->CloseKey(found->second.user);
    m_keys.erase(found);
    return status;
}

void UserFallbackRegistry::BeginChanges()
{
    m_batching = true;
    m_failure = {};
    m_inner->BeginChanges();
}

StoreResult UserFallbackRegistry::CommitChanges()
{
    m_batching = false;
    StoreResult result = m_inner->CommitChanges();
    if (!m_failure.Failed() && result.Failed())
        m_failure = result;
    if (m_failure.Failed())
        m_report(m_failure.message);
    return std::exchange(m_failure, {});
}

std::int32_t UserFallbackRegistry::noted(std::int32_t status, RegistryRoot root,
                                         const std::string &keyPath, const std::string &valueName)
{
    if (status == kErrorSuccess || !m_batching || m_failure.Failed())
        return status;
    std::string where = rootName(root) + "\\" + keyPath;
    if (!valueName.empty())
        where += " (value \"" + valueName + "\")";
    m_failure = {status,
                 "Pellwick: cannot save the settings to " + where + ": " + SystemErrorText(status)};
    return status;
}

} // namespace pellwick
