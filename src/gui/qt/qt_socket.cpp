// SPDX-License-Identifier: MIT
#include "gui/qt/qt_socket.h"

#include <QCryptographicHash>
#include <QHostInfo>
#include <QSslCertificate>
#include <QSslSocket>

#include <algorithm>
#include <limits>
#include <utility>

namespace pellwick {

QtSocket::QtSocket(QObject *parent)
    : QObject(parent)
{
    m_stagger.setSingleShot(true);
    connect(&m_stagger, &QTimer::timeout, this, [this] {
        if (m_race)
            step(m_race->TimerFired());
    });
}

QtSocket::~QtSocket()
{
    // The sockets' own destruction still reports; nothing may reach this
    // half-destroyed object or the dialogue.
    dropAttempts();
    if (m_socket)
        m_socket->disconnect(this);
}

void QtSocket::adopt(QTcpSocket *socket)
{
    if (m_socket) {
        // A dialogue may start the next one from inside this socket's own
        // signal, so it goes once that signal is over.
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    socket->disconnect(this);
    m_socket = socket;
    m_tls = qobject_cast<QSslSocket *>(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const qint64 waiting
            = std::min<qint64>(socket->bytesAvailable(), std::numeric_limits<std::int32_t>::max());
        emit dataArrival(static_cast<std::int32_t>(waiting));
    });
    connect(socket, &QTcpSocket::errorOccurred, this, &QtSocket::reportError);
    if (!m_tls)
        return;
    connect(m_tls, &QSslSocket::encrypted, this, [this] {
        const QSslCertificate certificate = m_tls->peerCertificate();
        const TlsPeer peer {
            certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper().toStdString(),
            m_certificateProblems.isEmpty() && !certificate.isNull(),
            certificate.isNull() ? std::string("no certificate")
                                 : m_certificateProblems.join(QStringLiteral("; ")).toStdString(),
        };
        if (Events())
            Events()->SocketEncrypted(peer);
    });
    // The handshake is let through so that the dialogue sees the certificate
    // and decides; it sends nothing over a connection it does not trust.
    connect(m_tls, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        for (const QSslError &error : errors)
            m_certificateProblems << error.errorString().toLower();
        m_tls->ignoreSslErrors(errors);
    });
}

void QtSocket::dropAttempts()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
    m_lookup = -1;
    m_stagger.stop();
    m_race.reset();
    for (QTcpSocket *attempt : std::exchange(m_attempts, {})) {
        attempt->disconnect(this);
        attempt->abort();
        attempt->deleteLater();
    }
}

void QtSocket::Close()
{
    dropAttempts();
    if (m_socket)
        m_socket->abort();
    m_certificateProblems.clear();
}

void QtSocket::Connect(const std::string &host, std::uint16_t port, Security security)
{
    Close();
    m_host = QString::fromStdString(host);
    m_port = port;
    m_security = security;
    if (const QHostAddress literal(m_host); !literal.isNull()) {
        resolved({literal});
        return;
    }
    m_lookup = QHostInfo::lookupHost(m_host, this, [this](const QHostInfo &info) {
        m_lookup = -1;
        resolved(info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress> {});
    });
}

void QtSocket::resolved(const QList<QHostAddress> &addresses)
{
    m_addresses = InterleaveFamilies(std::vector(addresses.begin(), addresses.end()),
                                     [](const QHostAddress &address) {
                                         return address.protocol() == QAbstractSocket::IPv6Protocol;
                                     });
    m_race.emplace(static_cast<std::size_t>(m_addresses.size()));
    step(m_race->Begin());
}

void QtSocket::step(ConnectRace::Step next)
{
    if (next.armTimer)
        m_stagger.start(ConnectRace::kAttemptDelayMs);
    if (next.failed && m_addresses.empty() && Events())
        Events()->SocketFailed(SocketFailure::HostNotFound, "host not found");
    if (!next.start)
        return;
    // A plain mail never loads the TLS backend.
    QTcpSocket *attempt = m_security == Security::None ? new QTcpSocket(this) : [this] {
        auto *tls = new QSslSocket(this);
        // The connection goes to an address; the certificate must name the host.
        tls->setPeerVerifyName(m_host);
        return tls;
    }();
    m_attempts << attempt;
    connect(attempt, &QTcpSocket::connected, this, [this, attempt] { attemptConnected(attempt); });
    connect(attempt, &QTcpSocket::errorOccurred, this, [this, attempt] { attemptFailed(attempt); });
    attempt->connectToHost(m_addresses[*next.start], m_port);
}

void QtSocket::attemptConnected(QTcpSocket *attempt)
{
    m_attempts.removeOne(attempt);
    dropAttempts();
    adopt(attempt);
    if (Events())
        Events()->SocketConnected();
    if (m_security == Security::Tls && m_tls && m_socket == attempt)
        m_tls->startClientEncryption();
}

void QtSocket::attemptFailed(QTcpSocket *attempt)
{
    if (!m_race)
        return;
    m_attempts.removeOne(attempt);
    const ConnectRace::Step next = m_race->AttemptFailed();
    if (!next.failed) {
        attempt->disconnect(this);
        attempt->deleteLater();
        step(next);
        return;
    }
    // The last one's error is the connection's.
    dropAttempts();
    adopt(attempt);
    reportError(attempt->error());
}

void QtSocket::StartTls()
{
    if (m_tls)
        m_tls->startClientEncryption();
    else if (Events())
        Events()->SocketFailed(SocketFailure::Tls, "the connection was not opened for TLS");
}

void QtSocket::SendData(const std::string &text)
{
    if (m_socket)
        m_socket->write(text.data(), static_cast<qint64>(text.size()));
}

void QtSocket::GetData(std::string &data, std::int32_t count)
{
    const qint64 waiting = m_socket ? m_socket->bytesAvailable() : 0;
    const qint64 wanted = std::clamp<qint64>(count, 0, waiting);
    data.resize(static_cast<std::size_t>(wanted));
    const qint64 got = wanted > 0 ? m_socket->read(data.data(), wanted) : 0;
    data.resize(static_cast<std::size_t>(std::max<qint64>(got, 0)));
}

void QtSocket::reportError(QAbstractSocket::SocketError error)
{
    if (!Events())
        return;
    const std::string detail = m_socket->errorString().toLower().toStdString();
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        Events()->SocketFailed(SocketFailure::HostNotFound, "host not found");
        break;
    case QAbstractSocket::ConnectionRefusedError:
        Events()->SocketFailed(SocketFailure::Refused, "connection refused");
        break;
    case QAbstractSocket::RemoteHostClosedError:
        Events()->SocketFailed(SocketFailure::Closed, "closed by the server");
        break;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        Events()->SocketFailed(SocketFailure::Tls, detail);
        break;
    default:
        Events()->SocketFailed(SocketFailure::Other, detail);
        break;
    }
}

} // namespace pellwick
