// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"
#include "platform/posix/end_signals.h"
#include "platform/single_instance.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

namespace pellwick {

// The platform's own events on the Qt event loop: an address change, a change
// of the stored settings, a later start of the program handing its request
// over (answered by SetAnswer's function), and a request from outside (a
// signal) to end the program.
class PlatformNotifiers : public QObject
{
    Q_OBJECT

public:
    // `instance` may be null (none claimed).
    explicit PlatformNotifiers(std::unique_ptr<SingleInstance> instance, QObject *parent = nullptr);
    ~PlatformNotifiers() override;

    // Address changes are told as they happen.
    bool WatchingAddresses() const { return m_watch != nullptr; }
    // Until set, a later start gets an empty reply.
    void SetAnswer(HandOverAnswer answer) { m_answer = std::move(answer); }

signals:
    // Once per burst of notices.
    void addressChanged();
    void settingsChanged();
    void endRequested();

private:
    // What calls `signal` on this object's thread, on a watch's: a burst of
    // changes is told once, while `posted` is set.
    std::function<void()> poster(std::atomic<bool> &posted, void (PlatformNotifiers::*signal)());

    std::unique_ptr<SingleInstance> m_instance;
    HandOverAnswer m_answer = [](const HandOver &) {
        return HandOverReply {};
    };
    EndSignals m_endSignals;
    std::atomic<bool> m_changePosted {false};
    std::atomic<bool> m_settingsPosted {false};
    // Last, so that their threads have stopped before the rest goes.
    std::unique_ptr<Watch> m_watch;
    std::unique_ptr<Watch> m_settingsWatch;
};

} // namespace pellwick
