// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/stream_port.h"

#include <QObject>

#include <map>
#include <string>

class QTcpServer;
class QTcpSocket;

namespace pellwick {

// The router's UPnP service over TCP on the Qt event loop: QTcpSocket for the
// questions, QTcpServer for the events the router sends back.
class QtStreamPort
    : public QObject
    , public StreamPort
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~QtStreamPort() override;

    void Exchange(Ipv4 to, std::uint16_t port, const std::string &request) override;
    void Cancel() override;
    std::uint16_t Listen() override;
    void Close() override;

private:
    void exchangeRead(QTcpSocket *socket, bool closed);
    void accept();
    void requestRead(QTcpSocket *socket);
    void drop(QTcpSocket *socket);

    QTcpSocket *m_exchange = nullptr;
    std::string m_response;
    Ipv4 m_local = 0;
    QTcpServer *m_server = nullptr;
    // What came so far on each connection the listener accepted.
    std::map<QTcpSocket *, std::string> m_requests;
};

} // namespace pellwick
