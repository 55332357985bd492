// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// An IPv4 address in host order; 0 is 0.0.0.0, "no address".
using Ipv4 = std::uint32_t;

std::string FormatIpv4(Ipv4 address);
// Dotted text with exactly four decimal parts, each 0-255; nullopt otherwise.
std::optional<Ipv4> ParseIpv4(std::string_view text);

// What a router's answer is worth: nothing (0.0.0.0), an address inside another
// NAT (10/8, 172.16/12, 192.168/16 and the carrier-grade 100.64/10), or one the
// internet sees.
enum class AddressReach { None, BehindAnotherNat, Public };
AddressReach ReachOf(Ipv4 address);

// A server named "host[:port]", the port defaulting to `fallbackPort`; nullopt
// for an empty host or a port that is no number from 1 to 65535.
struct HostPort
{
    std::string host;
    std::uint16_t port = 0;
};
std::optional<HostPort> ParseHostPort(std::string_view text, std::uint16_t fallbackPort);

// Reads the big-endian number of `bytes` bytes at `at`; the caller has checked
// the length.
std::uint32_t ReadBigEndian(std::string_view data, std::size_t at, int bytes);
void AppendBigEndian(std::string &data, std::uint32_t value, int bytes);

} // namespace pellwick
