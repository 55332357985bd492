// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace pellwick {

// The order in which a name's addresses are tried (RFC 8305, section 4): the
// families take turns, starting with the family the resolver put first, each
// keeping the resolver's own order.
template<typename Address, typename IsV6>
std::vector<Address> InterleaveFamilies(const std::vector<Address> &resolved, IsV6 isV6)
{
    if (resolved.empty())
        return {};
    const bool firstV6 = isV6(resolved.front());
    std::vector<Address> first, second, ordered;
    for (const Address &address : resolved)
        (isV6(address) == firstV6 ? first : second).push_back(address);
    for (std::size_t i = 0; i < std::max(first.size(), second.size()); ++i) {
        if (i < first.size())
            ordered.push_back(first[i]);
        if (i < second.size())
            ordered.push_back(second[i]);
    }
    return ordered;
}

// The connection attempts to a name's addresses, staggered (RFC 8305, section
// 5): the next starts when the one before fails or 250 ms after it started,
// whichever is sooner, while the earlier ones go on. The socket starts the
// attempt each step names, (re)arms its timer when asked, keeps the first
// attempt that connects and closes the others.
class ConnectRace
{
public:
    static constexpr int kAttemptDelayMs = 250;

    struct Step
    {
        // The address (by its place in the order) to start connecting to now.
        std::optional<std::size_t> start;
        // Start the timer anew: kAttemptDelayMs from now, TimerFired.
        bool armTimer = false;
        // Every attempt failed: the connection failed.
        bool failed = false;
    };

    explicit ConnectRace(std::size_t count)
        : m_count(count)
    {
    }

    // No address at all fails at once.
    Step Begin() { return m_count == 0 ? Step {std::nullopt, false, true} : startNext(); }
    Step TimerFired() { return startNext(); }
    // One of the attempts started failed.
    Step AttemptFailed()
    {
        --m_open;
        if (m_next < m_count)
            return startNext();
        return {std::nullopt, false, m_open == 0};
    }

private:
    Step startNext()
    {
        if (m_next >= m_count)
            return {};
        ++m_open;
        const std::size_t index = m_next++;
        return {index, m_next < m_count, false};
    }

    std::size_t m_count;
    std::size_t m_next = 0;
    std::size_t m_open = 0;
};

} // namespace pellwick
