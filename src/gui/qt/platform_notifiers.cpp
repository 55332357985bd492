// SPDX-License-Identifier: MIT
#include "gui/qt/platform_notifiers.h"

#include <QSocketNotifier>

namespace pellwick {

PlatformNotifiers::PlatformNotifiers(std::unique_ptr<SingleInstance> instance, QObject *parent)
    : QObject(parent)
    , m_instance(std::move(instance))
    , m_watch(WatchAddresses([this] {
        // On the watch's thread: the signal goes out on this object's.
        if (!m_changePosted.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_changePosted = false;
                    emit addressChanged();
                },
                Qt::QueuedConnection);
    }))
{
    if (m_instance && m_instance->Handle() >= 0) {
        auto *notifier = new QSocketNotifier(m_instance->Handle(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (const auto request = m_instance->TakeRequest())
                emit handedOver(*request);
        });
    }
    if (m_endSignals.Descriptor() >= 0) {
        auto *notifier
            = new QSocketNotifier(m_endSignals.Descriptor(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            m_endSignals.Acknowledge();
            emit endRequested();
        });
    }
}

PlatformNotifiers::~PlatformNotifiers() = default;

} // namespace pellwick
