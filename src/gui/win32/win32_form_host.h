// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/deadline.h"
#include "core/window/main_window.h"
#include "core/window/window_parts.h"

#include "gui/win32/win32_api.h"
#include "platform/platform.h"
#include "platform/windows/winsock_datagrams.h"
#include "platform/windows/winsock_socket.h"
#include "platform/windows/winsock_streams.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace pellwick {

// A deadline as a timer of the window that fires once; the window hands its
// WM_TIMER messages to HandleTimer.
class WindowDeadline : public Deadline
{
public:
    WindowDeadline(HWND window, UINT_PTR id)
        : m_window(window)
        , m_id(id)
    {
    }

    // Acts on a WM_TIMER of this timer; false for any other.
    bool HandleTimer(WPARAM id)
    {
        if (id != m_id)
            return false;
        Disarm();
        // Taken out first: the call may arm the next limit from here.
        const std::function<void()> expired = std::move(m_expired);
        if (expired)
            expired();
        return true;
    }

    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override
    {
        m_expired = std::move(expired);
        SetTimer(m_window, m_id, static_cast<UINT>(after.count()), nullptr);
    }
    void Disarm() override { KillTimer(m_window, m_id); }

protected:
    HWND m_window;

private:
    UINT_PTR m_id;
    std::function<void()> m_expired;
};

// The timer and the mail dialogue's time limit as two timers of one window.
class WindowTimers
    : public TickTimer
    , public WindowDeadline
{
public:
    WindowTimers(HWND window, std::function<void()> tick)
        : WindowDeadline(window, kDeadlineId)
        , m_tick(std::move(tick))
    {
    }

    // Acts on a WM_TIMER of one of the two timers; false for any other.
    bool HandleTimer(WPARAM id)
    {
        if (id != kTimerId)
            return WindowDeadline::HandleTimer(id);
        m_tick();
        return true;
    }

    void Start(std::int64_t intervalMs) override
    {
        SetTimer(m_window, kTimerId, static_cast<UINT>(intervalMs), nullptr);
    }
    void Stop() override { KillTimer(m_window, kTimerId); }

    // The public address's asking has a timer of its own.
    static constexpr UINT_PTR kAddressDeadlineId = 3;

private:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT_PTR kDeadlineId = 2;

    std::function<void()> m_tick;
};

// MainWindow with what either shell gives it over a window of its own: Winsock,
// the timers, and changes of the addresses and routes and of the stored
// settings, which are told on a thread of the system's or the watch's and come
// to the window as one message per burst of them.
class Win32FormHost
{
public:
    static constexpr UINT kAddressMessage = WM_APP + 5;
    static constexpr UINT kSettingsMessage = WM_APP + 6;

    Win32FormHost(HWND window, WindowView &view, MachineParts parts, NotifyArea &notifyArea,
                  Clipboard &clipboard, ServerDialog *serverDialog = nullptr)
        : m_window(window)
        , m_socket(window, [this](std::int32_t count) { m_form.DataArrived(count); })
        , m_timers(window, [this] { m_form.Tick(); })
        , m_datagrams(window)
        , m_addressDeadline(window, WindowTimers::kAddressDeadlineId)
        , m_streams(window)
        , m_addressWatch(WatchAddresses(poster(m_addressPosted, kAddressMessage)))
        , m_settingsWatch(WatchSettings(poster(m_settingsPosted, kSettingsMessage)))
        , m_form(view, WindowParts {std::move(parts),
                                    ShellParts {m_socket, m_timers, m_timers, notifyArea, clipboard,
                                                m_addressWatch != nullptr, serverDialog,
                                                &m_datagrams, &m_addressDeadline, &m_streams}})
    {
    }

    MainWindow &Form() { return m_form; }
    // The socket's, the timers' and address changes' messages, and the end of
    // the session, which may always come and saves first, as Exit does.
    // Nullopt for any other message.
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (m_socket.HandleMessage(message, wParam, lParam)
            || m_datagrams.HandleMessage(message, wParam, lParam)
            || m_streams.HandleMessage(message, wParam, lParam))
            return 0;
        switch (message) {
        case kAddressMessage:
            // The next change posts again.
            m_addressPosted = false;
            m_form.AddressChanged();
            return 0;
        case kSettingsMessage:
            m_settingsPosted = false;
            m_form.StoredSettingsChanged();
            return 0;
        case WM_TIMER:
            if (!m_timers.HandleTimer(wParam))
                m_addressDeadline.HandleTimer(wParam);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends whether or not the program has.
            if (wParam)
                m_form.ExitApp();
            return 0;
        default:
            return std::nullopt;
        }
    }

private:
    // Posts `message` to the window, once while `posted` is set.
    std::function<void()> poster(std::atomic<bool> &posted, UINT message)
    {
        return [this, &posted, message] {
            if (!posted.exchange(true))
                PostMessageW(m_window, message, 0, 0);
        };
    }

    HWND m_window;
    WinsockSocket m_socket;
    WindowTimers m_timers;
    WinsockDatagrams m_datagrams;
    WindowDeadline m_addressDeadline;
    WinsockStreams m_streams;
    std::atomic<bool> m_addressPosted {false};
    std::atomic<bool> m_settingsPosted {false};
    std::unique_ptr<Watch> m_addressWatch;
    std::unique_ptr<Watch> m_settingsWatch;
    MainWindow m_form;
};

} // namespace pellwick
