// SPDX-License-Identifier: MIT
#include "core/net/nat_pmp.h"

#include <array>

namespace pellwick {

std::string NatPmpAddressRequest()
{
    return std::string(2, '\0');
}

std::chrono::milliseconds Retransmission::WaitAfter(int sent) const
{
    return sent >= tries ? lastWait : initial * (1 << (sent - 1));
}

NatPmpReply ParseNatPmpReply(std::string_view datagram)
{
    constexpr std::size_t kLength = 12;
    constexpr unsigned char kAddressReply = 128;
    if (datagram.size() < 4 || datagram[0] != 0
        || static_cast<unsigned char>(datagram[1]) != kAddressReply)
        return NatPmpForeign {};
    const auto result = static_cast<std::uint16_t>(ReadBigEndian(datagram, 2, 2));
    if (result != 0)
        return NatPmpRefusal {result};
    if (datagram.size() < kLength)
        return NatPmpForeign {};
    return NatPmpAddress {ReadBigEndian(datagram, 4, 4), ReadBigEndian(datagram, 8, 4)};
}

std::string NatPmpResultText(std::uint16_t resultCode)
{
    static constexpr std::array<const char *, 6> kTexts {
        "success",         "unsupported version", "not authorized",
        "network failure", "out of resources",    "unsupported opcode",
    };
    return resultCode < kTexts.size() ? kTexts[resultCode]
                                      : "result code " + std::to_string(resultCode);
}

bool NatPmpEpochWentBack(std::uint32_t before, std::uint32_t now, std::int64_t elapsedMs)
{
    const std::int64_t least = static_cast<std::int64_t>(before) + elapsedMs * 7 / 8 / 1000 - 2;
    return static_cast<std::int64_t>(now) < least;
}

} // namespace pellwick
