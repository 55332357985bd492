#include "platform/address_watch.h"

namespace pellwick {

// No descriptor to wait on here: the timer's tick notices every change.
std::unique_ptr<AddressWatch> OpenAddressWatch()
{
    return nullptr;
}

} // namespace pellwick
