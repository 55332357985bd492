// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/deadline.h"

#include <QObject>
#include <QTimer>

namespace pellwick {

// The SMTP dialogue's time limit on a single-shot QTimer.
class QtDeadline
    : public QObject
    , public Deadline
{
    Q_OBJECT

public:
    explicit QtDeadline(QObject *parent = nullptr);

    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override;
    void Disarm() override;

private:
    QTimer m_timer;
    std::function<void()> m_expired;
};

} // namespace pellwick
