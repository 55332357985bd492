#include "platform/posix/hive_file.h"

#include "core/settings/hive_text.h"

#include <sys/stat.h>

#include <iostream>

namespace pellwick {

namespace {

std::filesystem::path beside(const std::filesystem::path &file, std::string_view suffix)
{
    std::filesystem::path sibling = file;
    sibling += std::string(suffix);
    return sibling;
}

// An earlier broken hive kept beside is not overwritten either.
std::string keepCorrupt(const std::filesystem::path &file, const std::string &content)
{
    std::filesystem::path kept = beside(file, ".corrupt");
    std::error_code error;
    for (int n = 2;
         std::filesystem::exists(kept, error) || std::filesystem::is_symlink(kept, error); ++n)
        kept = beside(file, ".corrupt." + std::to_string(n));
    return ReplaceFileDurably(kept, content, S_IRUSR | S_IWUSR);
}

} // namespace

HiveFile::HiveFile(std::filesystem::path file, std::string_view keyPath, Report report)
    : m_file(std::move(file))
    , m_section("HKEY_LOCAL_MACHINE\\" + std::string(keyPath))
    , m_report(std::move(report))
{
    if (!m_report)
        m_report = [](const std::string &line) {
            std::cerr << line << '\n';
        };
}

void HiveFile::refresh()
{
    // What a writer killed in the middle left is cleared once, at the first look.
    if (!m_tidied) {
        m_tidied = true;
        RemoveStaleTemporariesIfIdle(m_file, beside(m_file, ".lock"));
    }
    FileStamp stamp;
    if (!StampOf(m_file, stamp)) {
        m_haveRead = false;
        m_hive = HiveDocument {};
        return;
    }
    if (m_haveRead && stamp == m_stamp)
        return;
    m_haveRead = true;
    m_stamp = stamp;
    m_hive = HiveDocument {};
    std::string content;
    std::string problem = ReadRegularFile(m_file, kMaxHiveSize, content, m_stamp);
    if (problem.empty()) {
        if (auto parsed = ParseHive(content))
            m_hive = std::move(*parsed);
        else
            problem = "it is not a registry export file (kept as " + m_file.filename().string()
                      + ".corrupt when the settings are next saved)";
    }
    if (!problem.empty())
        m_report("pellwick: cannot read the settings file " + m_file.string() + ": " + problem
                 + "; the settings take their defaults");
}

std::optional<StoredValue> HiveFile::Read(const std::string &name)
{
    // Uncommitted writes work on the file as it was at the first of them.
    if (m_pending.empty())
        refresh();
    const HiveValue *value = m_hive.FindValue(m_section, name);
    return value ? std::optional(StoredValue {value->type, value->data}) : std::nullopt;
}

bool HiveFile::apply(HiveDocument &hive, const Edit &edit) const
{
    const auto &[name, value] = edit;
    return value ? hive.SetValue(m_section, name, value->type, value->bytes)
                 : hive.DeleteValue(m_section, name);
}

void HiveFile::Write(const std::string &name, std::optional<StoredValue> value)
{
    if (m_pending.empty())
        refresh();
    m_pending.emplace_back(name, std::move(value));
    apply(m_hive, m_pending.back());
}

std::string HiveFile::Commit()
{
    const std::vector<Edit> edits = std::exchange(m_pending, {});
    if (edits.empty())
        return {};
    std::string failure = write(edits);
    if (failure.empty())
        return {};
    // The changes live only in memory now; the next read looks at the file.
    m_haveRead = false;
    failure = "pellwick: cannot save the settings to " + m_file.string() + ": " + failure;
    m_report(failure);
    return failure;
}

std::string HiveFile::write(const std::vector<Edit> &edits)
{
    for (const auto &[name, value] : edits) {
        // The file's line format could not hold such a name.
        if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos)
            return "a value name holds a line break";
    }
    if (std::string folder = PrepareOwnFolder(m_file.parent_path()); !folder.empty())
        return folder;
    const FileLock lock(beside(m_file, ".lock"));
    if (!lock.Failure().empty())
        return lock.Failure();
    // A writer killed before its rename leaves its temporary file; each would stay.
    RemoveStaleTemporaries(m_file);

    std::string content;
    FileStamp stamp;
    // What could not be read must not be replaced blindly.
    if (std::string read = ReadRegularFile(m_file, kMaxHiveSize, content, stamp); !read.empty())
        return read;
    auto parsed = ParseHive(content);
    const bool corrupt = !parsed;
    HiveDocument hive = corrupt ? HiveDocument {} : std::move(*parsed);
    bool changed = false;
    for (const Edit &edit : edits)
        changed = apply(hive, edit) || changed;
    if (changed) {
        if (std::string kept = corrupt ? keepCorrupt(m_file, content) : ""; !kept.empty())
            return kept;
        if (std::string replaced = ReplaceFileDurably(m_file, FormatHive(hive), S_IRUSR | S_IWUSR);
            !replaced.empty())
            return replaced;
    }
    // What was just read or written is what the file holds now: no need to parse it again.
    if (changed || !corrupt) {
        m_haveRead = StampOf(m_file, m_stamp);
        m_hive = std::move(hive);
    }
    return {};
}

} // namespace pellwick
