#pragma once

#include "platform/posix/end_signals.h"

#include <QObject>

namespace pellwick {

// Delivers the platform's end requests (signals from outside) on the event
// loop.
class EndSignalNotifier : public QObject
{
    Q_OBJECT

public:
    explicit EndSignalNotifier(QObject *parent = nullptr);

signals:
    void endRequested();

private:
    EndSignals m_signals;
};

} // namespace pellwick
