// SPDX-License-Identifier: MIT
#include "gui/qt/platform_notifiers.h"

#include <QSocketNotifier>

namespace pellwick {

PlatformNotifiers::PlatformNotifiers(std::unique_ptr<SingleInstance> instance, QObject *parent)
    : QObject(parent)
    , m_instance(std::move(instance))
    , m_watch(WatchAddresses(poster(m_changePosted, &PlatformNotifiers::addressChanged)))
    , m_settingsWatch(WatchSettings(poster(m_settingsPosted, &PlatformNotifiers::settingsChanged)))
{
    if (m_instance && m_instance->Handle() >= 0) {
        auto *notifier = new QSocketNotifier(m_instance->Handle(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this] { m_instance->TakeRequest(m_answer); });
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

std::function<void()> PlatformNotifiers::poster(std::atomic<bool> &posted,
                                                void (PlatformNotifiers::*signal)())
{
    return [this, &posted, signal] {
        if (!posted.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this, &posted, signal] {
                    posted = false;
                    emit(this->*signal)();
                },
                Qt::QueuedConnection);
    };
}

} // namespace pellwick
