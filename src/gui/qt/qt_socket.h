// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/socket.h"
#include "core/net/connect_race.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QSslSocket;
class QTcpSocket;

namespace pellwick {

// The socket over QTcpSocket, or QSslSocket for a dialogue
// that uses TLS: Qt's TLS backend (OpenSSL and the system's certificates) is
// loaded only then, so a plain port-25 mail never pays for it. Every arrival
// of data is reported by dataArrival with the number of bytes waiting;
// connection, TLS and failure events go to the dialogue listening on the socket.
// A name is resolved for both families and its addresses are tried in turn,
// each attempt 250 ms after the one before unless that failed sooner; the first
// to connect is kept.
class QtSocket
    : public QObject
    , public Socket
{
    Q_OBJECT

public:
    explicit QtSocket(QObject *parent = nullptr);
    ~QtSocket() override;

    void Close() override;
    void Connect(const std::string &host, std::uint16_t port, Security security) override;
    void SendData(const std::string &text) override;
    void GetData(std::string &data, std::int32_t count) override;
    void StartTls() override;

signals:
    void dataArrival(std::int32_t count);

private:
    void resolved(const QList<QHostAddress> &addresses);
    void step(ConnectRace::Step next);
    void attemptConnected(QTcpSocket *attempt);
    void attemptFailed(QTcpSocket *attempt);
    // Ends every attempt still running, and the name's lookup.
    void dropAttempts();
    // The connection's socket from now on.
    void adopt(QTcpSocket *socket);
    void reportError(QAbstractSocket::SocketError error);

    // Children of this object; m_tls is m_socket when that is a QSslSocket.
    QTcpSocket *m_socket = nullptr;
    QSslSocket *m_tls = nullptr;
    // What the certificate check found; the dialogue decides whether it may
    // go on (a pinned certificate may).
    QStringList m_certificateProblems;

    // What Connect asked for, while its attempts run.
    QString m_host;
    std::uint16_t m_port = 0;
    Security m_security = Security::None;
    int m_lookup = -1;
    std::vector<QHostAddress> m_addresses;
    std::optional<ConnectRace> m_race;
    QList<QTcpSocket *> m_attempts;
    QTimer m_stagger;
};

} // namespace pellwick
