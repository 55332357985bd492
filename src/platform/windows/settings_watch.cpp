// SPDX-License-Identifier: MIT
#include "platform/platform.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

#include <thread>
#include <vector>

namespace pellwick {

namespace {

// The program's key under both roots the store reads, each with an event that
// RegNotifyChangeKeyValue sets at a change of its values, waited on by a
// thread of the watch's own.
class RegistryWatch final : public Watch
{
public:
    RegistryWatch(std::vector<HKEY> keys, std::function<void()> changed)
        : m_keys(std::move(keys))
        , m_changed(std::move(changed))
        , m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        m_events.push_back(m_stop);
        for (std::size_t i = 0; i < m_keys.size(); ++i)
            m_events.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        m_thread = std::thread([this] { run(); });
    }
    ~RegistryWatch() override
    {
        SetEvent(m_stop);
        m_thread.join();
        for (HANDLE event : m_events)
            if (event)
                CloseHandle(event);
        for (HKEY key : m_keys)
            RegCloseKey(key);
    }
    RegistryWatch(const RegistryWatch &) = delete;
    RegistryWatch &operator=(const RegistryWatch &) = delete;

private:
    // A notice asked for by a thread lasts only as long as that thread: all
    // are asked for here.
    bool arm(std::size_t i)
    {
        return m_events[i + 1]
               && RegNotifyChangeKeyValue(m_keys[i], FALSE, REG_NOTIFY_CHANGE_LAST_SET,
                                          m_events[i + 1], TRUE)
                      == ERROR_SUCCESS;
    }

    void run()
    {
        for (std::size_t i = 0; i < m_keys.size(); ++i)
            if (!arm(i))
                return;
        for (;;) {
            const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(m_events.size()),
                                                       m_events.data(), FALSE, INFINITE);
            if (woken <= WAIT_OBJECT_0 || woken >= WAIT_OBJECT_0 + m_events.size())
                return;
            // Asked for again first, so that no change after this one goes untold.
            if (!arm(woken - WAIT_OBJECT_0 - 1))
                return;
            m_changed();
        }
    }

    std::vector<HKEY> m_keys;
    std::function<void()> m_changed;
    HANDLE m_stop;
    std::vector<HANDLE> m_events;
    std::thread m_thread;
};

} // namespace

std::unique_ptr<Watch> WatchSettings(std::function<void()> changed)
{
    std::vector<HKEY> keys;
    const std::wstring path = Widen(kSettingsKey);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_NOTIFY, &key) == ERROR_SUCCESS)
            keys.push_back(key);
    }
    if (keys.empty())
        return nullptr;
    return std::make_unique<RegistryWatch>(std::move(keys), std::move(changed));
}

} // namespace pellwick
