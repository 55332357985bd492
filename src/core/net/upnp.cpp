// SPDX-License-Identifier: MIT
#include "core/net/upnp.h"

#include "core/net/stream_port.h"
#include "core/text/text.h"

#include <algorithm>
#include <charconv>

namespace pellwick {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kSpace = " \t\r\n";

// The next line of `text`, its CR LF or LF taken off both.
std::optional<std::string_view> takeLine(std::string_view &text)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
}

std::optional<std::size_t> parseNumber(std::string_view text, int base)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Chunked transfer coding undone; nullopt while the last chunk has not come,
// and for a malformed one (`bad`).
std::optional<std::string> unchunk(std::string_view text, bool &bad)
{
    std::string body;
    while (const auto line = takeLine(text)) {
        const auto size = parseNumber(Trim(line->substr(0, line->find(';')), kBlanks), 16);
        if (!size) {
            bad = true;
            return std::nullopt;
        }
        if (*size == 0)
            return body; // trailers, if any, say nothing we use
        if (text.size() < 2 || *size > text.size() - 2)
            return std::nullopt;
        if (text.substr(*size, 2) != "\r\n") {
            bad = true;
            return std::nullopt;
        }
        body += text.substr(0, *size);
        text.remove_prefix(*size + 2);
    }
    return std::nullopt;
}

// The URL with that path, which goes into a request line as it stands: no
// blank, control character or byte beyond ASCII.
std::optional<HttpUrl> withPath(HttpUrl url, std::string_view path)
{
    if (std::ranges::any_of(path, [](char c) { return c <= ' ' || c >= 0x7F; }))
        return std::nullopt;
    url.path = path;
    return url;
}

std::string request(std::string_view method, const HttpUrl &url,
                    std::initializer_list<std::string_view> headers, std::string_view body = {})
{
    std::string text = std::string(method) + " " + url.path + " HTTP/1.1\r\nHOST: "
                       + FormatIpv4(url.host) + ":" + std::to_string(url.port) + "\r\n";
    for (std::string_view header : headers)
        text += std::string(header) + "\r\n";
    // The stream port reads each answer until the router closes.
    return text + "Connection: close\r\n\r\n" + std::string(body);
}

// The raw content of the first element with that local name (any prefix) in
// `xml`, and what follows its end tag. A flat scan: nesting never recurses.
std::optional<std::pair<std::string_view, std::string_view>> element(std::string_view xml,
                                                                     std::string_view name)
{
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::string_view tag = xml.substr(at + 1);
        const std::string_view qualified = tag.substr(0, tag.find_first_of(" \t\r\n/><"));
        const std::size_t colon = qualified.find(':');
        if (qualified.substr(colon == std::string_view::npos ? 0 : colon + 1) != name)
            continue;
        const std::size_t open = tag.find('>');
        if (open == std::string_view::npos || tag[open - 1] == '/')
            return std::nullopt;
        const std::string_view inside = tag.substr(open + 1);
        const std::string closing = "</" + std::string(qualified) + ">";
        const std::size_t close = inside.find(closing);
        if (close == std::string_view::npos)
            return std::nullopt;
        return std::pair(inside.substr(0, close), inside.substr(close + closing.size()));
    }
    return std::nullopt;
}

// An element's text, blanks trimmed and XML's escapes undone.
std::optional<std::string> elementText(std::string_view xml, std::string_view name)
{
    const auto found = element(xml, name);
    if (!found)
        return std::nullopt;
    std::string text;
    std::string_view rest = Trim(found->first, kSpace);
    while (!rest.empty()) {
        static constexpr std::pair<std::string_view, char> escapes[] {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        const auto *escape = std::ranges::find_if(
            escapes, [&rest](const auto &pair) { return rest.starts_with(pair.first); });
        text += escape == std::end(escapes) ? rest.front() : escape->second;
        rest.remove_prefix(escape == std::end(escapes) ? 1 : escape->first.size());
    }
    return text;
}

// An answer from the router, complete and with status 200.
std::optional<HttpMessage> ok(std::string_view response)
{
    auto message = ParseHttp(response, true);
    if (!message || message->status != 200)
        return std::nullopt;
    return message;
}

std::string reply(int status)
{
    const char *reason = status == 200   ? "OK"
                         : status == 412 ? "Precondition Failed"
                                         : "Bad Request";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason
           + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

} // namespace

std::string HttpMessage::Header(std::string_view name) const
{
    const auto found = std::ranges::find_if(headers, [name](const auto &header) {
        return EqualsIgnoringAsciiCase(header.first, name);
    });
    return found == headers.end() ? std::string() : found->second;
}

std::optional<HttpMessage> ParseHttp(std::string_view bytes, bool closed)
{
    HttpMessage message;
    std::string_view text = bytes;
    const auto first = takeLine(text);
    if (!first)
        return closed ? std::nullopt : std::optional(message);
    // "HTTP/1.1 200 OK" or "NOTIFY / HTTP/1.1".
    const std::string_view word = first->substr(0, first->find(' '));
    if (word.starts_with("HTTP/1.")) {
        const auto status = parseNumber(TrimStart(first->substr(word.size())).substr(0, 3), 10);
        if (!status)
            return std::nullopt;
        message.status = static_cast<int>(*status);
    } else if (first->ends_with(" HTTP/1.1") || first->ends_with(" HTTP/1.0")) {
        message.method = word;
    } else {
        return std::nullopt;
    }
    while (true) {
        const auto line = takeLine(text);
        if (!line)
            return closed ? std::nullopt : std::optional(message);
        if (line->empty())
            break;
        const std::size_t colon = line->find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        message.headers.emplace_back(Trim(line->substr(0, colon), kBlanks),
                                     Trim(line->substr(colon + 1), kBlanks));
    }
    if (EqualsIgnoringAsciiCase(message.Header("Transfer-Encoding"), "chunked")) {
        bool bad = false;
        auto body = unchunk(text, bad);
        if (bad || (!body && closed))
            return std::nullopt;
        message.complete = body.has_value();
        message.body = body.value_or("");
        return message;
    }
    if (const std::string length = message.Header("Content-Length"); !length.empty()) {
        const auto size = parseNumber(length, 10);
        if (!size || (closed && text.size() < *size))
            return std::nullopt;
        text = text.substr(0, *size);
        message.complete = text.size() == *size;
    } else {
        // Without a length a request has no body; a response runs to the close.
        message.complete = true;
        if (!message.method.empty())
            text = {};
    }
    message.body = text;
    return message;
}

std::optional<HttpUrl> ParseHttpUrl(std::string_view text)
{
    constexpr std::string_view scheme = "http://";
    if (!EqualsIgnoringAsciiCase(text.substr(0, scheme.size()), scheme))
        return std::nullopt;
    text.remove_prefix(scheme.size());
    const std::size_t slash = text.find('/');
    const auto authority = ParseHostPort(text.substr(0, slash), 80);
    const auto host = authority ? ParseIpv4(authority->host) : std::nullopt;
    if (!host)
        return std::nullopt;
    return withPath({*host, authority->port, "/"},
                    slash == std::string_view::npos ? "/" : text.substr(slash));
}

std::optional<HttpUrl> ResolveHttpUrl(const HttpUrl &base, std::string_view reference)
{
    if (reference.find("://") != std::string_view::npos)
        return ParseHttpUrl(reference);
    if (reference.starts_with('/'))
        return withPath(base, reference);
    return withPath(base, base.path.substr(0, base.path.rfind('/') + 1) + std::string(reference));
}

std::string FormatHttpUrl(const HttpUrl &url)
{
    return "http://" + FormatIpv4(url.host) + ":" + std::to_string(url.port) + url.path;
}

std::string SsdpSearch(std::string_view target)
{
    return "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\nMX: "
           "2\r\nST: "
           + std::string(target) + "\r\n\r\n";
}

std::optional<HttpUrl> ParseSsdpAnswer(std::string_view datagram)
{
    const auto answer = ok(datagram);
    if (!answer
        || std::ranges::find(kWanConnectionServices, answer->Header("ST"))
               == kWanConnectionServices.end())
        return std::nullopt;
    return ParseHttpUrl(answer->Header("LOCATION"));
}

std::string HttpGet(const HttpUrl &url)
{
    return request("GET", url, {});
}

std::optional<WanService> ParseDescription(std::string_view response, const HttpUrl &location)
{
    const auto answer = ok(response);
    if (!answer)
        return std::nullopt;
    std::string_view xml = answer->body;
    HttpUrl base = location;
    if (const auto urlBase = elementText(xml, "URLBase"); urlBase && !urlBase->empty()) {
        const auto parsed = ParseHttpUrl(*urlBase);
        if (!parsed)
            return std::nullopt;
        base = *parsed;
    }
    while (const auto service = element(xml, "service")) {
        xml = service->second;
        const auto type = elementText(service->first, "serviceType");
        if (!type
            || (!type->starts_with("urn:schemas-upnp-org:service:WANIPConnection:")
                && !type->starts_with("urn:schemas-upnp-org:service:WANPPPConnection:")))
            continue;
        const auto control = elementText(service->first, "controlURL");
        const auto events = elementText(service->first, "eventSubURL");
        const auto controlUrl = control ? ResolveHttpUrl(base, *control) : std::nullopt;
        if (!controlUrl)
            return std::nullopt;
        return WanService {*type, *controlUrl,
                           events && !events->empty() ? ResolveHttpUrl(base, *events)
                                                      : std::nullopt};
    }
    return std::nullopt;
}

std::string ExternalAddressRequest(const WanService &service)
{
    const std::string body
        = "<?xml version=\"1.0\"?>\r\n<s:Envelope "
          "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
          "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
          "<u:GetExternalIPAddress xmlns:u=\""
          + service.type + "\"></u:GetExternalIPAddress></s:Body></s:Envelope>\r\n";
    const std::string action = "SOAPACTION: \"" + service.type + "#GetExternalIPAddress\"";
    const std::string length = "Content-Length: " + std::to_string(body.size());
    return request("POST", service.control,
                   {"Content-Type: text/xml; charset=\"utf-8\"", action, length}, body);
}

std::optional<Ipv4> ParseExternalAddress(std::string_view response)
{
    const auto answer = ok(response);
    const auto text = answer ? elementText(answer->body, "NewExternalIPAddress") : std::nullopt;
    if (!text)
        return std::nullopt;
    return text->empty() ? std::optional<Ipv4>(0) : ParseIpv4(*text);
}

std::string SubscribeRequest(const HttpUrl &events, std::string_view sid, Ipv4 local,
                             std::uint16_t port)
{
    const std::string timeout = "TIMEOUT: Second-" + std::to_string(kSubscriptionSeconds);
    if (!sid.empty())
        return request("SUBSCRIBE", events, {"SID: " + std::string(sid), timeout});
    const std::string callback = "CALLBACK: <" + FormatHttpUrl({local, port, "/"}) + ">";
    return request("SUBSCRIBE", events, {callback, "NT: upnp:event", timeout});
}

std::optional<Subscription> ParseSubscribeAnswer(std::string_view response)
{
    const auto answer = ok(response);
    if (!answer || answer->Header("SID").empty())
        return std::nullopt;
    const std::string timeout = answer->Header("TIMEOUT");
    constexpr std::string_view second = "Second-";
    constexpr int day = 24 * 3600;
    // A router that leaves its grant out is taken to grant what was asked.
    if (timeout.empty())
        return Subscription {answer->Header("SID"), kSubscriptionSeconds};
    if (EqualsIgnoringAsciiCase(timeout, "Second-infinite"))
        return Subscription {answer->Header("SID"), day};
    const auto seconds = EqualsIgnoringAsciiCase(timeout.substr(0, second.size()), second)
                             ? parseNumber(std::string_view(timeout).substr(second.size()), 10)
                             : std::nullopt;
    if (!seconds || *seconds == 0)
        return std::nullopt;
    return Subscription {answer->Header("SID"),
                         static_cast<int>(std::min<std::size_t>(*seconds, day))};
}

std::optional<UpnpEvent> ReadUpnpEvent(std::string_view bytes, std::string_view sid)
{
    const auto event = ParseHttp(bytes, false);
    if (event && !event->complete && bytes.size() < kMaxStreamBytes)
        return std::nullopt;
    if (!event || !event->complete || event->method != "NOTIFY")
        return UpnpEvent {reply(400), std::nullopt};
    if (sid.empty() || event->Header("SID") != sid || event->Header("NT") != "upnp:event"
        || event->Header("NTS") != "upnp:propchange")
        return UpnpEvent {reply(412), std::nullopt};
    const auto text = elementText(event->body, "ExternalIPAddress");
    return UpnpEvent {reply(200), text ? (text->empty() ? std::optional<Ipv4>(0) : ParseIpv4(*text))
                                       : std::nullopt};
}

} // namespace pellwick
