#pragma once

#include "platform/address_watch.h"
#include "platform/single_instance.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace pellwick {

// The platform's own events on the Qt event loop: an address change, and a
// later start of the program handing its request over.
class PlatformNotifiers : public QObject
{
    Q_OBJECT

public:
    // Either may be null (no watch on this system; no instance claimed).
    PlatformNotifiers(std::unique_ptr<AddressWatch> watch, std::unique_ptr<SingleInstance> instance,
                      QObject *parent = nullptr);
    ~PlatformNotifiers() override;

    // Address changes are told as they happen.
    bool WatchingAddresses() const { return m_watch != nullptr; }

signals:
    // Once per burst of notices.
    void addressChanged();
    void handedOver(pellwick::InstanceRequest request);

private:
    std::unique_ptr<AddressWatch> m_watch;
    std::unique_ptr<SingleInstance> m_instance;
};

} // namespace pellwick
