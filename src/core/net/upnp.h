// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/ipv4.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellwick {

// UPnP IGD: the router's WAN connection service is found by SSDP, read from
// its description and asked over SOAP; GENA tells us when its address moves.
// Everything here reads what a router sent, so nothing trusts a length or
// nests without bound.
inline constexpr Ipv4 kSsdpGroup = 0xEFFFFFFA; // 239.255.255.250
inline constexpr std::uint16_t kSsdpPort = 1900;
// The services that know the external address, each searched for by name.
inline constexpr std::array<std::string_view, 3> kWanConnectionServices {
    "urn:schemas-upnp-org:service:WANIPConnection:1",
    "urn:schemas-upnp-org:service:WANIPConnection:2",
    "urn:schemas-upnp-org:service:WANPPPConnection:1"};
// What the event subscription asks for; the router may grant less.
inline constexpr int kSubscriptionSeconds = 1800;

// An HTTP request or response as far as it came. A response is read once the
// peer has closed, so its body may run to the end.
struct HttpMessage
{
    bool complete = false; // a request's body may still be on its way
    std::string method; // a request's, else empty
    int status = 0; // a response's, else 0
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // The first header of that name, whatever its case; empty when there is none.
    std::string Header(std::string_view name) const;
};
// nullopt for anything that is not HTTP/1.x: no status or request line, a
// header line without a colon, a broken length or chunk.
std::optional<HttpMessage> ParseHttp(std::string_view bytes, bool closed);

// An http:// URL with an IPv4 literal for its host; nothing else is followed.
struct HttpUrl
{
    Ipv4 host = 0;
    std::uint16_t port = 80;
    std::string path = "/";
};
std::optional<HttpUrl> ParseHttpUrl(std::string_view text);
// `reference` taken relative to `base`: absolute, from the host's root, or
// beside the base's last path part.
std::optional<HttpUrl> ResolveHttpUrl(const HttpUrl &base, std::string_view reference);
std::string FormatHttpUrl(const HttpUrl &url);

std::string SsdpSearch(std::string_view target);
// The LOCATION of an answer to one of our searches, when its ST is one of ours.
std::optional<HttpUrl> ParseSsdpAnswer(std::string_view datagram);

struct WanService
{
    std::string type;
    HttpUrl control;
    std::optional<HttpUrl> events;
};
std::string HttpGet(const HttpUrl &url);
// The first WAN connection service of the device description read from
// `location` (a whole HTTP response).
std::optional<WanService> ParseDescription(std::string_view response, const HttpUrl &location);

std::string ExternalAddressRequest(const WanService &service);
// NewExternalIPAddress of the SOAP answer; 0 when the router has none.
std::optional<Ipv4> ParseExternalAddress(std::string_view response);

// A new subscription (empty `sid`) calls us back at local:port; with a SID
// the one we hold is renewed.
std::string SubscribeRequest(const HttpUrl &events, std::string_view sid, Ipv4 local,
                             std::uint16_t port);
struct Subscription
{
    std::string sid;
    int seconds = 0; // granted; "infinite" counts as a day
};
std::optional<Subscription> ParseSubscribeAnswer(std::string_view response);

// An event the router sent to our listener: what to answer, and the external
// address it tells when it is for subscription `sid`.
struct UpnpEvent
{
    std::string reply;
    std::optional<Ipv4> address;
};
// nullopt while the request is not complete.
std::optional<UpnpEvent> ReadUpnpEvent(std::string_view bytes, std::string_view sid);

} // namespace pellwick
