#pragma once

#include <QObject>

namespace pellwick {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the event
// loop, so that ending the program from outside goes through the one orderly
// exit like closing the window does.
class SignalWatch : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatch(QObject *parent = nullptr);
    ~SignalWatch() override;

signals:
    void endRequested();
};

} // namespace pellwick
