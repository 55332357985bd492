// SPDX-License-Identifier: MIT
// Arbitrary bytes read as a hive file, and made into keys and values as the program
// stores them. What is read holds no more than the file gave and finds each value
// by its name; every hive writes a text that reads back the same and rewrites alike.
#include "core/settings/hive_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <tuple>

namespace {

using pellwick::HiveDocument;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool sameValues(const HiveDocument &a, const HiveDocument &b)
{
    const auto value = [](const pellwick::HiveValue &v) {
        return std::tie(v.name, v.type, v.data);
    };
    return std::ranges::equal(a.Sections(), b.Sections(), [&](const auto &x, const auto &y) {
        return x.path == y.path && std::ranges::equal(x.values, y.values, {}, value, value);
    });
}

void checkRoundTrip(const HiveDocument &hive)
{
    const std::string written = pellwick::FormatHive(hive);
    const auto reread = pellwick::ParseHive(written);
    check(reread.has_value());
    check(sameValues(hive, *reread));
    check(pellwick::FormatHive(*reread) == written);
}

// A text the file's line format can hold as a key name or value name.
bool writable(std::string_view name)
{
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

// Keys and values of any type and bytes, stored the way the hive file stores them.
HiveDocument storedHive(FuzzedDataProvider &input)
{
    HiveDocument hive;
    while (input.remaining_bytes() > 0) {
        std::string path = "HKEY_LOCAL_MACHINE";
        for (int depth = input.ConsumeIntegralInRange(0, 3); depth > 0; --depth) {
            const std::string part = input.ConsumeRandomLengthString(12);
            if (!part.empty() && writable(part) && part.find('\\') == std::string::npos)
                path += '\\' + part;
        }
        const std::string name = input.ConsumeRandomLengthString(12);
        const auto type = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, 11)
                                              : input.ConsumeIntegral<std::uint32_t>();
        const std::string data = input.ConsumeRandomLengthString(300);
        if (writable(name))
            hive.SetValue(path, name, type, data);
    }
    return hive;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    checkRoundTrip(storedHive(input));

    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto hive = pellwick::ParseHive(text);
    if (!hive)
        return 0;

    std::size_t held = 0;
    for (const auto &section : hive->Sections()) {
        held += section.path.size();
        for (const auto &value : section.values) {
            held += value.name.size() + value.data.size();
            check(hive->FindValue(section.path, value.name) == &value);
        }
    }
    check(held <= size);

    // Hex takes three characters a byte, four with the continued lines.
    check(pellwick::FormatHive(*hive).size() <= 4 * size + 16);
    checkRoundTrip(*hive);
    return 0;
}
