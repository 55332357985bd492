#include "gui/qt/qt_socket.h"

#include <QCryptographicHash>
#include <QSslCertificate>

#include <algorithm>
#include <limits>

namespace pellwick {

QtSocket::QtSocket(std::optional<std::uint16_t> portOverride, QObject *parent)
    : QObject(parent)
    , m_socket(this)
    , m_portOverride(portOverride)
{
    connect(&m_socket, &QSslSocket::readyRead, this, [this] {
        const qint64 waiting
            = std::min<qint64>(m_socket.bytesAvailable(), std::numeric_limits<std::int32_t>::max());
        emit dataArrival(static_cast<std::int32_t>(waiting));
    });
    connect(&m_socket, &QSslSocket::connected, this, [this] {
        if (Events())
            Events()->SocketConnected();
    });
    connect(&m_socket, &QSslSocket::encrypted, this, &QtSocket::reportEncrypted);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &QtSocket::reportError);
    // The handshake is let through so that the dialogue sees the certificate
    // and decides; it sends nothing over a connection it does not trust.
    connect(&m_socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        for (const QSslError &error : errors)
            m_certificateProblems << error.errorString().toLower();
        m_socket.ignoreSslErrors(errors);
    });
}

QtSocket::~QtSocket()
{
    // The socket's own destruction still reports; nothing may reach this
    // half-destroyed object or the dialogue.
    m_socket.disconnect(this);
}

void QtSocket::Close()
{
    m_socket.abort();
    m_certificateProblems.clear();
}

void QtSocket::Connect(const std::string &host, std::uint16_t port)
{
    m_socket.connectToHost(QString::fromStdString(host), m_portOverride.value_or(port));
}

void QtSocket::ConnectTls(const std::string &host, std::uint16_t port)
{
    m_socket.connectToHostEncrypted(QString::fromStdString(host), m_portOverride.value_or(port));
}

void QtSocket::StartTls()
{
    m_socket.startClientEncryption();
}

void QtSocket::SendData(const std::string &text)
{
    m_socket.write(text.data(), static_cast<qint64>(text.size()));
}

void QtSocket::GetData(std::string &data, std::int32_t count)
{
    const qint64 wanted = std::clamp<qint64>(count, 0, m_socket.bytesAvailable());
    data.resize(static_cast<std::size_t>(wanted));
    const qint64 got = m_socket.read(data.data(), wanted);
    data.resize(static_cast<std::size_t>(std::max<qint64>(got, 0)));
}

void QtSocket::reportEncrypted()
{
    const QSslCertificate certificate = m_socket.peerCertificate();
    TlsPeer peer;
    peer.fingerprint
        = certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper().toStdString();
    peer.verified = m_certificateProblems.isEmpty() && !certificate.isNull();
    peer.problem = certificate.isNull()
                       ? std::string("no certificate")
                       : m_certificateProblems.join(QStringLiteral("; ")).toStdString();
    if (Events())
        Events()->SocketEncrypted(peer);
}

void QtSocket::reportError(QAbstractSocket::SocketError error)
{
    if (!Events())
        return;
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
        Events()->SocketFailed(SocketFailure::Tls, m_socket.errorString().toLower().toStdString());
        break;
    default:
        Events()->SocketFailed(SocketFailure::Other,
                               m_socket.errorString().toLower().toStdString());
        break;
    }
}

} // namespace pellwick
