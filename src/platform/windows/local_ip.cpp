// SPDX-License-Identifier: MIT
#include "core/net/global_ipv6.h"
#include "platform/platform.h"

// The Winsock 2 headers must come first: iphlpapi.h declares the adapter-address
// records, and the route table's, only when they have been seen.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <cstring>
#include <vector>

namespace pellwick {

namespace {

// The interface of the family's default route (0.0.0.0/0, ::/0) with the lowest
// metric; 0, which no interface has, when there is none.
NET_IFINDEX defaultRouteInterface(ADDRESS_FAMILY family)
{
    MIB_IPFORWARD_TABLE2 *routes = nullptr;
    if (GetIpForwardTable2(family, &routes) != NO_ERROR)
        return 0;
    NET_IFINDEX best = 0;
    ULONG bestMetric = ~0UL;
    for (ULONG i = 0; i < routes->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2 &route = routes->Table[i];
        if (route.DestinationPrefix.PrefixLength == 0 && route.Metric < bestMetric) {
            best = route.InterfaceIndex;
            bestMetric = route.Metric;
        }
    }
    FreeMibTable(routes);
    return best;
}

std::vector<unsigned char> adapterList()
{
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer(size);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ULONG status
            = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                   reinterpret_cast<IP_ADAPTER_ADDRESSES *>(buffer.data()), &size);
        if (status == NO_ERROR)
            return buffer;
        if (status != ERROR_BUFFER_OVERFLOW)
            break;
        buffer.resize(size); // the list grew since the size was asked for
    }
    return {};
}

std::string dotted(const SOCKET_ADDRESS &address)
{
    char text[INET_ADDRSTRLEN] = {};
    const auto *v4 = reinterpret_cast<const sockaddr_in *>(address.lpSockaddr);
    return inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text) ? text : "";
}

} // namespace

std::string LocalIP()
{
    const std::vector<unsigned char> buffer = adapterList();
    if (buffer.empty())
        return "127.0.0.1";
    const NET_IFINDEX routeInterface = defaultRouteInterface(AF_INET);
    std::string firstUp;
    for (auto *adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES *>(buffer.data()); adapter;
         adapter = adapter->Next) {
        const auto *unicast = adapter->FirstUnicastAddress;
        if (!unicast)
            continue;
        if (routeInterface != 0 && adapter->IfIndex == routeInterface)
            return dotted(unicast->Address);
        if (firstUp.empty() && adapter->OperStatus == IfOperStatusUp
            && adapter->IfType != IF_TYPE_SOFTWARE_LOOPBACK)
            firstUp = dotted(unicast->Address);
    }
    return firstUp.empty() ? std::string("127.0.0.1") : firstUp;
}

std::optional<std::string> GlobalIPv6()
{
    const NET_IFINDEX routeInterface = defaultRouteInterface(AF_INET6);
    MIB_UNICASTIPADDRESS_TABLE *table = nullptr;
    if (routeInterface == 0 || GetUnicastIpAddressTable(AF_INET6, &table) != NO_ERROR)
        return std::nullopt;
    std::vector<Ipv6Candidate> candidates;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_UNICASTIPADDRESS_ROW &row = table->Table[i];
        Ipv6Candidate candidate;
        std::memcpy(candidate.address.data(), &row.Address.Ipv6.sin6_addr, 16);
        candidate.interfaceIndex = row.InterfaceIndex;
        // A random suffix is a privacy address; a stable one comes from the
        // link layer address or is derived from the prefix (RFC 7217).
        candidate.temporary = row.SuffixOrigin == IpSuffixOriginRandom;
        candidate.tentative = row.DadState == IpDadStateTentative;
        candidate.duplicate = row.DadState == IpDadStateDuplicate;
        candidate.deprecated = row.DadState == IpDadStateDeprecated || row.PreferredLifetime == 0;
        candidates.push_back(candidate);
    }
    FreeMibTable(table);
    return ChooseGlobalIpv6(candidates, routeInterface);
}

} // namespace pellwick
