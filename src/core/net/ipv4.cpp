// SPDX-License-Identifier: MIT
#include "core/net/ipv4.h"

#include <charconv>

namespace pellwick {

std::string FormatIpv4(Ipv4 address)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += std::to_string(address >> shift & 0xFF) + (shift ? "." : "");
    return text;
}

std::optional<Ipv4> ParseIpv4(std::string_view text)
{
    Ipv4 address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.')
                return std::nullopt;
            text.remove_prefix(1);
        }
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        const auto digits = static_cast<std::size_t>(end - text.data());
        if (error != std::errc() || digits > 3 || value > 255)
            return std::nullopt;
        address = address << 8 | value;
        text.remove_prefix(digits);
    }
    return text.empty() ? std::optional(address) : std::nullopt;
}

AddressReach ReachOf(Ipv4 address)
{
    if (address == 0)
        return AddressReach::None;
    const auto in = [address](Ipv4 network, int bits) {
        return (address ^ network) >> (32 - bits) == 0;
    };
    if (in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16) || in(0x64400000, 10))
        return AddressReach::BehindAnotherNat;
    return AddressReach::Public;
}

std::optional<HostPort> ParseHostPort(std::string_view text, std::uint16_t fallbackPort)
{
    while (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        text = text.front() == ' ' ? text.substr(1) : text.substr(0, text.size() - 1);
    const std::size_t colon = text.rfind(':');
    HostPort result {std::string(text.substr(0, colon)), fallbackPort};
    if (colon != std::string_view::npos) {
        const std::string_view digits = text.substr(colon + 1);
        unsigned port = 0;
        const auto [end, error]
            = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (error != std::errc() || end != digits.data() + digits.size() || port == 0
            || port > 65535)
            return std::nullopt;
        result.port = static_cast<std::uint16_t>(port);
    }
    if (result.host.empty())
        return std::nullopt;
    return result;
}

std::uint32_t ReadBigEndian(std::string_view data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
    return value;
}

void AppendBigEndian(std::string &data, std::uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        data += static_cast<char>(value >> shift & 0xFF);
}

} // namespace pellwick
