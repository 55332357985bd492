// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/event_source.h"
#include "core/net/ipv4.h"

#include <cstdint>
#include <string>

namespace pellwick {

// A UDP datagram as it arrived.
struct Datagram
{
    Ipv4 from = 0;
    std::uint16_t fromPort = 0;
    std::string bytes;
};

// What the datagram port reports, on the shell's event loop.
class DatagramEvents
{
public:
    // A datagram came to the socket that asks (`announcement` false) or to the
    // one that hears the router's announcements.
    virtual void DatagramArrived(const Datagram &datagram, bool announcement) = 0;
    // The answer to Resolve: the name's first IPv4 address, 0 when it has none.
    virtual void HostResolved(const std::string &host, Ipv4 address) = 0;

protected:
    virtual ~DatagramEvents() = default;
};

// The UDP the public address is learned over: one socket that asks (any local
// port) and one that hears 224.0.0.1:5350. The shell gives the real one; tests
// a fake.
class DatagramPort : public EventSource<DatagramEvents>
{
public:
    virtual ~DatagramPort() = default;

    // Opens both sockets; opening what is open does nothing. Why it could not
    // be opened, else empty (an announcement listener that cannot be had is
    // no failure: the asking goes on without it).
    virtual std::string Open() = 0;
    virtual void Close() = 0;
    virtual void Send(Ipv4 to, std::uint16_t port, const std::string &bytes) = 0;
    // Looks the name up without waiting; the answer comes as HostResolved.
    virtual void Resolve(const std::string &host) = 0;
    // The IPv4 default route's gateway, read afresh; 0 when there is none.
    virtual Ipv4 DefaultGateway() = 0;
};

} // namespace pellwick
