// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

namespace pellwick {

// Tells at once when an address or a route of this machine changes, so the IP
// step can run without waiting for the next tick. Changes are watched until
// the object is gone; its destructor returns once no call runs any more.
class AddressWatch
{
public:
    virtual ~AddressWatch() = default;
};

// Calls `changed`, on a thread of the watch's own (never the caller's), at
// each change or burst of changes; the shell carries it to its event loop.
// Nullptr where the system cannot tell (the tick still notices every change).
std::unique_ptr<AddressWatch> WatchAddresses(std::function<void()> changed);

} // namespace pellwick
