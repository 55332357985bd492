// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/ipv4.h"
#include "core/net/nat_pmp.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// STUN (RFC 8489): a server on the internet says which address our question
// came from.
inline constexpr std::uint16_t kStunPort = 3478;
// RTO 500 ms doubling, 7 tries, then 16 RTO for the last answer.
inline constexpr Retransmission kStunRetransmission {std::chrono::milliseconds(500), 7,
                                                     std::chrono::milliseconds(8000)};

using StunTransaction = std::array<unsigned char, 12>;

// A Binding request without attributes.
std::string StunBindingRequest(const StunTransaction &transaction);

// The IPv4 address of a Binding success response to `transaction`: its
// XOR-MAPPED-ADDRESS, else its MAPPED-ADDRESS (older servers). nullopt for
// anything else: another transaction, an error response, a malformed message,
// or one that maps to IPv6 only.
std::optional<Ipv4> ParseStunBindingResponse(std::string_view datagram,
                                             const StunTransaction &transaction);

} // namespace pellwick
