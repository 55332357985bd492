// SPDX-License-Identifier: MIT
#include "core/net/connect_race.h"
#include "core/net/global_ipv6.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pellwick::ConnectRace;
using pellwick::Ipv6Candidate;

namespace {

// The candidate for "2001:db8::<last>" or another prefix's first two bytes.
Ipv6Candidate at(std::uint16_t prefix, std::uint8_t last, std::uint32_t interfaceIndex = 2)
{
    Ipv6Candidate candidate;
    candidate.address[0] = static_cast<std::uint8_t>(prefix >> 8);
    candidate.address[1] = static_cast<std::uint8_t>(prefix);
    if (prefix == 0x2001) {
        candidate.address[2] = 0x0d;
        candidate.address[3] = 0xb8;
    }
    candidate.address[15] = last;
    candidate.interfaceIndex = interfaceIndex;
    return candidate;
}

Ipv6Candidate with(Ipv6Candidate candidate, bool Ipv6Candidate::*flag)
{
    candidate.*flag = true;
    return candidate;
}

} // namespace

TEST(AddressChoice, TheStableGlobalAddressOfTheDefaultRouteInterface)
{
    const auto temporary = &Ipv6Candidate::temporary;
    struct Row
    {
        const char *why;
        std::vector<Ipv6Candidate> candidates;
        std::optional<std::uint32_t> route;
        const char *chosen; // nullptr: unknown
    };
    const std::vector<Row> rows {
        {"stable over temporary, whichever comes first",
         {with(at(0x2001, 9), temporary), at(0x2001, 1), with(at(0x2001, 8), temporary)},
         2,
         "2001:db8::1"},
        {"a temporary one when no stable one is usable",
         {with(at(0x2001, 1), &Ipv6Candidate::deprecated), with(at(0x2001, 9), temporary)},
         2,
         "2001:db8::9"},
        {"never link-local, ULA, loopback, multicast, tentative or duplicate",
         {at(0xfe80, 1), at(0xfd00, 2), at(0xfc00, 3), at(0, 1), at(0xff02, 1),
          with(at(0x2001, 4), &Ipv6Candidate::tentative),
          with(at(0x2001, 5), &Ipv6Candidate::duplicate), at(0x2a00, 6)},
         2,
         "2a00::6"},
        {"only the interface of the default route",
         {at(0x2001, 1, 3), at(0x2001, 2, 2)},
         2,
         "2001:db8::2"},
        {"no default route", {at(0x2001, 1)}, std::nullopt, nullptr},
        {"nothing usable", {at(0xfe80, 1), at(0x2001, 1, 3)}, 2, nullptr},
    };
    for (const Row &row : rows) {
        const auto chosen = pellwick::ChooseGlobalIpv6(row.candidates, row.route);
        EXPECT_EQ(chosen.value_or("unknown"), row.chosen ? row.chosen : "unknown") << row.why;
    }
    // RFC 5952 text: the first longest zero run shortened, a single zero kept.
    using Bytes = std::array<std::uint8_t, 16>;
    EXPECT_EQ(
        pellwick::Ipv6Text(Bytes {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}),
        "2001:db8:0:1::1");
    EXPECT_EQ(
        pellwick::Ipv6Text(Bytes {0x20, 0x01, 0, 0, 0, 0, 0xab, 0xcd, 0, 0, 0, 0, 0, 0, 0, 0}),
        "2001:0:0:abcd::");
    EXPECT_EQ(pellwick::Ipv6Text(Bytes {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "::");
    EXPECT_EQ(
        pellwick::Ipv6Text(Bytes {0x20, 0x01, 0x0d, 0xb8, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}),
        "2001:db8:1::1:0:0");
}

TEST(AddressChoice, ConnectionAttemptsTakeTurnsAndOverlap)
{
    const auto isV6 = [](const std::string &a) {
        return a.find(':') != std::string::npos;
    };
    EXPECT_EQ(pellwick::InterleaveFamilies<std::string>({"::1", "::2", "::3", "1.1.1.1", "2.2.2.2"},
                                                        isV6),
              (std::vector<std::string> {"::1", "1.1.1.1", "::2", "2.2.2.2", "::3"}));
    EXPECT_EQ(pellwick::InterleaveFamilies<std::string>({"1.1.1.1", "::1"}, isV6),
              (std::vector<std::string> {"1.1.1.1", "::1"}));

    // Events of a race, in turn: 'b' begin, 't' the timer, 'f' a failure; each
    // step written as the address started (or '-'), '+' for an armed timer, '!' failed.
    struct Row
    {
        std::size_t count;
        const char *events;
        const char *steps;
    };
    for (const Row &row : {
             // The first hangs: the second starts 250 ms later, the third 250 ms after that.
             Row {3, "btt", "0+ 1+ 2"},
             // A failure starts the next one at once; the last failure fails the race.
             Row {3, "bfff", "0+ 1+ 2 !"},
             // An early failure while a later one is still trying is not the end.
             Row {2, "btff", "0+ 1 - !"},
             Row {2, "bttf", "0+ 1 - -"},
             Row {1, "bf", "0 !"},
             Row {0, "b", "!"},
         }) {
        ConnectRace race(row.count);
        std::string steps;
        for (const char *event = row.events; *event; ++event) {
            const ConnectRace::Step step = *event == 'b'   ? race.Begin()
                                           : *event == 't' ? race.TimerFired()
                                                           : race.AttemptFailed();
            steps += steps.empty() ? "" : " ";
            steps += step.start ? std::to_string(*step.start) : step.failed ? "" : "-";
            steps += step.armTimer ? "+" : "";
            steps += step.failed ? "!" : "";
        }
        EXPECT_EQ(steps, row.steps) << row.count << " " << row.events;
    }
}
