// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/socket.h"

#include <QAbstractSocket>
#include <QObject>
#include <QStringList>

#include <cstdint>

class QSslSocket;
class QTcpSocket;

namespace pellwick {

// The socket over QTcpSocket, or QSslSocket for a dialogue
// that uses TLS: Qt's TLS backend (OpenSSL and the system's certificates) is
// loaded only then, so a plain port-25 mail never pays for it. Every arrival
// of data is reported by dataArrival with the number of bytes waiting;
// connection, TLS and failure events go to the dialogue listening on the socket.
class QtSocket
    : public QObject
    , public Socket
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~QtSocket() override;

    void Close() override;
    void Connect(const std::string &host, std::uint16_t port, Security security) override;
    void SendData(const std::string &text) override;
    void GetData(std::string &data, std::int32_t count) override;
    void StartTls() override;

signals:
    void dataArrival(std::int32_t count);

private:
    // The connection's socket, made anew when the kind asked for changes.
    QSslSocket &tlsSocket();
    void adopt(QTcpSocket *socket);
    void reportError(QAbstractSocket::SocketError error);

    // Children of this object; m_tls is m_socket when that is a QSslSocket.
    QTcpSocket *m_socket = nullptr;
    QSslSocket *m_tls = nullptr;
    // What the certificate check found; the dialogue decides whether it may
    // go on (a pinned certificate may).
    QStringList m_certificateProblems;
};

} // namespace pellwick
