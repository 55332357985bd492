#include "platform/posix/hive_file.h"

#include "core/settings/hive_text.h"

#include <sys/stat.h>

#include <cstring>
#include <iostream>
#include <utility>

namespace pellwick {

namespace {

constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE";

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

HiveFile::HiveFile(std::filesystem::path file, Report report)
    : m_file(std::move(file))
    , m_report(std::move(report))
{
    if (!m_report)
        m_report = [](const std::string &line) {
            std::cerr << line << '\n';
        };
}

std::int32_t HiveFile::refresh()
{
    // A batch works on the file as it was when the batch began, plus its changes.
    if (m_batching)
        return m_readStatus;
    // What a writer killed in the middle left is cleared once, at the first look.
    if (!m_tidied) {
        m_tidied = true;
        RemoveStaleTemporariesIfIdle(m_file, beside(m_file, ".lock"));
    }
    FileStamp stamp;
    if (!StampOf(m_file, stamp)) {
        m_haveRead = false;
        m_hive = HiveDocument {};
        m_readStatus = kErrorSuccess;
        return m_readStatus;
    }
    if (m_haveRead && stamp == m_stamp)
        return m_readStatus;

    m_haveRead = true;
    m_stamp = stamp;
    m_hive = HiveDocument {};
    std::string content;
    const StoreResult read = ReadRegularFile(m_file, kMaxHiveSize, content, m_stamp);
    std::string problem = read.message;
    m_readStatus = read.Failed() && read.status != kErrorFileNotFound ? read.status : kErrorSuccess;
    if (!read.Failed()) {
        if (auto parsed = ParseHive(content)) {
            m_hive = std::move(*parsed);
        } else {
            m_readStatus = kErrorBadDb;
            problem = "it is not a registry export file (kept as " + m_file.filename().string()
                      + ".corrupt when the settings are next saved)";
        }
    }
    if (m_readStatus != kErrorSuccess)
        m_report("pellwick: cannot read the settings file " + m_file.string() + ": " + problem
                 + "; the settings take their defaults");
    return m_readStatus;
}

StoreResult HiveFile::told(StoreResult result) const
{
    result.message
        = "pellwick: cannot save the settings to " + m_file.string() + ": " + result.message;
    m_report(result.message);
    return result;
}

std::int32_t HiveFile::apply(Edit edit)
{
    if (m_batching) {
        bool changed = false;
        const std::int32_t status = edit(m_hive, changed);
        m_pending.push_back(std::move(edit));
        return status;
    }
    std::int32_t status = kErrorSuccess;
    const StoreResult written = write({std::move(edit)}, status);
    return written.Failed() ? written.status : status;
}

StoreResult HiveFile::write(const std::vector<Edit> &edits, std::int32_t &status)
{
    if (StoreResult folder = PrepareOwnFolder(m_file.parent_path()); folder.Failed())
        return told(folder);
    const FileLock lock(beside(m_file, ".lock"));
    if (lock.Result().Failed())
        return told(lock.Result());
    // A writer killed before its rename leaves its temporary file; each would stay.
    RemoveStaleTemporaries(m_file);

    std::string content;
    FileStamp stamp;
    const StoreResult read = ReadRegularFile(m_file, kMaxHiveSize, content, stamp);
    // What could not be read must not be replaced blindly.
    if (read.Failed() && read.status != kErrorFileNotFound)
        return told(read);
    auto parsed = ParseHive(content);
    const bool corrupt = !parsed;
    HiveDocument hive = corrupt ? HiveDocument {} : std::move(*parsed);

    // The last edit's status is the one a single change reports.
    bool anyChange = false;
    for (const Edit &edit : edits) {
        bool changed = false;
        status = edit(hive, changed);
        anyChange = anyChange || changed;
    }
    if (anyChange) {
        if (corrupt) {
            if (StoreResult kept = keepCorrupt(content); kept.Failed())
                return told(kept);
        }
        if (StoreResult replaced = ReplaceFileDurably(m_file, FormatHive(hive), S_IRUSR | S_IWUSR);
            replaced.Failed())
            return told(replaced);
    }
    // What was just read or written is what the file holds now: no need to parse it again.
    if (anyChange || !corrupt) {
        m_haveRead = StampOf(m_file, m_stamp);
        m_readStatus = kErrorSuccess;
        m_hive = std::move(hive);
    }
    return {};
}

StoreResult HiveFile::keepCorrupt(const std::string &content) const
{
    // An earlier broken hive kept beside is not overwritten either.
    std::filesystem::path kept = beside(m_file, ".corrupt");
    std::error_code error;
    for (int n = 2;
         std::filesystem::exists(kept, error) || std::filesystem::is_symlink(kept, error); ++n)
        kept = beside(m_file, ".corrupt." + std::to_string(n));
    return ReplaceFileDurably(kept, content, S_IRUSR | S_IWUSR);
}

void HiveFile::BeginChanges()
{
    refresh();
    m_batching = true;
    m_pending.clear();
}

StoreResult HiveFile::CommitChanges()
{
    m_batching = false;
    const std::vector<Edit> edits = std::move(m_pending);
    m_pending.clear();
    if (edits.empty())
        return {};
    std::int32_t status = kErrorSuccess;
    const StoreResult written = write(edits, status);
    // After a failure the changes live only in memory; the next read looks at the file.
    if (written.Failed())
        m_haveRead = false;
    return written;
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

std::int32_t HiveFile::CreateKey(RegistryRoot root, const std::string &keyPath, std::uint32_t,
                                 RegistryKey &key)
{
    key = 0;
    std::string path;
    std::int32_t status = sectionPath(root, keyPath, path);
    if (status != kErrorSuccess)
        return status;
    refresh();
    // Most keys exist already; only a missing one costs a write.
    if (!SameName(path, kMachineRoot) && !m_hive.KeyExists(path)) {
        status = apply([path](HiveDocument &hive, bool &changed) {
            changed = hive.CreateKey(path);
            return kErrorSuccess;
        });
        if (status != kErrorSuccess)
            return status;
    }
    key = m_nextKey++;
    m_keys.emplace(key, std::move(path));
    return kErrorSuccess;
}

std::int32_t HiveFile::OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t,
                               RegistryKey &key)
{
    key = 0;
    std::string path;
    std::int32_t status = sectionPath(root, keyPath, path);
    if (status != kErrorSuccess)
        return status;
    if (!SameName(path, kMachineRoot)) {
        status = refresh();
        if (status != kErrorSuccess)
            return status;
        if (!m_hive.KeyExists(path))
            return kErrorFileNotFound;
    }
    key = m_nextKey++;
    m_keys.emplace(key, std::move(path));
    return kErrorSuccess;
}

const HiveValue *HiveFile::findValue(RegistryKey key, const std::string &valueName,
                                     std::int32_t &status)
{
    const auto opened = m_keys.find(key);
    status = opened == m_keys.end() ? kErrorInvalidHandle : kErrorFileNotFound;
    const HiveValue *value
        = opened == m_keys.end() ? nullptr : m_hive.FindValue(opened->second, valueName);
    if (value)
        status = kErrorSuccess;
    return value;
}

std::int32_t HiveFile::QueryValueInfo(RegistryKey key, const std::string &valueName,
                                      std::uint32_t &type, std::uint32_t &size)
{
    std::int32_t status = kErrorSuccess;
    if (const HiveValue *value = findValue(key, valueName, status)) {
        type = value->type;
        size = static_cast<std::uint32_t>(value->data.size());
    }
    return status;
}

std::int32_t HiveFile::QueryValueData(RegistryKey key, const std::string &valueName,
                                      std::uint32_t &type, unsigned char *data, std::uint32_t &size)
{
    std::int32_t status = kErrorSuccess;
    const HiveValue *value = findValue(key, valueName, status);
    if (!value)
        return status;
    const std::uint32_t room = size;
    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (!data)
        return kErrorSuccess;
    if (size > room)
        return kErrorMoreData;
    if (size > 0)
        std::memcpy(data, value->data.data(), size);
    return kErrorSuccess;
}

std::int32_t HiveFile::SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                                const unsigned char *data, std::uint32_t size)
{
    const auto opened = m_keys.find(key);
    if (opened == m_keys.end())
        return kErrorInvalidHandle;
    if (!writableName(valueName) || (!data && size > 0))
        return kErrorInvalidParameter;
    std::string bytes
        = size > 0 ? std::string(reinterpret_cast<const char *>(data), size) : std::string();
    return apply([path = opened->second, valueName, type,
                  bytes = std::move(bytes)](HiveDocument &hive, bool &changed) {
        changed = hive.SetValue(path, valueName, type, bytes);
        return kErrorSuccess;
    });
}

std::int32_t HiveFile::DeleteValue(RegistryKey key, const std::string &valueName)
{
    const auto opened = m_keys.find(key);
    if (opened == m_keys.end())
        return kErrorInvalidHandle;
    return apply([path = opened->second, valueName](HiveDocument &hive, bool &changed) {
        changed = hive.DeleteValue(path, valueName);
        return changed ? kErrorSuccess : kErrorFileNotFound;
    });
}

std::int32_t HiveFile::CloseKey(RegistryKey key)
{
    return m_keys.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

} // namespace pellwick
