// SPDX-License-Identifier: MIT
#include "platform/single_instance.h"

#include "platform/windows/instance_window.h"
#include "platform/windows/windows_api.h"

namespace pellwick {

namespace {

// Held for the life of the first start; Windows drops it when the process ends,
// however it ends. One per session, which is one per signed-in user.
const wchar_t kMutexName[] = L"Local\\Pellwick.Instance";

class MutexInstance : public SingleInstance
{
public:
    explicit MutexInstance(HANDLE mutex)
        : m_mutex(mutex, &CloseHandle)
    {
    }

    // Requests arrive as a message to the window (instance_window.h), not here.
    int Handle() const override { return -1; }
    std::optional<InstanceRequest> TakeRequest() override { return std::nullopt; }

private:
    std::unique_ptr<void, decltype(&CloseHandle)> m_mutex;
};

} // namespace

InstanceClaim ClaimSingleInstance(InstanceRequest request)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        if (HWND running = FindWindowW(kInstanceWindowClass, nullptr))
            PostMessageW(running, RegisterWindowMessageW(kInstanceRequestMessage),
                         static_cast<WPARAM>(request), 0);
        return {};
    }
    // Without a mutex (no resources) the program runs all the same.
    return {std::make_unique<MutexInstance>(mutex)};
}

} // namespace pellwick
