#include "gui/qt/platform_notifiers.h"

#include <QSocketNotifier>

namespace pellwick {

PlatformNotifiers::PlatformNotifiers(std::unique_ptr<AddressWatch> watch,
                                     std::unique_ptr<SingleInstance> instance, QObject *parent)
    : QObject(parent)
    , m_watch(std::move(watch))
    , m_instance(std::move(instance))
{
    if (m_watch) {
        auto *notifier = new QSocketNotifier(m_watch->Handle(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (m_watch->Drain())
                emit addressChanged();
        });
    }
    if (m_instance && m_instance->Handle() >= 0) {
        auto *notifier = new QSocketNotifier(m_instance->Handle(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (const auto request = m_instance->TakeRequest())
                emit handedOver(*request);
        });
    }
}

PlatformNotifiers::~PlatformNotifiers() = default;

} // namespace pellwick
