// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/event_source.h"
#include "core/net/ipv4.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pellwick {

// What one connection may carry either way; more is cut off (a router's
// description and its events are a few kilobytes).
inline constexpr std::size_t kMaxStreamBytes = 256 * 1024;

// What the stream port reports, on the shell's event loop.
class StreamEvents
{
public:
    // The exchange Exchange began has ended: `response` is everything that came
    // back until the peer closed (at most kMaxStreamBytes), `local` the address
    // this end of the connection had. Both empty when no connection was made.
    virtual void ExchangeEnded(const std::string &response, Ipv4 local) = 0;
    // Bytes came on a connection the listener accepted from `from`: `bytes` is
    // all that came on it so far. Returns what to send back before closing the
    // connection, or nullopt while the request is not complete.
    virtual std::optional<std::string> RequestArrived(Ipv4 from, const std::string &bytes) = 0;

protected:
    virtual ~StreamEvents() = default;
};

// The TCP the router's UPnP service is spoken over: one outgoing exchange at a
// time, and a listener for the events the router sends back. The shell gives
// the real one; tests a fake. Every call may come from within a report: the
// next exchange starts in ExchangeEnded, and what RequestArrived sets off may
// close the port.
class StreamPort : public EventSource<StreamEvents>
{
public:
    virtual ~StreamPort() = default;

    // Connects, sends `request` and reads until the peer closes, then reports
    // ExchangeEnded. A new exchange, Cancel or Close drops the running one
    // without a report.
    virtual void Exchange(Ipv4 to, std::uint16_t port, const std::string &request) = 0;
    virtual void Cancel() = 0;
    // Listens on a TCP port of its own on every IPv4 address; returns it, or 0
    // when none can be had. Listening again returns the same port.
    virtual std::uint16_t Listen() = 0;
    // Stops listening, closes every connection and drops the running exchange.
    virtual void Close() = 0;
};

} // namespace pellwick
