#pragma once

#include "gui/win32/win32_api.h"

#include "platform/address_watch.h"

#include <atomic>
#include <memory>

namespace pellwick {

// Address and route changes, told on a thread of the system's, as one message
// posted to a window per burst of them.
class AddressMessages
{
public:
    static constexpr UINT kMessage = WM_APP + 5;

    explicit AddressMessages(HWND window);

    // Whether changes are told at all (the system may refuse the watch).
    bool Watching() const { return m_watch != nullptr; }
    // True for the posted message; the next change posts again.
    bool Take(UINT message);

private:
    HWND m_window;
    std::atomic<bool> m_posted {false};
    std::unique_ptr<AddressWatch> m_watch;
};

} // namespace pellwick
