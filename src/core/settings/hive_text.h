#pragma once

#include "core/settings/hive_document.h"

#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// Reads a hive in the registry's export format "REGEDIT4": the header line, then
// sections "[path]" with lines "name"=data, where data is a quoted text, dword:
// with eight hex digits, hex: (REG_BINARY) or hex(N): with byte pairs that may be
// continued over lines ending in "\". Blank lines and lines starting with ";" are
// skipped; line ends may be CRLF or LF. Anything else, and a last line without its
// line end (a file cut short), makes the whole text unreadable: nullopt. The empty
// text is an empty hive.
std::optional<HiveDocument> ParseHive(std::string_view text);

// Writes the hive in the same format with CRLF line ends, as the registry's own
// export does, so that it imports as it stands. A REG_SZ of text plus exactly one
// NUL and no line break is written quoted, a 4-byte REG_DWORD as dword:, anything
// else as hex bytes; reading the result gives back every type and byte.
std::string FormatHive(const HiveDocument &hive);

} // namespace pellwick
