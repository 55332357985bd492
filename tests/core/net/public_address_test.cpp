// SPDX-License-Identifier: MIT
#include "core/net/nat_pmp.h"
#include "core/net/public_address.h"
#include "core/net/stun.h"
#include "core/net/upnp.h"

#include "support/fake_datagram_port.h"
#include "support/fake_mail.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace pellwick;
using namespace std::chrono_literals;

namespace {

constexpr StunTransaction kTransaction {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A STUN message: type, then the attributes as given (type, value).
std::string stun(std::uint32_t type, std::vector<std::pair<std::uint32_t, std::string>> attributes,
                 const StunTransaction &transaction = kTransaction)
{
    std::string body;
    for (const auto &[attribute, value] : attributes) {
        AppendBigEndian(body, attribute, 2);
        AppendBigEndian(body, static_cast<std::uint32_t>(value.size()), 2);
        body += value + std::string((4 - value.size() % 4) % 4, '\0');
    }
    std::string message;
    AppendBigEndian(message, type, 2);
    AppendBigEndian(message, static_cast<std::uint32_t>(body.size()), 2);
    AppendBigEndian(message, 0x2112A442, 4);
    message.append(transaction.begin(), transaction.end());
    return message + body;
}

// An IPv4 address attribute's value, port 0x1234.
std::string ipv4Value(std::uint32_t address)
{
    std::string value("\0\1\x12\x34", 4);
    AppendBigEndian(value, address, 4);
    return value;
}

std::string answer(const std::string &body, const std::string &headers = "")
{
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size())
           + "\r\n\r\n" + body;
}
std::string service(const std::string &type, const std::string &control)
{
    return "<service><serviceType>urn:schemas-upnp-org:service:" + type
           + "</serviceType><controlURL>" + control
           + "</controlURL><eventSubURL>/evt</eventSubURL></service>";
}
const std::string kDescription
    = answer("<root><device><serviceList>" + service("Layer3Forwarding:1", "/l3f")
             + "</serviceList><deviceList><device><serviceList>"
             + service("WANIPConnection:2", "ctl?a&amp;b") + service("WANPPPConnection:1", "/ppp")
             + "</serviceList></device></deviceList></device></root>");
const std::string kEvent = "<e:propertyset><e:property><ExternalIPAddress>203.0.113.9"
                           "</ExternalIPAddress></e:property></e:propertyset>";
std::string notify(const std::string &sid, const std::string &body = kEvent)
{
    return "NOTIFY / HTTP/1.1\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: " + sid
           + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// What each reading found, in words; empty for nothing.
std::string shown(const std::optional<HttpUrl> &url)
{
    return url ? FormatHttpUrl(*url) : "";
}
std::string shown(const std::optional<Ipv4> &ip)
{
    return ip ? FormatIpv4(*ip) : "";
}
std::string shown(const std::optional<WanService> &s)
{
    return s ? s->type + " " + FormatHttpUrl(s->control) + " " + shown(s->events) : "";
}
std::string shown(const std::optional<Subscription> &s)
{
    return s ? s->sid + " " + std::to_string(s->seconds) : "";
}
std::string shown(const std::optional<UpnpEvent> &e)
{
    return e ? e->reply.substr(9, 3) + " " + (e->address ? FormatIpv4(*e->address) : "-") : "";
}

constexpr Ipv4 kGateway = 0xC0A80001; // 192.168.0.1
constexpr Ipv4 kStunServer = 0xC6336409; // 198.51.100.9

// A finder over fake ports, configured, then wanted.
struct Finder
{
    Finder(PublicAddressSource source, const std::string &stunServer, bool withUpnp = false)
        : upnp(withUpnp)
    {
        finder.Configure(source, stunServer);
        EXPECT_TRUE(port.sent.empty()); // nothing until the address is wanted
        finder.SetWanted(true);
        EXPECT_TRUE(port.open);
    }
    std::vector<std::string> settled; // every settling, the address it left
    std::string log;
    std::int64_t now = 1000;
    bool upnp;
    test::FakeDatagramPort port;
    test::FakeStreamPort streams;
    test::ManualDeadline deadline;
    PublicAddressFinder finder {{port, upnp ? &streams : nullptr, deadline, [this] { return now; },
                                 [] { return 0x0C0B0A0908070605u; },
                                 [this](const std::string &line) { log += line + "\n"; },
                                 [this] {
                                     settled.push_back(finder.Address());
                                 }}};

    void router(const std::string &reply, bool announced = false)
    {
        port.Arrive(kGateway, kNatPmpServerPort, reply, announced);
    }
    // The router never answers: its retransmissions run out.
    void routerSilent()
    {
        while (deadline.armed < 5min && port.sent.back().to == kGateway)
            deadline.Expire();
    }
    // Where the datagrams went, in turn: g the gateway, s the STUN server, m SSDP.
    std::string sends() const
    {
        std::string where;
        for (const auto &sent : port.sent)
            where += sent.to == kGateway      ? 'g'
                     : sent.to == kStunServer ? 's'
                     : sent.to == kSsdpGroup  ? 'm'
                                              : '?';
        return where;
    }
};

const std::string kPublicReply = test::NatPmpAnswer(0, 128, 0, 500, 0xCB007107); // 203.0.113.7
const StunTransaction kFakeTransaction {5, 6, 7, 8, 9, 10, 5, 6, 7, 8, 9, 10};

} // namespace

TEST(PublicAddressCodec, ReadsAddressesRangesServersAndNatPmp)
{
    using enum AddressReach;
    for (const auto &[text, address, reach] :
         {std::tuple {"0.0.0.0", 0u, None},
          {"10.255.0.1", 0x0AFF0001u, BehindAnotherNat},
          {"172.31.9.9", 0xAC1F0909u, BehindAnotherNat},
          {"172.32.0.1", 0xAC200001u, Public},
          {"192.168.1.1", 0xC0A80101u, BehindAnotherNat},
          {"100.128.0.0", 0x64800000u, Public},
          {"100.127.255.255", 0x647FFFFFu, BehindAnotherNat}}) {
        EXPECT_EQ(ParseIpv4(text), address) << text;
        EXPECT_EQ(FormatIpv4(address), text);
        EXPECT_EQ(ReachOf(address), reach) << text;
    }
    for (const char *bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1..2.3", "1.2.3.4x", "-1.2.3.4"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
    for (const auto &[text, host, port] :
         {std::tuple {"stun.example.net", "stun.example.net", 3478},
          {" 192.0.2.9:19302 ", "192.0.2.9", 19302},
          {"", "", 0},
          {":3478", "", 0},
          {"host:0", "", 0},
          {"host:65536", "", 0},
          {"host:34x", "", 0}}) {
        const auto parsed = ParseHostPort(text, kStunPort);
        EXPECT_EQ(parsed ? parsed->host : "", host) << text;
        EXPECT_EQ(parsed ? parsed->port : 0, port) << text;
    }

    // Only a version-0 answer to opcode 0 carries an address; extra bytes do no harm.
    EXPECT_EQ(NatPmpAddressRequest(), std::string(2, '\0'));
    using test::NatPmpAnswer;
    for (const auto &[what, reply, epoch, address, refusal] :
         {std::tuple {"longer", NatPmpAnswer(0, 128, 0, 1, 5) + "xx", 1u, 5u, 0},
          {"three bytes", std::string("\0\x80\0", 3), 0u, 0u, 0},
          {"cut short", NatPmpAnswer(0, 128, 0, 1, 2).substr(0, 11), 0u, 0u, 0},
          {"PCP's ANNOUNCE", NatPmpAnswer(2, 128, 0, 1, 2), 0u, 0u, 0},
          {"another opcode", NatPmpAnswer(0, 129, 0, 1, 2), 0u, 0u, 0},
          {"refused, short", NatPmpAnswer(0, 128, 300, 1, 2).substr(0, 4), 0u, 0u, 300}}) {
        const NatPmpReply parsed = ParseNatPmpReply(reply);
        const auto *answer = std::get_if<NatPmpAddress>(&parsed);
        const auto *refused = std::get_if<NatPmpRefusal>(&parsed);
        EXPECT_EQ(answer ? std::pair(answer->epoch, answer->address) : std::pair(0u, 0u),
                  std::pair(epoch, address))
            << what;
        EXPECT_EQ(refused ? refused->resultCode : 0, refusal) << what;
    }
    // 250 ms doubling for nine sends, the last awaited 64 s: two minutes in all.
    std::chrono::milliseconds total {0};
    for (int sent = 1; sent <= 9; ++sent)
        total += kNatPmpRetransmission.WaitAfter(sent);
    EXPECT_EQ(total, 127750ms);
    // The epoch runs on at least 7/8 of the time between answers, less 2 s.
    for (const auto &[now, elapsedMs, back] : {std::tuple {1085u, 100'000, false},
                                               {1084u, 100'000, true},
                                               {3u, 0, true},
                                               {999u, 0, false}})
        EXPECT_EQ(NatPmpEpochWentBack(1000, now, elapsedMs), back) << now;
}

TEST(PublicAddressCodec, StunTakesTheXorMappedAddressOfItsOwnTransaction)
{
    EXPECT_EQ(StunBindingRequest(kTransaction), stun(0x0001, {}));
    const std::uint32_t address = 0xCB007107;
    const std::string xored = ipv4Value(address ^ 0x2112A442);
    const std::string plain = ipv4Value(0xC6336401);
    StunTransaction other = kTransaction;
    other[11] = 0;
    const std::string answer = stun(0x0101, {{0x0020, xored}});
    using Row = std::tuple<const char *, std::string, std::optional<Ipv4>>;
    for (const auto &[what, message, expected] :
         {Row {"xor after others",
               stun(0x0101, {{0x8022, "coturn"}, {0x0001, plain}, {0x0020, xored}}), address},
          Row {"mapped only", stun(0x0101, {{0x8022, "x"}, {0x0001, plain}}), 0xC6336401},
          {"ipv6 only", stun(0x0101, {{0x0020, std::string("\0\2\0\0", 4) + std::string(16, 'a')}}),
           std::nullopt},
          {"error response", stun(0x0111, {{0x0020, xored}}), std::nullopt},
          {"another transaction", stun(0x0101, {{0x0020, xored}}, other), std::nullopt},
          {"cut short", answer.substr(0, 27), std::nullopt},
          {"header only", answer.substr(0, 19), std::nullopt},
          {"attribute past the end", std::string(answer).replace(22, 2, std::string("\0\14", 2)),
           std::nullopt},
          {"odd length", std::string(answer).replace(2, 2, std::string("\0\13", 2)), std::nullopt},
          {"no cookie", std::string(answer).replace(4, 1, "X"), std::nullopt}})
        EXPECT_EQ(ParseStunBindingResponse(message, kTransaction), expected) << what;
}

TEST(PublicAddressCodec, UpnpFollowsOnlyWhatARouterShouldSay)
{
    const HttpUrl base = *ParseHttpUrl("http://192.168.0.1:5000/d/root.xml");
    const std::string fault = "HTTP/1.1 500 Internal Server Error\r\n\r\n";
    const std::string address = "<NewExternalIPAddress>203.0.113.7</NewExternalIPAddress>";
    const std::string chunked = "HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n";
    for (const auto &[what, parsed, expected] : {
             std::tuple<const char *, std::string, const char *> {
                 "absolute", shown(ResolveHttpUrl(base, "HTTP://10.0.0.1")), "http://10.0.0.1:80/"},
             {"rooted", shown(ResolveHttpUrl(base, "/ctl")), "http://192.168.0.1:5000/ctl"},
             {"relative", shown(ResolveHttpUrl(base, "ctl")), "http://192.168.0.1:5000/d/ctl"},
             {"https", shown(ResolveHttpUrl(base, "https://10.0.0.1/")), ""},
             {"by name", shown(ResolveHttpUrl(base, "http://router.lan/")), ""},
             {"a header smuggled", shown(ResolveHttpUrl(base, "/a\r\nX: 1")), ""},
             {"another target",
              shown(ParseSsdpAnswer(
                  answer("", "ST: upnp:rootdevice\r\nLOCATION: http://1.2.3.4/\r\n"))),
              ""},
             {"description", shown(ParseDescription(kDescription, base)),
              "urn:schemas-upnp-org:service:WANIPConnection:2 http://192.168.0.1:5000/d/ctl?a&b "
              "http://192.168.0.1:5000/evt"},
             {"URLBase",
              shown(ParseDescription(answer("<URLBase>http://10.0.0.1:9/</URLBase>"
                                            + service("WANPPPConnection:1", "c")),
                                     base)),
              "urn:schemas-upnp-org:service:WANPPPConnection:1 http://10.0.0.1:9/c "
              "http://10.0.0.1:9/evt"},
             {"no WAN service",
              shown(ParseDescription(answer(service("Layer3Forwarding:1", "/c")), base)), ""},
             {"cut off", shown(ParseDescription(kDescription.substr(0, 300), base)), ""},
             {"unclosed",
              shown(ParseDescription(answer("<service><serviceType>urn:schemas-upnp-org:service:"
                                            "WANIPConnection:1<controlURL>/c"),
                                     base)),
              ""},
             {"chunked",
              shown(ParseExternalAddress(chunked
                                         + "5\r\n<m:Ne\r\n37;x\r\nwExternalIPAddress>203.0.113.8</"
                                           "m:NewExternalIPAddress>\r\n0\r\n\r\n")),
              "203.0.113.8"},
             {"none yet",
              shown(ParseExternalAddress(answer("<NewExternalIPAddress></NewExternalIPAddress>"))),
              "0.0.0.0"},
             {"fault", shown(ParseExternalAddress(fault + address)), ""},
             {"huge chunk", shown(ParseExternalAddress(chunked + "ffffffffffffffff\r\nab")), ""},
             {"unended chunks", shown(ParseExternalAddress(chunked + "3c\r\n" + address + "\r\n")),
              ""},
             {"no SID", shown(ParseSubscribeAnswer(answer("", "TIMEOUT: Second-300\r\n"))), ""},
             {"no grant",
              shown(ParseSubscribeAnswer(answer("", "SID: uuid:7\r\nTIMEOUT: Second-x\r\n"))), ""},
             {"other variable",
              shown(ReadUpnpEvent(notify("uuid:7", "<e:propertyset/>"), "uuid:7")), "200 -"},
             {"another SID", shown(ReadUpnpEvent(notify("uuid:8"), "uuid:7")), "412 -"},
             {"junk", shown(ReadUpnpEvent("GET\r\n", "uuid:7")), "400 -"},
             {"endless", shown(ReadUpnpEvent(std::string(kMaxStreamBytes, 'x'), "uuid:7")),
              "400 -"},
             {"not all there", shown(ReadUpnpEvent(notify("uuid:7").substr(0, 120), "uuid:7")), ""},
         })
        EXPECT_EQ(parsed, expected) << what;
}

TEST(PublicAddressFinder, AsksTheRouterThenStunAsTheSourceSays)
{
    const std::string stunAnswer
        = stun(0x0101, {{0x0020, ipv4Value(0xCB00710B ^ 0x2112A442)}}, kFakeTransaction);
    const std::string refused = test::NatPmpAnswer(0, 128, 2, 0, 0).substr(0, 4);
    using enum PublicAddressSource;
    // The router's reply (none: silent); where the datagrams went (nine tries for
    // the router, four when STUN can take over); the address learned.
    using Row = std::tuple<const char *, PublicAddressSource, const char *,
                           std::optional<std::string>, const char *, const char *>;
    for (const auto &[what, source, stunServer, routerReply, sends, address] :
         {Row {"router", Router, "", kPublicReply, "g", "203.0.113.7"},
          {"silent router, no STUN allowed", Router, "198.51.100.9", std::nullopt, "ggggggggg", ""},
          {"silent router, no STUN named", RouterThenStun, "", std::nullopt, "ggggggggg", ""},
          {"silent router, then STUN", RouterThenStun, "198.51.100.9:3478", std::nullopt, "ggggs",
           "203.0.113.11"},
          {"refusing router, then STUN", RouterThenStun, "198.51.100.9", refused, "gs",
           "203.0.113.11"},
          {"inside another NAT, told", Router, "", test::NatPmpAnswer(0, 128, 0, 9, 0x64400001),
           "g", "100.64.0.1"},
          {"inside another NAT, then STUN", RouterThenStun, "198.51.100.9",
           test::NatPmpAnswer(0, 128, 0, 9, 0x0A000001), "gs", "203.0.113.11"},
          {"no address is none", Router, "", test::NatPmpAnswer(0, 128, 0, 9, 0), "g", ""},
          {"STUN only", StunOnly, "198.51.100.9", std::nullopt, "s", "203.0.113.11"},
          {"never", Never, "198.51.100.9", std::nullopt, "", ""}}) {
        SCOPED_TRACE(what);
        Finder f(source, stunServer);
        EXPECT_EQ(f.finder.Settling(), source != Never);
        if (f.sends() == "g") {
            EXPECT_EQ(f.port.sent.front().port, kNatPmpServerPort);
            EXPECT_EQ(f.port.sent.front().bytes, NatPmpAddressRequest());
            // Only the gateway's port 5351 is heard, and a wrong version is not.
            f.port.Arrive(kGateway + 1, kNatPmpServerPort, kPublicReply, false);
            f.port.Arrive(kGateway, 5352, kPublicReply, false);
            f.router(test::NatPmpAnswer(2, 128, 0, 1, 0xCB007107));
            if (routerReply)
                f.router(*routerReply);
            else
                f.routerSilent();
        }
        if (f.sends().ends_with('s')) {
            EXPECT_EQ(f.port.sent.back().bytes, StunBindingRequest(kFakeTransaction));
            f.port.Arrive(kStunServer, kStunPort,
                          stun(0x0101, {{0x0020, ipv4Value(1)}}, kTransaction), false);
            f.port.Arrive(kStunServer + 1, kStunPort, stunAnswer, false);
            f.port.Arrive(kStunServer, kStunPort, stunAnswer, false);
        }
        EXPECT_EQ(f.sends(), sends);
        EXPECT_EQ(f.settled, std::vector<std::string> {address});
        EXPECT_FALSE(f.finder.Settling());
    }
}

TEST(PublicAddressFinder, FollowsTheRoutersAnnouncementsRestartsAndTheNetwork)
{
    Finder f(PublicAddressSource::RouterThenStun, "stun.example.net:3479");
    f.router(kPublicReply);
    EXPECT_EQ(f.deadline.armed, 5min);

    // A move is announced several times.
    for (std::uint32_t i = 0; i < 3; ++i, f.now += 1000)
        f.port.RouterSays(501 + i, 0xCB007108, true);
    EXPECT_EQ(f.settled, (std::vector<std::string> {"203.0.113.7", "203.0.113.8", "203.0.113.8",
                                                    "203.0.113.8"}));
    EXPECT_EQ(f.sends(), "g");

    // The router restarted: its epoch went back, so it is asked again.
    f.port.RouterSays(3, 0xCB007108, true);
    EXPECT_EQ(f.sends(), "gg");
    f.port.RouterSays(4, 0xCB007108);
    // The safety net asks again after five minutes.
    f.deadline.Expire();
    EXPECT_EQ(f.sends(), "ggg");
    EXPECT_FALSE(f.finder.Settling());

    // Another network: the address is in doubt until the new router answers;
    // there is none, and no STUN server has an address.
    f.port.gateway = 0;
    f.finder.NetworkChanged();
    EXPECT_TRUE(f.finder.Settling());
    EXPECT_EQ(f.port.resolving, std::vector<std::string> {"stun.example.net"});
    f.finder.HostResolved("other.example.net", kStunServer);
    f.finder.HostResolved("stun.example.net", 0);
    EXPECT_EQ(f.finder.Address(), "");
    EXPECT_NE(f.log.find("stun.example.net has no IPv4 address"), std::string::npos);
}

TEST(PublicAddressFinder, AsksUpnpWhenNatPmpIsSilentThenFirstAndHearsItsEvents)
{
    Finder f(PublicAddressSource::Router, "", true);
    f.routerSilent();
    EXPECT_EQ(f.sends(), "ggggmmm"); // four NAT-PMP tries, then one search per service
    const std::string location = "LOCATION: http://192.168.0.1:5000/d/root.xml\r\n";
    const std::string st = "ST: urn:schemas-upnp-org:service:WANIPConnection:2\r\n";
    f.port.Arrive(kGateway + 1, kSsdpPort, answer("", st + location), false);
    f.port.Arrive(kGateway, kSsdpPort, answer("", st + location), false);
    // The address padded and prefixed, the grant's header in lower case.
    const std::string address = "<u:R>\n<NewExternalIPAddress> 203.0.113.7 </NewExternalIPAddress>";
    f.streams.Answer(kDescription);
    f.streams.Answer(answer(address));
    f.streams.Answer(answer("", "SID: uuid:7\r\ntimeout: Second-300\r\n"));
    ASSERT_EQ(f.streams.asked.size(), 3u);
    for (const auto &[asked, start] :
         {std::pair {0u, "GET /d/root.xml "}, {1u, "POST /d/ctl?a&b "}, {2u, "SUBSCRIBE /evt "}}) {
        EXPECT_TRUE(f.streams.asked[asked].bytes.starts_with(start)) << start;
        EXPECT_EQ(f.streams.asked[asked].port, 5000);
    }
    EXPECT_NE(f.streams.asked[2].bytes.find("<http://192.168.0.10:4000/>"), std::string::npos);
    EXPECT_EQ(f.deadline.armed, 150s); // renewed before the 300 s run out

    // A move told; not by another host, nor for another subscription.
    for (const auto &[from, sid, reply] : {std::tuple {kGateway + 1, "uuid:7", "412"},
                                           {kGateway, "uuid:8", "412"},
                                           {kGateway, "uuid:7", "200"}})
        EXPECT_EQ(f.streams.Event(from, notify(sid)).value_or("").substr(9, 3), reply);
    EXPECT_EQ(f.settled, (std::vector<std::string> {"203.0.113.7", "203.0.113.9"}));

    // The next asking goes to UPnP straight away and renews the subscription.
    f.deadline.Expire();
    f.streams.Answer(answer(address));
    EXPECT_EQ(f.sends(), "ggggmmm");
    EXPECT_NE(f.streams.asked.back().bytes.find("SID: uuid:7\r\n"), std::string::npos);
    EXPECT_EQ(f.streams.listening, 4000);

    // Nothing wants the address any more: all closes and nothing is asked.
    const std::size_t sends = f.port.sent.size() + f.streams.asked.size();
    f.finder.SetWanted(false);
    f.finder.NetworkChanged();
    EXPECT_FALSE(f.port.open || f.deadline.pending || f.streams.listening);
    EXPECT_EQ(f.port.sent.size() + f.streams.asked.size(), sends);
}
