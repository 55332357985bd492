// SPDX-License-Identifier: MIT
#include "gui/qt/qt_datagram_port.h"

#include "core/net/nat_pmp.h"
#include "platform/platform.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QUdpSocket>

namespace pellwick {

QtDatagramPort::~QtDatagramPort()
{
    Close();
}

std::string QtDatagramPort::Open()
{
    if (m_ask)
        return {};
    m_ask = new QUdpSocket(this);
    // The router is on this network: no proxy is asked, nor the system's
    // proxy settings read (that alone starts a thread and costs milliseconds).
    m_ask->setProxy(QNetworkProxy::NoProxy);
    if (!m_ask->bind(QHostAddress::AnyIPv4, 0)) {
        const std::string problem = m_ask->errorString().toStdString();
        Close();
        return problem;
    }
    connect(m_ask, &QUdpSocket::readyRead, this, [this] { readAll(*m_ask, false); });
    // Several programs may hear the announcements at once.
    m_hear = new QUdpSocket(this);
    m_hear->setProxy(QNetworkProxy::NoProxy);
    if (m_hear->bind(QHostAddress::AnyIPv4, kNatPmpAnnouncePort,
                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
        && m_hear->joinMulticastGroup(QHostAddress(kAllHostsGroup)))
        connect(m_hear, &QUdpSocket::readyRead, this, [this] { readAll(*m_hear, true); });
    return {};
}

void QtDatagramPort::Close()
{
    // Closing may come from a datagram's own handling: the sockets go once it returned.
    ++m_generation;
    for (QUdpSocket *socket : {m_ask, m_hear})
        if (socket)
            socket->deleteLater();
    m_ask = m_hear = nullptr;
}

void QtDatagramPort::Send(Ipv4 to, std::uint16_t port, const std::string &bytes)
{
    if (m_ask)
        m_ask->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), QHostAddress(to),
                             port);
}

void QtDatagramPort::Resolve(const std::string &host)
{
    QHostInfo::lookupHost(QString::fromStdString(host), this,
                          [this, host, generation = m_generation](const QHostInfo &info) {
                              if (generation != m_generation || !Events())
                                  return;
                              Ipv4 found = 0;
                              for (const QHostAddress &address : info.addresses())
                                  if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                                      found = address.toIPv4Address();
                                      break;
                                  }
                              Events()->HostResolved(host, found);
                          });
}

Ipv4 QtDatagramPort::DefaultGateway()
{
    return pellwick::DefaultGateway();
}

void QtDatagramPort::readAll(QUdpSocket &socket, bool announcement)
{
    while (m_ask && socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram();
        const QByteArray data = datagram.data();
        if (Events() && datagram.isValid())
            Events()->DatagramArrived(
                {datagram.senderAddress().toIPv4Address(),
                 static_cast<std::uint16_t>(datagram.senderPort()),
                 std::string(data.constData(), static_cast<std::size_t>(data.size()))},
                announcement);
    }
}

} // namespace pellwick
