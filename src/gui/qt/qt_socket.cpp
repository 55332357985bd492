#include "gui/qt/qt_socket.h"

#include <algorithm>
#include <limits>

namespace pellwick {

QtSocket::QtSocket(std::optional<std::uint16_t> portOverride, QObject *parent)
    : QObject(parent)
    , m_socket(this)
    , m_portOverride(portOverride)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        const qint64 waiting
            = std::min<qint64>(m_socket.bytesAvailable(), std::numeric_limits<std::int32_t>::max());
        emit dataArrival(static_cast<std::int32_t>(waiting));
    });
}

void QtSocket::Close()
{
    m_socket.abort();
}

void QtSocket::Connect(const std::string &host, std::uint16_t port)
{
    m_socket.connectToHost(QString::fromStdString(host), m_portOverride.value_or(port));
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

} // namespace pellwick
