// SPDX-License-Identifier: MIT
#include "gui/qt/qt_deadline.h"

#include <utility>

namespace pellwick {

QtDeadline::QtDeadline(QObject *parent)
    : QObject(parent)
    , m_timer(this)
{
    m_timer.setSingleShot(true);
    // Minutes-long limits need no precision; a coarse timer wakes the machine less.
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        // Taken out first: the call may arm the next limit.
        if (auto expired = std::exchange(m_expired, nullptr))
            expired();
    });
}

void QtDeadline::Arm(std::chrono::milliseconds after, std::function<void()> expired)
{
    m_expired = std::move(expired);
    m_timer.start(after);
}

void QtDeadline::Disarm()
{
    m_timer.stop();
    m_expired = nullptr;
}

} // namespace pellwick
