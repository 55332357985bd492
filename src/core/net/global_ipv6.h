// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

// One IPv6 address of this machine as the system lists it.
struct Ipv6Candidate
{
    std::array<std::uint8_t, 16> address {};
    // The interface it is configured on.
    std::uint32_t interfaceIndex = 0;
    // A privacy address, made anew now and then (RFC 8981).
    bool temporary = false;
    // Still being checked for duplicates, or found a duplicate.
    bool tentative = false;
    bool duplicate = false;
    // Kept for connections already open only (preferred lifetime over).
    bool deprecated = false;
};

// The address others can reach this machine at: a global unicast address
// (2000::/3, so never link-local, ULA, loopback or multicast) of the interface
// that carries the IPv6 default route, neither tentative, duplicate nor
// deprecated; a stable one before a temporary one, else the first listed.
// Nullopt without a default route or without such an address.
std::optional<std::string> ChooseGlobalIpv6(const std::vector<Ipv6Candidate> &candidates,
                                            std::optional<std::uint32_t> routeInterface);

// The address as RFC 5952 writes it: lower-case hex, leading zeros dropped,
// the first longest run of two or more zero groups as "::".
std::string Ipv6Text(const std::array<std::uint8_t, 16> &address);

} // namespace pellwick
