// SPDX-License-Identifier: MIT
#include "core/net/global_ipv6.h"

#include <cstdio>

namespace pellwick {

std::optional<std::string> ChooseGlobalIpv6(const std::vector<Ipv6Candidate> &candidates,
                                            std::optional<std::uint32_t> routeInterface)
{
    if (!routeInterface)
        return std::nullopt;
    const Ipv6Candidate *chosen = nullptr;
    for (const Ipv6Candidate &candidate : candidates) {
        const bool usable = candidate.interfaceIndex == *routeInterface
                            && (candidate.address[0] & 0xE0) == 0x20 && !candidate.tentative
                            && !candidate.duplicate && !candidate.deprecated;
        if (usable && (!chosen || (chosen->temporary && !candidate.temporary)))
            chosen = &candidate;
    }
    if (!chosen)
        return std::nullopt;
    return Ipv6Text(chosen->address);
}

std::string Ipv6Text(const std::array<std::uint8_t, 16> &address)
{
    std::array<unsigned, 8> groups {};
    for (std::size_t i = 0; i < groups.size(); ++i)
        groups[i] = static_cast<unsigned>(address[2 * i] << 8 | address[2 * i + 1]);
    // The longest run of zero groups, the first of equal ones; one alone stays.
    std::size_t runStart = groups.size(), runLength = 1;
    for (std::size_t i = 0; i < groups.size();) {
        std::size_t end = i;
        while (end < groups.size() && groups[end] == 0)
            ++end;
        if (end - i > runLength) {
            runStart = i;
            runLength = end - i;
        }
        i = end == i ? i + 1 : end;
    }
    std::string text;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i == runStart) {
            text += "::";
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':')
            text += ':';
        char group[8];
        std::snprintf(group, sizeof group, "%x", groups[i]);
        text += group;
    }
    return text;
}

} // namespace pellwick
