#include "gui/qt/end_signal_notifier.h"

#include <QSocketNotifier>

namespace pellwick {

EndSignalNotifier::EndSignalNotifier(QObject *parent)
    : QObject(parent)
{
    if (m_signals.Descriptor() < 0)
        return;
    auto *notifier = new QSocketNotifier(m_signals.Descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        m_signals.Acknowledge();
        emit endRequested();
    });
}

} // namespace pellwick
