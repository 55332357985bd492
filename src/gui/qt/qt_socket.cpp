// SPDX-License-Identifier: MIT
#include "gui/qt/qt_socket.h"

#include <QCryptographicHash>
#include <QSslCertificate>
#include <QSslSocket>

#include <algorithm>
#include <limits>

namespace pellwick {

QtSocket::~QtSocket()
{
    // The socket's own destruction still reports; nothing may reach this
    // half-destroyed object or the dialogue.
    if (m_socket)
        m_socket->disconnect(this);
}

QSslSocket &QtSocket::tlsSocket()
{
    if (!m_tls) {
        auto *tls = new QSslSocket(this);
        adopt(tls);
        m_tls = tls;
        connect(tls, &QSslSocket::encrypted, this, [this] {
            const QSslCertificate certificate = m_tls->peerCertificate();
            const TlsPeer peer {
                certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper().toStdString(),
                m_certificateProblems.isEmpty() && !certificate.isNull(),
                certificate.isNull()
                    ? std::string("no certificate")
                    : m_certificateProblems.join(QStringLiteral("; ")).toStdString(),
            };
            if (Events())
                Events()->SocketEncrypted(peer);
        });
        // The handshake is let through so that the dialogue sees the
        // certificate and decides; it sends nothing over a connection it does
        // not trust.
        connect(tls, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
            for (const QSslError &error : errors)
                m_certificateProblems << error.errorString().toLower();
            m_tls->ignoreSslErrors(errors);
        });
    }
    return *m_tls;
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
    m_socket = socket;
    m_tls = nullptr;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const qint64 waiting
            = std::min<qint64>(socket->bytesAvailable(), std::numeric_limits<std::int32_t>::max());
        emit dataArrival(static_cast<std::int32_t>(waiting));
    });
    connect(socket, &QTcpSocket::connected, this, [this] {
        if (Events())
            Events()->SocketConnected();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, &QtSocket::reportError);
}

void QtSocket::Close()
{
    if (m_socket)
        m_socket->abort();
    m_certificateProblems.clear();
}

void QtSocket::Connect(const std::string &host, std::uint16_t port, Security security)
{
    const QString name = QString::fromStdString(host);
    if (security == Security::Tls) {
        tlsSocket().connectToHostEncrypted(name, port);
        return;
    }
    if (security == Security::StartTls)
        tlsSocket();
    else if (!m_socket || m_tls)
        adopt(new QTcpSocket(this));
    m_socket->connectToHost(name, port);
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
