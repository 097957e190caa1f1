#include "reports/stock/chart_fetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace zambrel::stock {
namespace {

QString secondsText(std::chrono::milliseconds wait)
{
    return QString::number(static_cast<double>(wait.count()) / 1000.0);
}

QString networkReason(const QNetworkReply &reply)
{
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("网站拒绝连接 The site refused the connection");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到网站 Host not found");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("网站中断了连接 The site closed the connection");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接失败 Secure connection failed");
    default:
        return QStringLiteral("网络错误 Network error: ") + reply.errorString();
    }
}

} // namespace

ChartFetcher::ChartFetcher(QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &ChartFetcher::onDeadline);
}

ChartFetcher::~ChartFetcher()
{
    // Nothing may reach the owner while it is being torn down.
    dropReply();
}

void ChartFetcher::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = timeout;
}

void ChartFetcher::fetch(const QUrl &url, ChartKind kind)
{
    cancel();
    m_url = url;
    m_kind = kind;
    const quint64 generation = ++m_generation;
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        m_pendingBadAddress = true;
        Q_EMIT started(url, kind);
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation != m_generation || !m_pendingBadAddress)
                    return;
                endWith(ChartOutcome::BadAddress, QStringLiteral("图表地址无效 Invalid chart address"));
            },
            Qt::QueuedConnection);
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply *reply = m_network.get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onReplyFinished(reply); });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply](qint64 received, qint64) { onDownloadProgress(reply, received); });
    m_deadline.start(m_timeout);
    Q_EMIT started(url, kind);
}

void ChartFetcher::cancel()
{
    ++m_generation;
    m_pendingBadAddress = false;
    dropReply();
}

void ChartFetcher::dropReply()
{
    m_deadline.stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        // Disconnected first: abort() emits finished() synchronously.
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

void ChartFetcher::onReplyFinished(QNetworkReply *reply)
{
    if (reply != m_reply) { // an abandoned request that slipped through
        reply->deleteLater();
        return;
    }
    m_deadline.stop();
    m_reply = nullptr;
    reply->deleteLater();

    ChartResult result;
    result.url = m_url;
    result.kind = m_kind;
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || result.httpStatus >= 400) {
        if (result.httpStatus >= 400) {
            result.outcome = ChartOutcome::HttpError;
            const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            result.reason =
                QStringLiteral("网站回应 HTTP %1 %2").arg(result.httpStatus).arg(phrase).trimmed();
        } else {
            result.outcome = ChartOutcome::NetworkError;
            result.reason = networkReason(*reply);
        }
    } else {
        const QByteArray body = reply->readAll();
        if (body.size() <= 1) {
            result.outcome = ChartOutcome::BodyTooShort;
            result.reason = QStringLiteral("网站没有返回图片 The site sent no picture");
        } else if (!result.image.loadFromData(body, "PNG")) {
            result.outcome = ChartOutcome::NotAnImage;
            result.reason = QStringLiteral("收到的不是 PNG 图片 The reply is not a PNG picture");
        } else {
            result.outcome = ChartOutcome::Image;
        }
    }
    Q_EMIT finished(result);
}

void ChartFetcher::onDownloadProgress(QNetworkReply *reply, qint64 received)
{
    if (reply == m_reply && received > m_maximumBodyBytes)
        endWith(ChartOutcome::TooLarge,
                QStringLiteral("图片过大，已停止下载 Picture too large, download stopped"));
}

void ChartFetcher::onDeadline()
{
    endWith(ChartOutcome::TimedOut,
            QStringLiteral("等待超时（%1 秒） Timed out after %1 s").arg(secondsText(m_timeout)));
}

void ChartFetcher::endWith(ChartOutcome outcome, const QString &reason)
{
    dropReply();
    m_pendingBadAddress = false;
    ChartResult result;
    result.url = m_url;
    result.kind = m_kind;
    result.outcome = outcome;
    result.reason = reason;
    Q_EMIT finished(result);
}

} // namespace zambrel::stock
