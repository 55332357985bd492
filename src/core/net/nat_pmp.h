// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/ipv4.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pellwick {

// NAT-PMP (RFC 6886): the router's own answer to "what is your external address?".
inline constexpr std::uint16_t kNatPmpServerPort = 5351;
// Where the router announces a new external address, to 224.0.0.1.
inline constexpr std::uint16_t kNatPmpAnnouncePort = 5350;
inline constexpr Ipv4 kAllHostsGroup = 0xE0000001;

// The two bytes that ask for the external address: version 0, opcode 0.
std::string NatPmpAddressRequest();

// A wait before the next try of a question sent over UDP: the first `initial`,
// doubling after each, `tries` sends in all; after the last the answer is
// awaited `lastWait` more before the question is given up.
struct Retransmission
{
    std::chrono::milliseconds initial;
    int tries;
    std::chrono::milliseconds lastWait;

    // How long to wait after send number `sent` (1 for the first).
    std::chrono::milliseconds WaitAfter(int sent) const;
};
// 250 ms doubling, 9 tries: about two minutes until the router counts as silent.
inline constexpr Retransmission kNatPmpRetransmission {std::chrono::milliseconds(250), 9,
                                                       std::chrono::milliseconds(64000)};

// The router's answer, or its announcement, carrying its external address.
struct NatPmpAddress
{
    // Seconds since the router's mapping table began; going back means it restarted.
    std::uint32_t epoch = 0;
    Ipv4 address = 0;
};
// An answer of the right form that refuses (result code 1 to 5 and beyond).
struct NatPmpRefusal
{
    std::uint16_t resultCode = 0;
};
// Not a NAT-PMP address answer at all: too short, another version (PCP is
// version 2 on the same port) or another opcode.
struct NatPmpForeign
{
};
using NatPmpReply = std::variant<NatPmpForeign, NatPmpRefusal, NatPmpAddress>;

NatPmpReply ParseNatPmpReply(std::string_view datagram);

// The result code's meaning in words, for the debug log.
std::string NatPmpResultText(std::uint16_t resultCode);

// Whether the router restarted between two of its answers `elapsedMs` apart:
// its epoch must have run on at least 7/8 of that, less two seconds of leeway.
bool NatPmpEpochWentBack(std::uint32_t before, std::uint32_t now, std::int64_t elapsedMs);

} // namespace pellwick
