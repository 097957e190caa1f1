#include "reports/stock/stock_sites.h"

#include "base/app_paths.h"
#include "base/text.h"

#include <algorithm>

namespace zambrel::stock {
namespace {

constexpr std::chrono::milliseconds kShortestTimeout{100};
constexpr std::chrono::milliseconds kLongestTimeout{300000};

QString notSetHint(Site site)
{
    return site == Site::Chart ? QStringLiteral("请按“设置 Settings”填写图表网站地址 "
                                                "Press 设置 Settings to enter the chart site")
                               : QStringLiteral("请按“设置 Settings”填写公司资料网站地址 "
                                                "Press 设置 Settings to enter the company site");
}

QString invalidHint(Site site)
{
    return site == Site::Chart ? QStringLiteral("图表网站地址无效，只能是 http 或 https "
                                                "The chart site must be an http or https address")
                               : QStringLiteral("公司资料网站地址无效，只能是 http 或 https "
                                                "The company site must be an http or https address");
}

/// `base` with `suffix` (already percent-encoded) appended to its path.
QUrl withPath(const QUrl &base, const QString &encodedSuffix)
{
    QUrl url = base;
    url.setPath(base.path(QUrl::FullyEncoded) + encodedSuffix, QUrl::TolerantMode);
    return url;
}

} // namespace

SiteSettings loadSiteSettings()
{
    SiteSettings settings;
    settings.chartHost = base::settingsValue(kSettingsSection, kChartHostKey).trimmed();
    settings.companyHost = base::settingsValue(kSettingsSection, kCompanyHostKey).trimmed();
    bool ok = false;
    const double seconds = base::settingsValue(kSettingsSection, kTimeoutKey).toDouble(&ok);
    if (ok && seconds > 0) {
        const auto wanted = std::chrono::milliseconds(static_cast<qint64>(std::min(seconds, 1e6) * 1000));
        settings.timeout = std::clamp(wanted, kShortestTimeout, kLongestTimeout);
    }
    return settings;
}

void saveSiteSettings(const SiteSettings &settings)
{
    base::saveSetting(kSettingsSection, kChartHostKey, settings.chartHost.trimmed());
    base::saveSetting(kSettingsSection, kCompanyHostKey, settings.companyHost.trimmed());
    base::saveSetting(kSettingsSection, kTimeoutKey,
                      QString::number(static_cast<double>(settings.timeout.count()) / 1000.0));
}

SiteCheck checkSite(const QString &address, Site site)
{
    QString text = address.trimmed();
    if (text.isEmpty())
        return {{}, notSetHint(site)};
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("http://"));
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        return {{}, invalidHint(site)};
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path, QUrl::TolerantMode);
    return {url, {}};
}

QUrl chartUrl(const QString &chartHost, ChartKind kind, const QString &code)
{
    const SiteCheck site = checkSite(chartHost, Site::Chart);
    if (!site.ready())
        return {};
    const QString folder =
        kind == ChartKind::Trend ? QStringLiteral("/htmdata/gif/") : QStringLiteral("/htmdata/KLINE/");
    return withPath(site.base,
                    folder + QString::fromLatin1(QUrl::toPercentEncoding(code)) + QStringLiteral(".png"));
}

QUrl companyPageUrl(const QString &companyHost, const QString &codeText)
{
    const SiteCheck site = checkSite(companyHost, Site::Company);
    if (!site.ready())
        return {};
    const QByteArray code = QUrl::toPercentEncoding(base::trimBlanks(codeText));
    return withPath(site.base,
                    QStringLiteral("/cominfo/default_") + QString::fromLatin1(code) + QStringLiteral(".htm"));
}

} // namespace zambrel::stock
