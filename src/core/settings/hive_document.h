#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellwick {

// One value of a hive: its name, its type code and its raw bytes.
struct HiveValue
{
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// One key that holds values or stands alone, named by its whole path including
// the root ("HKEY_LOCAL_MACHINE\Software\Pellwick").
struct HiveSection
{
    std::string path;
    std::vector<HiveValue> values;
};

// The keys of a hive in the order they first appeared. Paths and names are
// matched without regard to case and keep the spelling they first had. A key
// exists when its own section or one below it does, so parents need no section.
class HiveDocument
{
public:
    HiveDocument() = default;
    // Takes sections whose paths differ, each with values whose names differ.
    explicit HiveDocument(std::vector<HiveSection> sections);

    const std::vector<HiveSection> &Sections() const { return m_sections; }

    bool KeyExists(std::string_view path) const;
    const HiveSection *FindSection(std::string_view path) const;
    const HiveValue *FindValue(std::string_view path, std::string_view name) const;

    // Adds the key when it does not exist yet, spelled like the keys it shares a
    // path with; true when the hive changed.
    bool CreateKey(std::string_view path);
    // Stores the value under the key (created when missing); true when the hive changed.
    bool SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                  std::string_view data);
    // False when the key holds no such value.
    bool DeleteValue(std::string_view path, std::string_view name);

private:
    HiveSection *findSection(std::string_view path);
    HiveSection &section(std::string_view path);
    std::string respell(std::string_view path) const;

    std::vector<HiveSection> m_sections;
};

// ASCII letters compared without regard to case, every other byte exactly.
bool SameName(std::string_view a, std::string_view b);
// The name with its ASCII letters in lower case: equal for names that are the same.
std::string FoldedName(std::string_view name);

} // namespace pellwick
