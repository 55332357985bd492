// SPDX-License-Identifier: MIT
#include "core/net/public_address.h"

#include "core/net/nat_pmp.h"

namespace pellwick {

namespace {

// The safety net: a move the router did not announce is noticed within it.
constexpr std::chrono::minutes kAskAgain(5);

// The start of what the log says of the STUN server named `server`.
std::string stunServer(const std::string &server)
{
    return "The STUN server " + server;
}
// With a STUN server to fall back on, a router silent for four tries (3.75 s)
// is not waited for the whole two minutes.
constexpr int kRouterTriesBeforeStun = 4;

} // namespace

PublicAddressFinder::PublicAddressFinder(Parts parts)
    : m_parts(std::move(parts))
{
    m_parts.port.SetEvents(this);
}

PublicAddressFinder::~PublicAddressFinder()
{
    m_parts.deadline.Disarm();
    m_parts.port.SetEvents(nullptr);
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
    m_settling = settle;
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
    if (m_gateway == 0) {
        log("There is no default gateway to ask for the public address.");
        routerSilent();
        return;
    }
    m_step = Step::Router;
    m_sent = 0;
    sendToRouter();
}

void PublicAddressFinder::sendToRouter()
{
    m_parts.port.Send(m_gateway, kNatPmpServerPort, NatPmpAddressRequest());
    ++m_sent;
    m_parts.deadline.Arm(kNatPmpRetransmission.WaitAfter(m_sent), [this] {
        if (m_sent < (stunAllowed() ? kRouterTriesBeforeStun : kNatPmpRetransmission.tries)) {
            sendToRouter();
            return;
        }
        log("The router " + FormatIpv4(m_gateway) + " does not answer NAT-PMP.");
        routerSilent();
    });
}

void PublicAddressFinder::routerSilent()
{
    if (stunAllowed())
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
    switch (ReachOf(address)) {
    case AddressReach::None:
        if (announced)
            return;
        log("The router has no external address.");
        routerSilent();
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
            routerSilent();
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
    m_step = m_source == PublicAddressSource::Never ? Step::Idle : Step::Resting;
    if (m_step == Step::Resting)
        m_parts.deadline.Arm(kAskAgain, [this] { startAsking(false); });
    if (m_parts.settled)
        m_parts.settled();
}

void PublicAddressFinder::log(const std::string &text) const
{
    if (m_parts.log)
        m_parts.log(text);
}

} // namespace pellwick
