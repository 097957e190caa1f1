#pragma once

#include "reports/stock/share_code.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>

namespace zambrel::stock {

/// How a chart request ended.
enum class ChartOutcome {
    Image,        ///< a PNG was decoded
    BadAddress,   ///< not an http/https address; nothing was sent
    NetworkError, ///< no answer: refused, host unknown, connection lost, TLS...
    HttpError,    ///< the site answered with an error status (404, 500...)
    BodyTooShort, ///< one byte or none: no picture
    NotAnImage,   ///< the body does not decode as a PNG
    TooLarge,     ///< the body passed the size bound; the download was stopped
    TimedOut,     ///< no complete answer within the bounded wait
};

/// The end of one request. `image` is set only for ChartOutcome::Image;
/// otherwise `reason` is one short line for the status line (Chinese with
/// an English gloss).
struct ChartResult {
    QUrl url;
    ChartKind kind = ChartKind::KLine;
    ChartOutcome outcome = ChartOutcome::NetworkError;
    int httpStatus = 0; ///< the status line's code when the site answered
    QImage image;
    QString reason;

    bool hasImage() const { return outcome == ChartOutcome::Image; }
};

/// Downloads chart pictures over HTTP(S), one at a time, without ever
/// running a local event loop: fetch() returns at once and finished()
/// follows from the caller's event loop.
///
/// One request at a time: fetch() while another runs abandons the running
/// one (aborted, no signal about it) so the latest click wins; the caller
/// sees one finished() for the latest request. cancel() and the destructor
/// abort likewise without any signal, so nothing arrives for a window that
/// is gone or hidden.
class ChartFetcher : public QObject {
    Q_OBJECT
public:
    explicit ChartFetcher(QObject *parent = nullptr);
    ~ChartFetcher() override;
    ChartFetcher(const ChartFetcher &) = delete;
    ChartFetcher &operator=(const ChartFetcher &) = delete;

    /// The bounded wait for a whole request, from fetch() to the last byte
    /// (default 10 s). Applies to requests started afterwards.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const { return m_timeout; }
    /// Bodies beyond this are not read to the end (default 16 MiB).
    void setMaximumBodyBytes(qint64 bytes) { m_maximumBodyBytes = bytes; }

    bool isRunning() const { return m_reply != nullptr || m_pendingBadAddress; }

    /// Starts a GET of `url`. Emits started() at once, then exactly one
    /// finished() later unless the request is abandoned. An address other
    /// than http/https ends as BadAddress without touching the network
    /// (finished() still comes from the event loop, never from inside
    /// fetch()).
    void fetch(const QUrl &url, ChartKind kind);
    /// Abandons the running request, if any: aborted at once, no signal.
    void cancel();

Q_SIGNALS:
    void started(const QUrl &url, zambrel::stock::ChartKind kind);
    void finished(const zambrel::stock::ChartResult &result);

private:
    void onReplyFinished(QNetworkReply *reply);
    void onDownloadProgress(QNetworkReply *reply, qint64 received);
    void onDeadline();
    /// Ends the running request with `outcome` (aborting it when it still
    /// runs) and reports it.
    void endWith(ChartOutcome outcome, const QString &reason);
    /// Detaches and aborts the running reply without a signal.
    void dropReply();

    QNetworkAccessManager m_network;
    QTimer m_deadline;
    QPointer<QNetworkReply> m_reply;
    QUrl m_url;
    ChartKind m_kind = ChartKind::KLine;
    std::chrono::milliseconds m_timeout{10000};
    qint64 m_maximumBodyBytes = 16 * 1024 * 1024;
    bool m_pendingBadAddress = false;
    quint64 m_generation = 0; ///< tells a queued BadAddress ending from a later request
};

} // namespace zambrel::stock
