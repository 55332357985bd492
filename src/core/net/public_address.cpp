// SPDX-License-Identifier: MIT
#include "core/net/public_address.h"

#include "core/net/nat_pmp.h"

#include <algorithm>

namespace pellwick {

namespace {

// The safety net: a move the router did not announce is noticed within it.
constexpr std::chrono::minutes kAskAgain(5);

// The start of what the log says of the STUN server named `server`.
std::string stunServer(const std::string &server)
{
    return "The STUN server " + server;
}
// With UPnP or a STUN server to fall back on, a router silent for four tries
// (3.75 s) is not waited for the whole two minutes.
constexpr int kRouterTriesBeforeStun = 4;
// Each step of the UPnP asking: the search (its MX is 2 s) and each exchange.
constexpr std::chrono::seconds kUpnpStep(3);
constexpr std::chrono::seconds kRenewAtMostEvery(30);

constexpr const char *kSilent = "does not answer";
std::string upnpService(const std::string &what)
{
    return "The router's UPnP service " + what + ".";
}

} // namespace

PublicAddressFinder::PublicAddressFinder(Parts parts)
    : m_parts(std::move(parts))
{
    m_parts.port.SetEvents(this);
    if (m_parts.streams)
        m_parts.streams->SetEvents(this);
}

PublicAddressFinder::~PublicAddressFinder()
{
    m_parts.deadline.Disarm();
    m_parts.port.SetEvents(nullptr);
    if (m_parts.streams) {
        m_parts.streams->Close();
        m_parts.streams->SetEvents(nullptr);
    }
}

void PublicAddressFinder::Configure(PublicAddressSource source, const std::string &stunServer)
{
    if (source == m_source && stunServer == m_stunServer)
        return;
    m_source = source;
    m_stunServer = stunServer;
    if (m_wanted)
        startAsking(true);
}

void PublicAddressFinder::SetWanted(bool wanted)
{
    if (wanted == m_wanted)
        return;
    m_wanted = wanted;
    if (!wanted) {
        m_parts.deadline.Disarm();
        m_parts.port.Close();
        if (m_parts.streams)
            m_parts.streams->Close();
        m_sid.clear();
        m_step = Step::Idle;
        m_settling = false;
        m_address = 0;
        m_epoch.reset();
        return;
    }
    if (const std::string problem = m_parts.port.Open(); !problem.empty())
        log("The public address cannot be asked for: " + problem);
    startAsking(true);
}

void PublicAddressFinder::NetworkChanged()
{
    // Our own address may have changed: the router is to call another.
    m_sid.clear();
    if (m_wanted)
        startAsking(true);
}

bool PublicAddressFinder::stunAllowed() const
{
    return m_source != PublicAddressSource::Router && !m_stunServer.empty();
}

void PublicAddressFinder::startAsking(bool settle)
{
    m_parts.deadline.Disarm();
    if (m_parts.streams)
        m_parts.streams->Cancel();
    m_settling = settle;
    ++m_askings;
    if (m_source == PublicAddressSource::Never) {
        finish(std::nullopt);
        return;
    }
    if (m_source == PublicAddressSource::StunOnly)
        askStun();
    else
        askRouter();
}

void PublicAddressFinder::askRouter()
{
    m_gateway = m_parts.port.DefaultGateway();
    m_triedNatPmp = m_triedUpnp = m_gateway == 0;
    if (m_gateway == 0) {
        log("There is no default gateway to ask for the public address.");
        nextSource();
        return;
    }
    if (m_gateway != m_serviceGateway) {
        // Another router: what the last one offered says nothing of it.
        m_service.reset();
        m_sid.clear();
        m_upnpFirst = false;
    }
    if (m_upnpFirst && m_parts.streams)
        askUpnp();
    else
        askNatPmp();
}

void PublicAddressFinder::askNatPmp()
{
    m_triedNatPmp = true;
    m_step = Step::Router;
    m_sent = 0;
    sendToRouter();
}

void PublicAddressFinder::sendToRouter()
{
    m_parts.port.Send(m_gateway, kNatPmpServerPort, NatPmpAddressRequest());
    ++m_sent;
    m_parts.deadline.Arm(kNatPmpRetransmission.WaitAfter(m_sent), [this] {
        const bool more = stunAllowed() || (m_parts.streams && !m_triedUpnp);
        if (m_sent < (more ? kRouterTriesBeforeStun : kNatPmpRetransmission.tries)) {
            sendToRouter();
            return;
        }
        log("The router " + FormatIpv4(m_gateway) + " does not answer NAT-PMP.");
        nextSource();
    });
}

void PublicAddressFinder::nextSource()
{
    if (!m_triedNatPmp)
        askNatPmp();
    else if (m_parts.streams && !m_triedUpnp)
        askUpnp();
    else if (stunAllowed())
        askStun();
    else
        finish(std::nullopt);
}

void PublicAddressFinder::routerAnswered(std::uint32_t epoch, Ipv4 address, bool announced)
{
    const std::int64_t now = m_parts.steadyMs();
    const bool restarted = m_epoch && NatPmpEpochWentBack(*m_epoch, epoch, now - m_epochAtMs);
    m_epoch = epoch;
    m_epochAtMs = now;
    if (restarted && announced) {
        // What a restarted router announces may predate its new uplink: ask.
        log("The router restarted.");
        startAsking(false);
        return;
    }
    if (!announced)
        m_upnpFirst = false;
    addressTold(address, announced);
}

void PublicAddressFinder::addressTold(Ipv4 address, bool announced)
{
    switch (ReachOf(address)) {
    case AddressReach::None:
        if (announced)
            return;
        log("The router has no external address.");
        nextSource();
        return;
    case AddressReach::BehindAnotherNat:
        if (stunAllowed()) {
            askStun();
            return;
        }
        log("The router's external address " + FormatIpv4(address)
            + " is not public: another NAT lies beyond it.");
        break;
    case AddressReach::Public:
        break;
    }
    finish(address);
}

void PublicAddressFinder::askUpnp()
{
    m_triedUpnp = true;
    m_searched = !m_service;
    if (m_service) {
        exchange(Step::Control, m_service->control, ExternalAddressRequest(*m_service));
        return;
    }
    m_step = Step::Search;
    for (std::string_view target : kWanConnectionServices)
        m_parts.port.Send(kSsdpGroup, kSsdpPort, SsdpSearch(target));
    m_parts.deadline.Arm(kUpnpStep, [this] {
        log("No UPnP service answers the search.");
        nextSource();
    });
}

void PublicAddressFinder::exchange(Step step, const HttpUrl &url, const std::string &request)
{
    m_step = step;
    m_parts.streams->Exchange(url.host, url.port, request);
    m_parts.deadline.Arm(kUpnpStep, [this] {
        m_parts.streams->Cancel();
        if (m_step == Step::Subscribe) {
            log(upnpService("does not answer the subscription"));
            rest();
        } else {
            upnpFailed(kSilent);
        }
    });
}

void PublicAddressFinder::upnpFailed(const std::string &why)
{
    log(upnpService(why));
    m_service.reset();
    m_sid.clear();
    m_upnpFirst = false;
    // The service known from before may have moved (a restarted router
    // listens on another port): look for it afresh.
    if (m_searched) {
        nextSource();
    } else {
        m_searched = true;
        askUpnp();
    }
}

void PublicAddressFinder::ExchangeEnded(const std::string &response, Ipv4 local)
{
    switch (m_step) {
    case Step::Description:
        m_parts.deadline.Disarm();
        m_service = ParseDescription(response, m_location);
        m_serviceGateway = m_gateway;
        if (m_service)
            exchange(Step::Control, m_service->control, ExternalAddressRequest(*m_service));
        else
            upnpFailed(response.empty()
                           ? kSilent
                           : "at " + FormatHttpUrl(m_location) + " offers no WAN connection");
        break;
    case Step::Control:
        m_parts.deadline.Disarm();
        if (const auto address = ParseExternalAddress(response)) {
            m_local = local;
            m_upnpFirst = true;
            const int asking = m_askings;
            addressTold(*address, false);
            // Events follow once the address is known; not when that answer
            // ended the need or began another asking.
            if (asking == m_askings && m_wanted && m_step == Step::Resting && m_service
                && m_service->events)
                subscribe();
        } else {
            upnpFailed(response.empty() ? kSilent : "refuses GetExternalIPAddress");
        }
        break;
    case Step::Subscribe:
        m_parts.deadline.Disarm();
        if (const auto granted = ParseSubscribeAnswer(response)) {
            m_sid = granted->sid;
            m_renewByMs = m_parts.steadyMs() + granted->seconds * 1000LL / 2;
        } else if (!m_sid.empty()) {
            // The router forgot us (it restarted): subscribe anew.
            m_sid.clear();
            subscribe();
            return;
        } else {
            log(upnpService("refuses the event subscription"));
        }
        rest();
        break;
    default:
        break;
    }
}

void PublicAddressFinder::subscribe()
{
    const std::uint16_t port = m_parts.streams->Listen();
    if (port == 0) {
        log("The router's events cannot be heard: no TCP port is free.");
        rest();
        return;
    }
    exchange(Step::Subscribe, *m_service->events,
             SubscribeRequest(*m_service->events, m_sid, m_local, port));
}

std::optional<std::string> PublicAddressFinder::RequestArrived(Ipv4 from, const std::string &bytes)
{
    // Only the router's own host speaks for our subscription.
    const bool router = m_wanted && m_service && from == m_service->control.host;
    const auto event = ReadUpnpEvent(bytes, router ? m_sid : std::string());
    if (!event)
        return std::nullopt;
    if (event->address)
        addressTold(*event->address, true);
    return event->reply;
}

void PublicAddressFinder::askStun()
{
    const auto server = ParseHostPort(m_stunServer, kStunPort);
    if (!server) {
        log(m_stunServer.empty() ? std::string("No STUN server is named.")
                                 : stunServer("\"" + m_stunServer + "\"") + " is no host[:port].");
        finish(std::nullopt);
        return;
    }
    m_stun = *server;
    m_step = Step::Resolving;
    if (const auto literal = ParseIpv4(m_stun.host))
        HostResolved(m_stun.host, *literal);
    else
        m_parts.port.Resolve(m_stun.host);
}

void PublicAddressFinder::HostResolved(const std::string &host, Ipv4 address)
{
    if (m_step != Step::Resolving || host != m_stun.host)
        return;
    if (address == 0) {
        log(stunServer(host) + " has no IPv4 address.");
        finish(std::nullopt);
        return;
    }
    m_stunAddress = address;
    for (std::size_t i = 0; i < m_transaction.size(); i += 6) {
        const std::uint64_t bits = m_parts.random();
        for (std::size_t j = 0; j < 6; ++j)
            m_transaction[i + j] = static_cast<unsigned char>(bits >> (8 * j));
    }
    m_step = Step::Stun;
    m_sent = 0;
    sendToStun();
}

void PublicAddressFinder::sendToStun()
{
    m_parts.port.Send(m_stunAddress, m_stun.port, StunBindingRequest(m_transaction));
    ++m_sent;
    m_parts.deadline.Arm(kStunRetransmission.WaitAfter(m_sent), [this] {
        if (m_sent < kStunRetransmission.tries) {
            sendToStun();
            return;
        }
        log(stunServer(m_stun.host) + " does not answer.");
        finish(std::nullopt);
    });
}

void PublicAddressFinder::DatagramArrived(const Datagram &datagram, bool announcement)
{
    if (!m_wanted)
        return;
    if (m_step == Step::Search && !announcement && datagram.from == m_gateway) {
        if (const auto location = ParseSsdpAnswer(datagram.bytes)) {
            m_location = *location;
            exchange(Step::Description, m_location, HttpGet(m_location));
        }
        return;
    }
    const bool fromRouter
        = datagram.fromPort == kNatPmpServerPort
          && datagram.from == (m_gateway ? m_gateway : m_parts.port.DefaultGateway());
    if (fromRouter && (announcement || m_step == Step::Router)) {
        const NatPmpReply reply = ParseNatPmpReply(datagram.bytes);
        if (const auto *answer = std::get_if<NatPmpAddress>(&reply)) {
            m_parts.deadline.Disarm();
            routerAnswered(answer->epoch, answer->address, announcement);
        } else if (const auto *refusal = std::get_if<NatPmpRefusal>(&reply);
                   refusal && !announcement) {
            m_parts.deadline.Disarm();
            log("The router refuses NAT-PMP: " + NatPmpResultText(refusal->resultCode) + ".");
            nextSource();
        }
        return;
    }
    if (announcement || m_step != Step::Stun || datagram.from != m_stunAddress
        || datagram.fromPort != m_stun.port)
        return;
    if (const auto address = ParseStunBindingResponse(datagram.bytes, m_transaction)) {
        m_parts.deadline.Disarm();
        finish(*address);
    }
}

void PublicAddressFinder::finish(std::optional<Ipv4> learned)
{
    // A failed asking keeps what was known unless the network moved since.
    if (learned || m_settling)
        m_address = learned.value_or(0);
    m_settling = false;
    m_step = Step::Idle;
    if (m_source != PublicAddressSource::Never)
        rest();
    if (m_parts.settled)
        m_parts.settled();
}

void PublicAddressFinder::rest()
{
    m_step = Step::Resting;
    // Each asking renews the subscription: ask before it runs out, though not
    // more often than kRenewAtMostEvery, whatever short time a router grants.
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kAskAgain);
    if (!m_sid.empty())
        wait = std::clamp(std::chrono::milliseconds(m_renewByMs - m_parts.steadyMs()),
                          std::chrono::milliseconds(kRenewAtMostEvery), wait);
    m_parts.deadline.Arm(wait, [this] { startAsking(false); });
}

void PublicAddressFinder::log(const std::string &text) const
{
    if (m_parts.log)
        m_parts.log(text);
}

} // namespace pellwick
