// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellwick {

struct HiveValue
{
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// One key, named by its whole path from the root ("HKEY_LOCAL_MACHINE\Software").
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
    // Adds a missing key spelled like the keys it shares a path with. Both give
    // whether the hive changed.
    bool SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                  std::string_view data);
    bool DeleteValue(std::string_view path, std::string_view name);

private:
    HiveSection *findSection(std::string_view path) const;
    std::string respell(std::string_view path) const;

    std::vector<HiveSection> m_sections;
};

// Reads a hive in the registry's export format "REGEDIT4": the header line, then
// sections "[path]" with lines "name"=data, where data is a quoted text, dword:
// with eight hex digits, hex: (REG_BINARY) or hex(N): with byte pairs that may be
// continued over lines ending in "\". Blank lines and lines starting with ";" are
// skipped; line ends may be CRLF or LF. Anything else, and a last line without its
// line end (a file cut short), makes the whole text unreadable: nullopt. The empty
// text is an empty hive. UTF-8 (a byte-order mark is skipped), or UTF-16LE
// after its byte-order mark, as regedit exports.
std::optional<HiveDocument> ParseHive(std::string_view text);

// Writes the hive in the same format with CRLF line ends, as the registry's own
// export does, so that it imports as it stands. A REG_SZ of text plus exactly one
// NUL and no line break is written quoted, a 4-byte REG_DWORD as dword:, anything
// else as hex bytes; reading the result gives back every type and byte.
std::string FormatHive(const HiveDocument &hive);

} // namespace pellwick
