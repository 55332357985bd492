#include "app/signal_watch.h"

namespace pellwick {

// Windows ends a desktop program through its window and the session, which the
// window handles itself.
SignalWatch::SignalWatch(QObject *parent)
    : QObject(parent)
{
}

SignalWatch::~SignalWatch() = default;

} // namespace pellwick
