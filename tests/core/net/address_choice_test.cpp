// SPDX-License-Identifier: MIT
#include "core/net/connect_race.h"
#include "core/net/global_ipv6.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;

namespace {

// The candidate for the address written as its eight groups, with `flags`:
// t temporary, n tentative, d duplicate, x deprecated; `at` names its interface.
Ipv6Candidate candidate(std::array<std::uint16_t, 8> groups, const std::string &flags = "",
                        std::uint32_t at = 2)
{
    Ipv6Candidate c;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        c.address[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        c.address[2 * i + 1] = static_cast<std::uint8_t>(groups[i]);
    }
    c.temporary = flags.find('t') != std::string::npos;
    c.tentative = flags.find('n') != std::string::npos;
    c.duplicate = flags.find('d') != std::string::npos;
    c.deprecated = flags.find('x') != std::string::npos;
    c.interfaceIndex = at;
    return c;
}

Ipv6Candidate doc(std::uint16_t last, const std::string &flags = "", std::uint32_t at = 2)
{
    return candidate({0x2001, 0xdb8, 0, 0, 0, 0, 0, last}, flags, at);
}

} // namespace

TEST(AddressChoice, TheStableGlobalAddressOfTheDefaultRouteInterface)
{
    // The addresses, the interface of the default route, the address chosen.
    using Row = std::tuple<std::vector<Ipv6Candidate>, std::optional<std::uint32_t>, const char *>;
    for (const auto &[candidates, route, chosen] : {
             // A deprecated stable one loses to a temporary one (stable over
             // temporary is the end-to-end IPv6 run's).
             Row {{doc(1, "x"), doc(9, "t")}, 2, "2001:db8::9"},
             // Never link-local, ULA, loopback, multicast, tentative or duplicate.
             Row {{candidate({0xfe80, 0, 0, 0, 0, 0, 0, 1}),
                   candidate({0xfd00, 0, 0, 0, 0, 0, 0, 2}),
                   candidate({0xfc00, 0, 0, 0, 0, 0, 0, 3}), candidate({0, 0, 0, 0, 0, 0, 0, 1}),
                   candidate({0xff02, 0, 0, 0, 0, 0, 0, 1}), doc(4, "n"), doc(5, "d"),
                   candidate({0x2a00, 0, 0, 0, 0, 0, 0xab, 0})},
                  2,
                  "2a00::ab:0"},
             // Only the interface of the default route; none, nothing.
             Row {{doc(1, "", 3), doc(2)}, 2, "2001:db8::2"},
             Row {{doc(1)}, std::nullopt, "unknown"},
             Row {{doc(1, "", 3)}, 2, "unknown"},
             // RFC 5952 (the end-to-end run mails the kernel's own form): a lone zero kept.
             Row {{candidate({0x2001, 0xdb8, 0, 1, 0, 0, 0, 1})}, 2, "2001:db8:0:1::1"},
         })
        EXPECT_EQ(ChooseGlobalIpv6(candidates, route).value_or("unknown"), chosen);
}

TEST(AddressChoice, ConnectionAttemptsTakeTurnsAndOverlap)
{
    const auto isV6 = [](const std::string &a) {
        return a.find(':') != std::string::npos;
    };
    EXPECT_EQ(InterleaveFamilies<std::string>({"::1", "::2", "::3", "1.1.1.1", "2.2.2.2"}, isV6),
              (std::vector<std::string> {"::1", "1.1.1.1", "::2", "2.2.2.2", "::3"}));
    EXPECT_EQ(InterleaveFamilies<std::string>({"1.1.1.1", "::1"}, isV6),
              (std::vector<std::string> {"1.1.1.1", "::1"}));

    // A hanging first attempt is the end-to-end run's, a lone refused one the
    // real-server test's. Events of a race, in turn: 'b' begin, 't' the timer, 'f' a failure; each
    // step written as the address started (or '-'), '+' for an armed timer, '!' failed.
    using Race = std::tuple<std::size_t, const char *, const char *>; // attempts, events, steps
    for (const auto &[count, events, steps] : {
             // A failure starts the next one at once; the last failure fails the race.
             Race {3, "bfff", "0+ 1+ 2 !"},
             // An early failure while a later one is still trying is not the end.
             Race {2, "btff", "0+ 1 - !"},
             Race {2, "bttf", "0+ 1 - -"},
             Race {0, "b", "!"},
         }) {
        ConnectRace race(count);
        std::string seen;
        for (const char *event = events; *event; ++event) {
            const ConnectRace::Step step = *event == 'b'   ? race.Begin()
                                           : *event == 't' ? race.TimerFired()
                                                           : race.AttemptFailed();
            seen += seen.empty() ? "" : " ";
            seen += step.start ? std::to_string(*step.start) : step.failed ? "" : "-";
            seen += step.armTimer ? "+" : "";
            seen += step.failed ? "!" : "";
        }
        EXPECT_EQ(seen, steps) << count << " " << events;
    }
}
