// SPDX-License-Identifier: MIT
#include "platform/platform.h"

// The Winsock 2 headers must come first: iphlpapi.h declares the adapter-address
// records, and the route table's, only when they have been seen.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <vector>

namespace pellwick {

namespace {

// The interface of the IPv4 default route (0.0.0.0/0) with the lowest metric;
// 0, which no interface has, when there is none.
NET_IFINDEX defaultRouteInterface()
{
    MIB_IPFORWARD_TABLE2 *routes = nullptr;
    if (GetIpForwardTable2(AF_INET, &routes) != NO_ERROR)
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
    const NET_IFINDEX routeInterface = defaultRouteInterface();
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

} // namespace pellwick
