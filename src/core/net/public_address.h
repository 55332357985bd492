// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/deadline.h"
#include "core/net/datagram_port.h"
#include "core/net/stream_port.h"
#include "core/net/stun.h"
#include "core/net/upnp.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pellwick {

// Whom the public address is asked of (the stored PublicAddressSource).
enum class PublicAddressSource {
    Never = 0,
    Router = 1,
    RouterThenStun = 2,
    StunOnly = 3,
};

// Learns the IPv4 address the internet sees from the router (NAT-PMP, else
// UPnP), or from a STUN server the user names, and keeps it current: it hears
// the router's announcements and events, asks again after a network change,
// when the router restarted and every five minutes. Driven by the ports'
// events and the deadline only.
class PublicAddressFinder
    : public DatagramEvents
    , public StreamEvents
{
public:
    struct Parts
    {
        DatagramPort &port;
        // The router's UPnP service is asked over it; none: NAT-PMP only.
        StreamPort *streams;
        // The retransmissions and the next asking, one at a time.
        Deadline &deadline;
        std::function<std::int64_t()> steadyMs;
        std::function<std::uint64_t()> random;
        // A line for the debug log, without its line break.
        std::function<void(const std::string &)> log;
        // An asking ended, with the address moved or not.
        std::function<void()> settled;
    };

    explicit PublicAddressFinder(Parts parts);
    PublicAddressFinder(const PublicAddressFinder &) = delete;
    PublicAddressFinder &operator=(const PublicAddressFinder &) = delete;
    ~PublicAddressFinder() override;

    // Another source or server asks again, when the address is wanted.
    void Configure(PublicAddressSource source, const std::string &stunServer);
    // Only while something uses the address is any packet sent or heard.
    void SetWanted(bool wanted);
    // A local address or route changed: maybe another network, another router.
    void NetworkChanged();

    // The address as last learned, empty while it is not known.
    std::string Address() const { return m_address ? FormatIpv4(m_address) : std::string(); }
    // An answer is awaited that may replace what Address says (at the start,
    // after a network change): an address read now could be stale.
    bool Settling() const { return m_settling; }

    void DatagramArrived(const Datagram &datagram, bool announcement) override;
    void HostResolved(const std::string &host, Ipv4 address) override;
    void ExchangeEnded(const std::string &response, Ipv4 local) override;
    std::optional<std::string> RequestArrived(Ipv4 from, const std::string &bytes) override;

private:
    // Router is NAT-PMP; Search to Subscribe the UPnP service.
    enum class Step {
        Idle,
        Router,
        Search,
        Description,
        Control,
        Subscribe,
        Resolving,
        Stun,
        Resting
    };

    bool stunAllowed() const;
    void startAsking(bool settle);
    void askRouter();
    void askNatPmp();
    void sendToRouter();
    void nextSource();
    void routerAnswered(std::uint32_t epoch, Ipv4 address, bool announced);
    void addressTold(Ipv4 address, bool announced);
    void askUpnp();
    void exchange(Step step, const HttpUrl &url, const std::string &request);
    void upnpFailed(const std::string &why);
    void subscribe();
    void rest();
    void askStun();
    void sendToStun();
    void finish(std::optional<Ipv4> learned);
    void log(const std::string &text) const;

    Parts m_parts;
    PublicAddressSource m_source = PublicAddressSource::Router;
    std::string m_stunServer;
    bool m_wanted = false;
    bool m_settling = false;
    Step m_step = Step::Idle;
    int m_sent = 0;
    Ipv4 m_gateway = 0;
    HostPort m_stun;
    Ipv4 m_stunAddress = 0;
    StunTransaction m_transaction {};
    std::optional<std::uint32_t> m_epoch;
    std::int64_t m_epochAtMs = 0;
    Ipv4 m_address = 0;
    // Which of the router's protocols this asking has tried; the one that
    // answered last is asked first.
    bool m_triedNatPmp = false;
    bool m_triedUpnp = false;
    bool m_upnpFirst = false;
    bool m_searched = false;
    int m_askings = 0;
    // The router's UPnP service as found, and its event subscription.
    HttpUrl m_location;
    std::optional<WanService> m_service;
    Ipv4 m_serviceGateway = 0;
    Ipv4 m_local = 0;
    std::string m_sid;
    std::int64_t m_renewByMs = 0;
};

} // namespace pellwick
