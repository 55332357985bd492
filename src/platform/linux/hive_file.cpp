#include "platform/linux/hive_file.h"

#include "core/settings/hive_text.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pellwick {

namespace {

constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE";
constexpr auto kOwnerOnly
    = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

std::filesystem::path beside(const std::filesystem::path &file, std::string_view suffix)
{
    std::filesystem::path sibling = file;
    sibling += std::string(suffix);
    return sibling;
}

// Names that the file's line format could not hold.
bool writableName(std::string_view name)
{
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

} // namespace

HiveFile::HiveFile(std::filesystem::path file)
    : m_file(std::move(file))
{
}

HiveFile::HiveFile(std::filesystem::path file, BeforeReplace beforeReplace)
    : m_file(std::move(file))
    , m_beforeReplace(std::move(beforeReplace))
{
}

std::int32_t HiveFile::read(HiveDocument &hive) const
{
    std::string content;
    const std::int32_t status = ReadWholeFile(m_file, content);
    if (status == kErrorFileNotFound) {
        hive = HiveDocument {};
        return kErrorSuccess;
    }
    if (status != kErrorSuccess)
        return status;
    auto parsed = ParseHive(content);
    if (!parsed)
        return kErrorBadDb;
    hive = std::move(*parsed);
    return kErrorSuccess;
}

std::int32_t HiveFile::change(const Edit &edit)
{
    if (const std::int32_t status = CreatePrivateFolder(m_file.parent_path());
        status != kErrorSuccess)
        return status;
    const FileLock lock(beside(m_file, ".lock"));
    if (lock.Status() != kErrorSuccess)
        return lock.Status();
    // A writer killed before its rename leaves its temporary file; each would stay.
    RemoveStaleTemporaries(m_file);

    std::string content;
    std::int32_t status = ReadWholeFile(m_file, content);
    if (status != kErrorSuccess && status != kErrorFileNotFound)
        return status; // a hive that cannot be read must not be replaced blindly
    auto parsed = ParseHive(content);
    const bool corrupt = !parsed;
    HiveDocument hive = corrupt ? HiveDocument {} : std::move(*parsed);

    bool changed = false;
    status = edit(hive, changed);
    if (!changed)
        return status;
    if (corrupt) {
        if (const std::int32_t kept = keepCorrupt(content); kept != kErrorSuccess)
            return kept;
    }
    if (const std::int32_t written
        = ReplaceFileDurably(m_file, FormatHive(hive), kOwnerOnly, m_beforeReplace);
        written != kErrorSuccess)
        return written;
    return status;
}

std::int32_t HiveFile::keepCorrupt(const std::string &content) const
{
    // An earlier broken hive kept beside is not overwritten either.
    std::filesystem::path kept = beside(m_file, ".corrupt");
    for (int n = 2; std::filesystem::exists(kept); ++n)
        kept = beside(m_file, ".corrupt." + std::to_string(n));
    return ReplaceFileDurably(kept, content, kOwnerOnly);
}

std::int32_t HiveFile::sectionPath(RegistryRoot root, const std::string &keyPath,
                                   std::string &path) const
{
    if (root != kHkeyLocalMachine)
        return kErrorInvalidHandle;
    std::string_view rest = keyPath;
    if (!writableName(rest))
        return kErrorInvalidParameter;
    // The registry forgives one backslash at the end, not an empty name elsewhere.
    if (!rest.empty() && rest.front() == '\\')
        return kErrorBadPathname;
    if (!rest.empty() && rest.back() == '\\')
        rest.remove_suffix(1);
    if (rest.find("\\\\") != std::string_view::npos)
        return kErrorBadPathname;
    path = kMachineRoot;
    if (!rest.empty()) {
        path += '\\';
        path += rest;
    }
    return kErrorSuccess;
}

RegistryKey HiveFile::remember(std::string path, std::uint32_t access)
{
    const RegistryKey key = m_nextKey++;
    m_keys.emplace(key, OpenedKey {std::move(path), access});
    return key;
}

std::int32_t HiveFile::CreateKey(RegistryRoot root, const std::string &keyPath,
                                 std::uint32_t access, RegistryKey &key)
{
    key = 0;
    std::string path;
    std::int32_t status = sectionPath(root, keyPath, path);
    if (status != kErrorSuccess)
        return status;
    // Most keys exist already; only a missing one costs the locked write.
    HiveDocument hive;
    const bool present
        = SameName(path, kMachineRoot) || (read(hive) == kErrorSuccess && hive.KeyExists(path));
    if (!present) {
        status = change([&path](HiveDocument &edited, bool &changed) {
            changed = edited.CreateKey(path);
            return kErrorSuccess;
        });
        if (status != kErrorSuccess)
            return status;
    }
    key = remember(std::move(path), access);
    return kErrorSuccess;
}

std::int32_t HiveFile::OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                               RegistryKey &key)
{
    key = 0;
    std::string path;
    std::int32_t status = sectionPath(root, keyPath, path);
    if (status != kErrorSuccess)
        return status;
    if (!SameName(path, kMachineRoot)) {
        HiveDocument hive;
        status = read(hive);
        if (status != kErrorSuccess)
            return status;
        if (!hive.KeyExists(path))
            return kErrorFileNotFound;
    }
    key = remember(std::move(path), access);
    return kErrorSuccess;
}

std::int32_t HiveFile::openedKey(RegistryKey key, std::uint32_t right,
                                 const OpenedKey *&opened) const
{
    const auto found = m_keys.find(key);
    if (found == m_keys.end())
        return kErrorInvalidHandle;
    if ((found->second.access & right) != right)
        return kErrorAccessDenied;
    opened = &found->second;
    return kErrorSuccess;
}

std::int32_t HiveFile::findValue(RegistryKey key, const std::string &valueName,
                                 HiveValue &value) const
{
    const OpenedKey *opened = nullptr;
    std::int32_t status = openedKey(key, kKeyQueryValue, opened);
    if (status != kErrorSuccess)
        return status;
    HiveDocument hive;
    status = read(hive);
    if (status != kErrorSuccess)
        return status;
    const HiveValue *found = hive.FindValue(opened->path, valueName);
    if (!found)
        return kErrorFileNotFound;
    value = *found;
    return kErrorSuccess;
}

std::int32_t HiveFile::QueryValueInfo(RegistryKey key, const std::string &valueName,
                                      std::uint32_t &type, std::uint32_t &size)
{
    HiveValue value;
    const std::int32_t status = findValue(key, valueName, value);
    if (status != kErrorSuccess)
        return status;
    type = value.type;
    size = static_cast<std::uint32_t>(value.data.size());
    return kErrorSuccess;
}

std::int32_t HiveFile::QueryValueData(RegistryKey key, const std::string &valueName,
                                      std::uint32_t &type, unsigned char *data, std::uint32_t &size)
{
    HiveValue value;
    const std::int32_t status = findValue(key, valueName, value);
    if (status != kErrorSuccess)
        return status;
    const std::uint32_t room = size;
    type = value.type;
    size = static_cast<std::uint32_t>(value.data.size());
    if (!data)
        return kErrorSuccess;
    if (size > room)
        return kErrorMoreData;
    if (size > 0)
        std::memcpy(data, value.data.data(), size);
    return kErrorSuccess;
}

std::int32_t HiveFile::SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                                const unsigned char *data, std::uint32_t size)
{
    const OpenedKey *opened = nullptr;
    const std::int32_t status = openedKey(key, kKeySetValue, opened);
    if (status != kErrorSuccess)
        return status;
    if (!writableName(valueName) || (!data && size > 0))
        return kErrorInvalidParameter;
    const std::string bytes
        = size > 0 ? std::string(reinterpret_cast<const char *>(data), size) : std::string();
    const std::string &path = opened->path;
    return change([&](HiveDocument &hive, bool &changed) {
        changed = hive.SetValue(path, valueName, type, bytes);
        return kErrorSuccess;
    });
}

std::int32_t HiveFile::DeleteValue(RegistryKey key, const std::string &valueName)
{
    const OpenedKey *opened = nullptr;
    const std::int32_t status = openedKey(key, kKeySetValue, opened);
    if (status != kErrorSuccess)
        return status;
    const std::string &path = opened->path;
    return change([&](HiveDocument &hive, bool &changed) {
        changed = hive.DeleteValue(path, valueName);
        return changed ? kErrorSuccess : kErrorFileNotFound;
    });
}

std::int32_t HiveFile::CloseKey(RegistryKey key)
{
    return m_keys.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

} // namespace pellwick
