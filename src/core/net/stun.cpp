// SPDX-License-Identifier: MIT
#include "core/net/stun.h"

namespace pellwick {

namespace {

constexpr std::uint32_t kMagicCookie = 0x2112A442;
constexpr std::uint32_t kBindingRequest = 0x0001;
constexpr std::uint32_t kBindingSuccess = 0x0101;
constexpr std::uint32_t kMappedAddress = 0x0001;
constexpr std::uint32_t kXorMappedAddress = 0x0020;
constexpr std::size_t kHeader = 20;
constexpr unsigned char kFamilyIpv4 = 0x01;

} // namespace

std::string StunBindingRequest(const StunTransaction &transaction)
{
    std::string message;
    AppendBigEndian(message, kBindingRequest, 2);
    AppendBigEndian(message, 0, 2);
    AppendBigEndian(message, kMagicCookie, 4);
    message.append(transaction.begin(), transaction.end());
    return message;
}

std::optional<Ipv4> ParseStunBindingResponse(std::string_view datagram,
                                             const StunTransaction &transaction)
{
    if (datagram.size() < kHeader || ReadBigEndian(datagram, 0, 2) != kBindingSuccess
        || ReadBigEndian(datagram, 4, 4) != kMagicCookie
        || datagram.substr(8, 12)
               != std::string_view(reinterpret_cast<const char *>(transaction.data()), 12))
        return std::nullopt;
    const std::size_t length = ReadBigEndian(datagram, 2, 2);
    if (length % 4 != 0 || kHeader + length > datagram.size())
        return std::nullopt;
    std::optional<Ipv4> mapped;
    for (std::size_t at = kHeader; at + 4 <= kHeader + length;) {
        const std::uint32_t type = ReadBigEndian(datagram, at, 2);
        const std::size_t size = ReadBigEndian(datagram, at + 2, 2);
        const std::size_t value = at + 4;
        if (value + size > kHeader + length)
            return std::nullopt;
        const bool ipv4
            = size == 8 && static_cast<unsigned char>(datagram[value + 1]) == kFamilyIpv4;
        if (type == kXorMappedAddress && ipv4)
            return ReadBigEndian(datagram, value + 4, 4) ^ kMagicCookie;
        if (type == kMappedAddress && ipv4 && !mapped)
            mapped = ReadBigEndian(datagram, value + 4, 4);
        // Attributes are padded to a multiple of four bytes.
        at = value + (size + 3) / 4 * 4;
    }
    return mapped;
}

} // namespace pellwick
