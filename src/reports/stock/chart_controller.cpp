#include "reports/stock/chart_controller.h"

#include "reports/stock/stock_texts.h"

#include <QPainter>

namespace zambrel::stock {

ChartController::ChartController(QObject *parent) : QObject(parent)
{
    m_fetcher.setTimeout(m_sites.timeout);
    connect(&m_fetcher, &ChartFetcher::started, this, &ChartController::onStarted);
    connect(&m_fetcher, &ChartFetcher::finished, this, &ChartController::onFinished);
}

ChartController::~ChartController()
{
    // The window may be half destroyed already: no signal may reach it.
    m_fetcher.blockSignals(true);
    m_fetcher.cancel();
}

void ChartController::setSites(const SiteSettings &sites)
{
    m_sites = sites;
    m_fetcher.setTimeout(sites.timeout);
    Q_EMIT sitesChanged();
}

SiteCheck ChartController::chartSite() const
{
    return checkSite(m_sites.chartHost, Site::Chart);
}

void ChartController::setCaption(const QString &caption)
{
    m_caption = caption;
    if (!m_busy)
        Q_EMIT captionChanged(m_caption);
}

QString ChartController::caption() const
{
    return m_busy ? kBusyCaption : m_caption;
}

void ChartController::setPictureSize(const QSize &size)
{
    if (size == m_picture.size())
        return;
    QImage resized(size, QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::transparent);
    if (!m_picture.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_picture);
    }
    m_picture = resized;
    Q_EMIT pictureChanged();
}

void ChartController::showKLine(const QString &codeText)
{
    request(leadingShareCode(codeText), ChartKind::KLine);
}

void ChartController::showTrend(const QString &codeText)
{
    request(leadingShareCode(codeText), ChartKind::Trend);
}

void ChartController::enterCode(const QString &codeText)
{
    request(typedShareCode(codeText), ChartKind::KLine);
}

QString ChartController::showHolding(const QString &shareName)
{
    const QString code = leadingShareCode(shareName);
    request(code, ChartKind::KLine);
    return code;
}

void ChartController::toggleKind(const QString &codeText)
{
    request(leadingShareCode(codeText), otherKind(m_lastKind));
}

void ChartController::cancel()
{
    m_fetcher.cancel();
    if (m_busy) {
        setStatus(QStringLiteral("图表查询已取消 Chart request cancelled"));
        setBusy(false);
    }
}

void ChartController::request(const QString &code, ChartKind kind)
{
    m_lastKind = kind;
    const QUrl url = chartUrl(m_sites.chartHost, kind, code);
    if (url.isEmpty()) {
        // Without a usable site nothing is sent; a request that runs goes on.
        setStatus(chartSite().hint);
        return;
    }
    m_fetcher.fetch(url, kind);
}

void ChartController::onStarted()
{
    setStatus({});
    setBusy(true);
}

void ChartController::onFinished(const ChartResult &result)
{
    setBusy(false);
    if (result.hasImage()) {
        draw(result.image);
        setStatus({});
    } else {
        setStatus(result.reason);
    }
}

void ChartController::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged(busy);
    Q_EMIT captionChanged(caption());
    Q_EMIT codeBoxEnabledChanged(!busy);
}

void ChartController::setStatus(const QString &text)
{
    if (text == m_status)
        return;
    m_status = text;
    Q_EMIT statusChanged(text);
}

void ChartController::draw(const QImage &chart)
{
    if (m_picture.isNull()) {
        m_picture = QImage(chart.size(), QImage::Format_ARGB32_Premultiplied);
        m_picture.fill(Qt::transparent);
    }
    {
        QPainter painter(&m_picture);
        painter.drawImage(0, 0, chart);
    }
    Q_EMIT pictureChanged();
}

} // namespace zambrel::stock
