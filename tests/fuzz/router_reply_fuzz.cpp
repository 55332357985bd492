// SPDX-License-Identifier: MIT
// Arbitrary datagrams from the router and the STUN server, as answers or as
// announcements, to a finder that asks the router then STUN: the parsers never
// read past what arrived, and whatever the finder learns is an address it was told.
#include "core/net/nat_pmp.h"
#include "core/net/public_address.h"
#include "core/net/stun.h"

#include "support/fake_mail.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

struct Port : pellwick::DatagramPort
{
    std::string Open() override { return {}; }
    void Close() override { }
    void Send(pellwick::Ipv4, std::uint16_t, const std::string &) override { }
    void Resolve(const std::string &) override { }
    pellwick::Ipv4 DefaultGateway() override { return 0xC0A80001; }
    void Arrive(const pellwick::Datagram &datagram, bool announcement)
    {
        Events()->DatagramArrived(datagram, announcement);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Port port;
    pellwick::test::ManualDeadline deadline;
    std::int64_t now = 0;
    pellwick::PublicAddressFinder finder(
        {port, deadline, [&now] { return now; }, [] { return 0u; }, nullptr, nullptr});
    finder.Configure(pellwick::PublicAddressSource::RouterThenStun, "198.51.100.9");
    finder.SetWanted(true);
    while (input.remaining_bytes() > 0) {
        const auto step = input.ConsumeIntegralInRange<int>(0, 3);
        if (step == 0) {
            deadline.Expire();
            continue;
        }
        now += input.ConsumeIntegralInRange<std::int64_t>(0, 400'000);
        const bool fromStun = step == 3;
        const std::string bytes = input.ConsumeRandomLengthString(64);
        pellwick::ParseNatPmpReply(bytes);
        pellwick::ParseStunBindingResponse(bytes, {});
        port.Arrive({fromStun ? 0xC6336409 : 0xC0A80001u,
                     static_cast<std::uint16_t>(fromStun ? pellwick::kStunPort
                                                         : pellwick::kNatPmpServerPort),
                     bytes},
                    step == 2);
        if (!finder.Address().empty() && !pellwick::ParseIpv4(finder.Address()))
            std::abort();
    }
    return 0;
}
