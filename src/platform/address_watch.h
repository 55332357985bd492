#pragma once

#include <functional>
#include <memory>

namespace pellwick {

// Tells at once when an address or a route of this machine changes, so the IP
// step can run without waiting for the next tick. The shell waits on Handle()
// in its event loop (readable) and calls Drain() when it fires.
class AddressWatch
{
public:
    virtual ~AddressWatch() = default;

    // What the event loop waits on (a file descriptor where there are such).
    virtual int Handle() const = 0;

    // Reads every notice waiting; true when at least one of them was about an
    // address or a route, so one burst of notices asks for one IP step.
    virtual bool Drain() = 0;
};

// Nullptr where the system cannot tell (the tick still notices every change).
std::unique_ptr<AddressWatch> OpenAddressWatch();

// The same for event loops that take posted messages instead of handles:
// `changed` runs, on a thread of the system's, at each address or route change
// until the returned object is gone. Nullptr where changes are told through
// OpenAddressWatch instead, or not at all.
class AddressCallbacks
{
public:
    virtual ~AddressCallbacks() = default;
};
std::unique_ptr<AddressCallbacks> CallOnAddressChange(std::function<void()> changed);

} // namespace pellwick
