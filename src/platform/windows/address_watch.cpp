// SPDX-License-Identifier: MIT
#include "platform/platform.h"

// The Winsock 2 headers must come first: iphlpapi.h declares the change
// notifications and their records only when they have been seen.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

namespace pellwick {

namespace {

// Wine (8.0) takes both registrations and never calls back: under it a change
// would wait for the tick's once-a-minute read, so the tick reads the address
// every time instead, as where nothing is told.
bool ChangesNeverTold()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// NotifyUnicastIpAddressChange and NotifyRouteChange2, both calling back on a
// thread of the system's until cancelled.
class IpHelperWatch final : public Watch
{
public:
    explicit IpHelperWatch(std::function<void()> changed)
        : m_changed(std::move(changed))
    {
    }
    ~IpHelperWatch() override
    {
        // Returns only when no callback runs any more.
        if (m_address)
            CancelMibChangeNotify2(m_address);
        if (m_route)
            CancelMibChangeNotify2(m_route);
    }
    IpHelperWatch(const IpHelperWatch &) = delete;
    IpHelperWatch &operator=(const IpHelperWatch &) = delete;

    bool Register()
    {
        return NotifyUnicastIpAddressChange(AF_UNSPEC, &notified<MIB_UNICASTIPADDRESS_ROW>, this,
                                            FALSE, &m_address)
                   == NO_ERROR
               && NotifyRouteChange2(AF_UNSPEC, &notified<MIB_IPFORWARD_ROW2>, this, FALSE,
                                     &m_route)
                      == NO_ERROR;
    }

private:
    template<typename Row>
    static void WINAPI notified(void *context, Row *, MIB_NOTIFICATION_TYPE)
    {
        static_cast<IpHelperWatch *>(context)->m_changed();
    }

    std::function<void()> m_changed;
    HANDLE m_address = nullptr;
    HANDLE m_route = nullptr;
};

} // namespace

std::unique_ptr<Watch> WatchAddresses(std::function<void()> changed)
{
    if (ChangesNeverTold())
        return nullptr;
    auto watch = std::make_unique<IpHelperWatch>(std::move(changed));
    if (!watch->Register())
        return nullptr;
    return watch;
}

} // namespace pellwick
