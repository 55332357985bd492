// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/datagram_port.h"

#include <QObject>

class QUdpSocket;

namespace pellwick {

// The public address's UDP on the Qt event loop: QUdpSocket for the
// questions and for the router's announcements, QHostInfo for names.
class QtDatagramPort
    : public QObject
    , public DatagramPort
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~QtDatagramPort() override;

    std::string Open() override;
    void Close() override;
    void Send(Ipv4 to, std::uint16_t port, const std::string &bytes) override;
    void Resolve(const std::string &host) override;
    Ipv4 DefaultGateway() override;

private:
    void readAll(QUdpSocket &socket, bool announcement);

    QUdpSocket *m_ask = nullptr;
    QUdpSocket *m_hear = nullptr;
    // Lookups still running answer nobody once the port is closed.
    int m_generation = 0;
};

} // namespace pellwick
