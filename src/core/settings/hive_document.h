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
// matched without regard to case and keep the spelling they first had.
class HiveDocument
{
public:
    HiveDocument() = default;
    // Takes sections whose paths differ, each with values whose names differ.
    explicit HiveDocument(std::vector<HiveSection> sections);

    const std::vector<HiveSection> &Sections() const { return m_sections; }
    const HiveValue *FindValue(std::string_view path, std::string_view name) const;

    // Stores the value under the key, which is added when missing, spelled like
    // the keys it shares a path with; true when the hive changed.
    bool SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                  std::string_view data);
    // False when the key holds no such value.
    bool DeleteValue(std::string_view path, std::string_view name);

private:
    HiveSection *findSection(std::string_view path) const;
    std::string respell(std::string_view path) const;

    std::vector<HiveSection> m_sections;
};

// The name with its ASCII letters in lower case: equal for names that are the same.
std::string FoldedName(std::string_view name);

} // namespace pellwick
