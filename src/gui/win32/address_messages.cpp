#include "gui/win32/address_messages.h"

namespace pellwick {

AddressMessages::AddressMessages(HWND window)
    : m_window(window)
    , m_watch(WatchAddresses([this] {
        if (!m_posted.exchange(true))
            PostMessageW(m_window, kMessage, 0, 0);
    }))
{
}

bool AddressMessages::Take(UINT message)
{
    if (message != kMessage)
        return false;
    m_posted = false;
    return true;
}

} // namespace pellwick
