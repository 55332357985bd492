// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"
#include "platform/posix/end_signals.h"
#include "platform/single_instance.h"

#include <QObject>

#include <atomic>
#include <memory>

namespace pellwick {

// The platform's own events on the Qt event loop: an address change, a later
// start of the program handing its request over, and a request from outside
// (a signal) to end the program.
class PlatformNotifiers : public QObject
{
    Q_OBJECT

public:
    // `instance` may be null (none claimed).
    explicit PlatformNotifiers(std::unique_ptr<SingleInstance> instance, QObject *parent = nullptr);
    ~PlatformNotifiers() override;

    // Address changes are told as they happen.
    bool WatchingAddresses() const { return m_watch != nullptr; }

signals:
    // Once per burst of notices.
    void addressChanged();
    void handedOver(pellwick::InstanceRequest request);
    void endRequested();

private:
    std::unique_ptr<SingleInstance> m_instance;
    EndSignals m_endSignals;
    // Set while a change waits on the event loop: a burst is told once.
    std::atomic<bool> m_changePosted {false};
    // Last, so that its thread has stopped before the rest goes.
    std::unique_ptr<AddressWatch> m_watch;
};

} // namespace pellwick
