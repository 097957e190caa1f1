#include "loopback_http_server.h"

#include <QBuffer>
#include <QImage>
#include <QTcpSocket>

namespace zambrel::testkit {

LoopbackHttpServer::LoopbackHttpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onConnection);
}

QString LoopbackHttpServer::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QByteArray LoopbackHttpServer::response(int status, const QByteArray &reason, const QByteArray &body,
                                        const QByteArray &contentType)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray LoopbackHttpServer::png(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString LoopbackHttpServer::closedAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

void LoopbackHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            ++m_closed;
            m_held.removeAll(socket);
            m_received.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &received = m_received[socket];
    received += socket->readAll();
    const qsizetype headerEnd = received.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    // "GET /path HTTP/1.1"
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    received.clear();
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    m_paths.append(path);
    const std::optional<QByteArray> answer =
        m_handler ? m_handler(path) : std::optional(response(404, "Not Found", {}, "text/plain"));
    if (!answer) {
        m_held.append(socket);
        return;
    }
    socket->write(*answer);
    socket->disconnectFromHost();
}

} // namespace zambrel::testkit
