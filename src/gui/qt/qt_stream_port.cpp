// SPDX-License-Identifier: MIT
#include "gui/qt/qt_stream_port.h"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace pellwick {

namespace {

// A router sends one event at a time; more connections at once are no router.
constexpr std::size_t kMaxRequests = 4;
// How long an accepted connection may take to say what it wants.
constexpr int kRequestMs = 5000;

// Appends what the socket holds to `bytes`, up to kMaxStreamBytes in all;
// whether that limit is reached.
bool readInto(QTcpSocket &socket, std::string &bytes)
{
    const QByteArray data = socket.read(
        static_cast<qint64>(kMaxStreamBytes - std::min(bytes.size(), kMaxStreamBytes)));
    bytes.append(data.constData(), static_cast<std::size_t>(data.size()));
    return bytes.size() >= kMaxStreamBytes;
}

} // namespace

QtStreamPort::~QtStreamPort()
{
    Close();
}

void QtStreamPort::Exchange(Ipv4 to, std::uint16_t port, const std::string &request)
{
    Cancel();
    auto *socket = m_exchange = new QTcpSocket(this);
    // The router is on this network: never through a proxy.
    socket->setProxy(QNetworkProxy::NoProxy);
    m_response.clear();
    m_local = 0;
    connect(socket, &QTcpSocket::connected, this, [this, socket, request] {
        m_local = socket->localAddress().toIPv4Address();
        socket->write(request.data(), static_cast<qint64>(request.size()));
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { exchangeRead(socket, false); });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, socket] { exchangeRead(socket, true); });
    // A refused or failed connection ends the exchange too; a closing peer
    // ends it through `disconnected`.
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) {
                if (error != QAbstractSocket::RemoteHostClosedError)
                    exchangeRead(socket, true);
            });
    socket->connectToHost(QHostAddress(to), port);
}

void QtStreamPort::exchangeRead(QTcpSocket *socket, bool closed)
{
    if (socket != m_exchange)
        return;
    if (!readInto(*socket, m_response) && !closed)
        return;
    // The answer may start the next exchange: this one is done first.
    m_exchange = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (Events())
        Events()->ExchangeEnded(std::exchange(m_response, {}), m_local);
}

void QtStreamPort::Cancel()
{
    if (!m_exchange)
        return;
    m_exchange->disconnect(this);
    m_exchange->abort();
    m_exchange->deleteLater();
    m_exchange = nullptr;
}

std::uint16_t QtStreamPort::Listen()
{
    if (m_server)
        return m_server->serverPort();
    m_server = new QTcpServer(this);
    m_server->setProxy(QNetworkProxy::NoProxy);
    if (!m_server->listen(QHostAddress::AnyIPv4, 0)) {
        delete std::exchange(m_server, nullptr);
        return 0;
    }
    connect(m_server, &QTcpServer::newConnection, this, &QtStreamPort::accept);
    return m_server->serverPort();
}

void QtStreamPort::accept()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (m_requests.size() >= kMaxRequests) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_requests.emplace(socket, std::string());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { requestRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        QTimer::singleShot(kRequestMs, socket, [this, socket] { drop(socket); });
    }
}

void QtStreamPort::requestRead(QTcpSocket *socket)
{
    const auto request = m_requests.find(socket);
    if (request == m_requests.end())
        return;
    const bool full = readInto(*socket, request->second);
    const auto reply = Events() ? Events()->RequestArrived(socket->peerAddress().toIPv4Address(),
                                                           request->second)
                                : std::nullopt;
    // Answering may have closed the port, and this connection with it.
    if (!m_requests.contains(socket))
        return;
    if (!reply) {
        if (full)
            drop(socket);
        return;
    }
    // Sent in full before the connection closes; nothing more is read.
    m_requests.erase(socket);
    socket->disconnect(this);
    socket->write(reply->data(), static_cast<qint64>(reply->size()));
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void QtStreamPort::drop(QTcpSocket *socket)
{
    if (m_requests.erase(socket) == 0)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void QtStreamPort::Close()
{
    Cancel();
    while (!m_requests.empty())
        drop(m_requests.begin()->first);
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
    }
}

} // namespace pellwick
