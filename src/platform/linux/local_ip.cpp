// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace pellwick {

namespace {

// Name of the interface of the IPv4 default route, from /proc/net/route
// (destination 00000000 with mask 00000000); empty when there is none.
std::string defaultRouteInterface()
{
    std::unique_ptr<FILE, int (*)(FILE *)> routes(std::fopen("/proc/net/route", "re"),
                                                  &std::fclose);
    if (!routes)
        return {};
    char line[512];
    if (!std::fgets(line, sizeof line, routes.get())) // column headings
        return {};
    std::string best;
    unsigned long bestMetric = ~0UL;
    while (std::fgets(line, sizeof line, routes.get())) {
        char name[IF_NAMESIZE + 1] = {};
        unsigned long destination = 0, gateway = 0, flags = 0, refCount = 0, use = 0, metric = 0,
                      mask = 1;
        const int fields = std::sscanf(line, "%16s %lx %lx %lx %lu %lu %lu %lx", name, &destination,
                                       &gateway, &flags, &refCount, &use, &metric, &mask);
        const unsigned long routeUp = 0x1;
        if (fields == 8 && destination == 0 && mask == 0 && (flags & routeUp)
            && metric < bestMetric) {
            best = name;
            bestMetric = metric;
        }
    }
    return best;
}

std::string dotted(const sockaddr *address)
{
    char text[INET_ADDRSTRLEN] = {};
    const auto *v4 = reinterpret_cast<const sockaddr_in *>(address);
    return inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text) ? text : "";
}

} // namespace

std::string LocalIP()
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return "127.0.0.1";
    std::unique_ptr<ifaddrs, void (*)(ifaddrs *)> guard(list, &freeifaddrs);

    const std::string routeInterface = defaultRouteInterface();
    std::string firstUp;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        if (!routeInterface.empty() && routeInterface == entry->ifa_name)
            return dotted(entry->ifa_addr);
        // The first address of an interface that is up and not the loopback.
        if (firstUp.empty() && (entry->ifa_flags & (IFF_UP | IFF_LOOPBACK)) == IFF_UP)
            firstUp = dotted(entry->ifa_addr);
    }
    return firstUp.empty() ? std::string("127.0.0.1") : firstUp;
}

} // namespace pellwick
