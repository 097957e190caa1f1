#pragma once

#include "reports/stock/share_code.h"

#include <QString>
#include <QUrl>

#include <chrono>

namespace zambrel::stock {

/// The stock-information sites and how long a chart may take. Hosts are
/// empty until the user enters them: the program calls no site the user
/// has not chosen.
///
/// Stored in the settings store, section "stock":
///   chartHost      - the chart images' site, e.g. "https://charts.example"
///   companyHost    - the company pages' site
///   timeoutSeconds - the bounded wait for a chart (default 10; 0.1 to 300)
struct SiteSettings {
    QString chartHost;
    QString companyHost;
    std::chrono::milliseconds timeout = kDefaultTimeout;

    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};
};

inline const QString kSettingsSection = QStringLiteral("stock");
inline const QString kChartHostKey = QStringLiteral("chartHost");
inline const QString kCompanyHostKey = QStringLiteral("companyHost");
inline const QString kTimeoutKey = QStringLiteral("timeoutSeconds");

/// Reads the section; a missing, non-numeric or non-positive wait gives the
/// default, a wait beyond the bounds is clamped into them.
SiteSettings loadSiteSettings();
/// Writes all three keys (the wait in seconds).
void saveSiteSettings(const SiteSettings &settings);

enum class Site { Chart, Company };

/// What a typed site address amounts to. `base` is the address the paths
/// are appended to (scheme, host, optional port and path prefix, no
/// trailing "/"), empty when there is none to use; `hint` then says in one
/// line (Chinese, English gloss) what to do about it.
struct SiteCheck {
    QUrl base;
    QString hint;
    bool ready() const { return !base.isEmpty(); }
};

/// Checks a site address as typed: blanks trimmed; a bare host name
/// ("charts.example", "127.0.0.1:8080/data") means http; only http and https
/// are accepted, with a host and without query or fragment.
SiteCheck checkSite(const QString &address, Site site);

/// The chart image's address: the chart site + "/htmdata/gif/" (trend) or
/// "/htmdata/KLINE/" (K-line) + code + ".png". Empty when the site is not
/// usable (see checkSite).
QUrl chartUrl(const QString &chartHost, ChartKind kind, const QString &code);

/// The company page's address: the company site + "/cominfo/default_" +
/// the code box's text with blanks trimmed + ".htm". The text is one path
/// segment: "/", "?", "#", blanks and non-ASCII characters are
/// percent-encoded, so a typed text can only ever name a page under
/// "/cominfo/". Empty when the site is not usable.
QUrl companyPageUrl(const QString &companyHost, const QString &codeText);

} // namespace zambrel::stock
