#pragma once

#include "reports/stock/chart_fetcher.h"
#include "reports/stock/share_code.h"
#include "reports/stock/stock_sites.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

namespace zambrel::stock {

/// The chart side of the stock check, for the window to bind to: the roads
/// that ask for a chart, the state they change (caption, code box, kind last
/// asked for, status line) and the picture the charts are drawn into.
///
/// Every request ends by restoring the caption and enabling the code box:
/// after a picture, after any failure, after the bounded wait, on cancel().
/// A failure leaves the picture as it was and only writes the status line.
/// No road shows a message or runs a local event loop.
///
/// Destroying the controller abandons a running request and emits nothing.
class ChartController : public QObject {
    Q_OBJECT
public:
    explicit ChartController(QObject *parent = nullptr);
    ~ChartController() override;

    /// The sites and the bounded wait (see loadSiteSettings()).
    void setSites(const SiteSettings &sites);
    const SiteSettings &sites() const { return m_sites; }
    /// Whether charts can be fetched; when not, the one-line hint the
    /// picture area shows.
    SiteCheck chartSite() const;

    /// The window's own caption: shown whenever no request runs, and the one
    /// restored after each request. Set while a request runs, it is kept for
    /// the restore and the busy caption stays.
    void setCaption(const QString &caption);
    /// kBusyCaption while a request runs, otherwise the caption set.
    QString caption() const;
    bool isBusy() const { return m_busy; }
    bool codeBoxEnabled() const { return !m_busy; }
    /// The kind last asked for (K-line before the first request); a click on
    /// the picture asks for the other one.
    ChartKind lastKind() const { return m_lastKind; }
    /// The reason the last request brought no picture, a site hint, or empty.
    QString statusText() const { return m_status; }

    /// The picture box's content: charts are drawn at its top-left corner at
    /// their natural size, clipped, over what was there (never cleared).
    /// Transparent where nothing was drawn. Before setPictureSize() the
    /// first chart sets the size.
    const QImage &picture() const { return m_picture; }
    /// Resizes the picture, keeping what was drawn at the top-left.
    void setPictureSize(const QSize &size);

    // The roads to a chart. `codeText` is the code box's text.

    /// "检查 Check": the K-line chart of the code box's leading number.
    void showKLine(const QString &codeText);
    /// "走势 Today": the trend chart of the code box's leading number.
    void showTrend(const QString &codeText);
    /// Enter in the code box: the K-line chart of the typed code
    /// (typedShareCode()).
    void enterCode(const QString &codeText);
    /// A click on a holding: the K-line chart of the share name's leading
    /// number. Returns the code, which the window writes into the code box.
    QString showHolding(const QString &shareName);
    /// A click on the picture: the other kind for the code box's leading
    /// number.
    void toggleKind(const QString &codeText);
    /// The window is hidden or closed: the running request is abandoned (no
    /// late picture) and the caption and code box are restored at once.
    void cancel();

Q_SIGNALS:
    void captionChanged(const QString &caption);
    void codeBoxEnabledChanged(bool enabled);
    void busyChanged(bool busy);
    void statusChanged(const QString &text);
    void pictureChanged();
    void sitesChanged();

private:
    void request(const QString &code, ChartKind kind);
    void onStarted();
    void onFinished(const ChartResult &result);
    void setBusy(bool busy);
    void setStatus(const QString &text);
    void draw(const QImage &chart);

    ChartFetcher m_fetcher;
    SiteSettings m_sites;
    QString m_caption;
    QString m_status;
    QImage m_picture;
    ChartKind m_lastKind = ChartKind::KLine;
    bool m_busy = false;
};

} // namespace zambrel::stock
