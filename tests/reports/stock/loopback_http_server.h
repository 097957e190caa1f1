#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QTcpServer>
#include <QTest>

#include <functional>
#include <optional>

class QTcpSocket;

namespace zambrel::testkit {

/// Runs the event loop until `condition` holds or `timeoutMs` passed; true
/// when it holds. (The QTRY_ macros report to QTest, not to GoogleTest.)
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 5000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

/// A small HTTP/1.1 server on 127.0.0.1 (a free port) for real requests in
/// tests. Each request's path is recorded; the handler gives the raw
/// response to write, or std::nullopt to hold the connection open without
/// ever answering.
class LoopbackHttpServer : public QObject {
public:
    using Handler = std::function<std::optional<QByteArray>(const QString &path)>;

    LoopbackHttpServer();

    /// "http://127.0.0.1:<port>".
    QString address() const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    const QStringList &paths() const { return m_paths; }
    qsizetype heldCount() const { return m_held.size(); }
    /// Connections that have ended (answered and closed, or dropped by the
    /// client).
    int closedCount() const { return m_closed; }

    /// A complete response with Content-Length and Connection: close.
    static QByteArray response(int status, const QByteArray &reason, const QByteArray &body,
                               const QByteArray &contentType = "image/png");
    /// A PNG of one colour.
    static QByteArray png(QSize size, QColor colour);
    /// An address on this machine where nothing listens.
    static QString closedAddress();

private:
    void onConnection();
    void onReadyRead(QTcpSocket *socket);

    QTcpServer m_server;
    Handler m_handler;
    QStringList m_paths;
    QHash<QTcpSocket *, QByteArray> m_received;
    QList<QTcpSocket *> m_held;
    int m_closed = 0;
};

} // namespace zambrel::testkit
