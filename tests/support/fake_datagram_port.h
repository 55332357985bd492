// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/datagram_port.h"
#include "core/net/nat_pmp.h"
#include "core/net/stream_port.h"

#include <optional>
#include <string>
#include <vector>

namespace pellwick::test {

inline std::string NatPmpAnswer(int version, int opcode, int result, std::uint32_t epoch,
                                Ipv4 address)
{
    std::string reply {static_cast<char>(version), static_cast<char>(opcode)};
    AppendBigEndian(reply, static_cast<std::uint32_t>(result), 2);
    AppendBigEndian(reply, epoch, 4);
    AppendBigEndian(reply, address, 4);
    return reply;
}

// The UDP the public address is asked over, as plain state: what was sent,
// what is being looked up; the test makes datagrams arrive.
struct FakeDatagramPort : DatagramPort
{
    struct Sent
    {
        Ipv4 to;
        std::uint16_t port;
        std::string bytes;
    };
    std::string Open() override
    {
        open = true;
        return {};
    }
    void Close() override { open = false; }
    void Send(Ipv4 to, std::uint16_t port, const std::string &data) override
    {
        sent.push_back({to, port, data});
    }
    void Resolve(const std::string &host) override { resolving.push_back(host); }
    Ipv4 DefaultGateway() override { return gateway; }
    // The gateway tells its address, as an answer or as an announcement.
    void RouterSays(std::uint32_t epoch, Ipv4 address, bool announced = false)
    {
        Arrive(gateway, kNatPmpServerPort, NatPmpAnswer(0, 128, 0, epoch, address), announced);
    }
    void Arrive(Ipv4 from, std::uint16_t fromPort, const std::string &data, bool announcement)
    {
        Events()->DatagramArrived({from, fromPort, data}, announcement);
    }

    bool open = false;
    Ipv4 gateway = 0xC0A80001; // 192.168.0.1
    std::vector<Sent> sent;
    std::vector<std::string> resolving;
};

// The TCP the router's UPnP service is asked over: what was asked, where; the
// test answers the running exchange and brings the router's events.
struct FakeStreamPort : StreamPort
{
    void Exchange(Ipv4 to, std::uint16_t port, const std::string &request) override
    {
        asked.push_back({to, port, request});
    }
    void Cancel() override { }
    std::uint16_t Listen() override { return listening = 4000; }
    void Close() override { listening = 0; }
    void Answer(const std::string &response) { Events()->ExchangeEnded(response, 0xC0A8000A); }
    std::optional<std::string> Event(Ipv4 from, const std::string &bytes)
    {
        return Events()->RequestArrived(from, bytes);
    }

    std::vector<FakeDatagramPort::Sent> asked;
    std::uint16_t listening = 0;
};

} // namespace pellwick::test
