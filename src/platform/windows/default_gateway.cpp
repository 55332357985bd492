// SPDX-License-Identifier: MIT
#include "platform/platform.h"

// The Winsock 2 headers must come first: iphlpapi.h declares the route table's
// records only when they have been seen.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <span>

namespace pellwick {

Ipv4 DefaultGateway()
{
    MIB_IPFORWARD_TABLE2 *routes = nullptr;
    if (GetIpForwardTable2(AF_INET, &routes) != NO_ERROR)
        return 0;
    Ipv4 gateway = 0;
    ULONG lowest = ~0UL;
    // A default route (0.0.0.0/0) through a next hop; an on-link one has none.
    for (const MIB_IPFORWARD_ROW2 &route : std::span(routes->Table, routes->NumEntries)) {
        const Ipv4 nextHop = ntohl(route.NextHop.Ipv4.sin_addr.s_addr);
        if (route.DestinationPrefix.PrefixLength != 0 || nextHop == 0 || route.Metric >= lowest)
            continue;
        gateway = nextHop;
        lowest = route.Metric;
    }
    FreeMibTable(routes);
    return gateway;
}

} // namespace pellwick
