#include "platform/local_ip.h"

// winsock2.h must come first: iphlpapi.h declares the adapter-address records only
// when the Winsock 2 header has been seen.
#include <winsock2.h>

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <vector>

namespace pellwick {

std::string LocalIP()
{
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer(size);
    auto *adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES *>(buffer.data());
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER
                        | GAA_FLAG_INCLUDE_GATEWAYS;
    ULONG status = GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size);
    if (status == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES *>(buffer.data());
        status = GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size);
    }
    if (status != NO_ERROR)
        return "127.0.0.1";

    std::string firstUp;
    for (auto *adapter = adapters; adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        for (auto *unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            char text[INET_ADDRSTRLEN] = {};
            const auto *v4 = reinterpret_cast<const sockaddr_in *>(unicast->Address.lpSockaddr);
            if (!inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text))
                continue;
            if (adapter->FirstGatewayAddress)
                return text;
            if (firstUp.empty())
                firstUp = text;
        }
    }
    return firstUp.empty() ? std::string("127.0.0.1") : firstUp;
}

} // namespace pellwick
