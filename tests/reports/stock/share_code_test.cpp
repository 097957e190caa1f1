#include "reports/stock/share_code.h"
#include "reports/stock/stock_sites.h"

#include "base/app_paths.h"
#include "test_support.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

using namespace zambrel::stock;
using namespace std::chrono_literals;

TEST(ShareCode, FromTheLeadingNumberOfATextOrName)
{
    struct Case {
        const char *text;
        const char *buttons; // leadingShareCode: buttons, holdings, picture click
        const char *enter;   // typedShareCode: Enter in the code box
    };
    const Case cases[] = {
        {"600000 浦发银行", "600000", "600000"},
        {"  600036招商银行 ", "600036", "600036"},
        {"浦发银行", "000000", "000000"},
        {"1", "000001", "000001"},
        {" 1 ", "000001", "000001"},
        {"", "000000", "000000"},
        {"600000 1号", "600000", "600000"}, // a blank ends the number
        {"12.5abc", "000013", "000013"},
        {"-5", "-000005", "-000005"},
        {"1e3", "000001", "001000"},   // a whole numeric text reads as a number
        {"1,000", "000001", "001000"}, // grouping only in a whole number
        {"12345678", "12345678", "12345678"},
        {"１２", "000000", "000000"}, // full-width digits are not a code
        {"../../etc", "000000", "000000"},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(leadingShareCode(text), QString::fromUtf8(c.buttons)) << c.text;
        EXPECT_EQ(typedShareCode(text), QString::fromUtf8(c.enter)) << c.text;
    }
    EXPECT_EQ(otherKind(ChartKind::KLine), ChartKind::Trend);
}

TEST(SiteAddress, ChartAndCompanyAddresses)
{
    struct Case {
        const char *host;
        const char *trend; // chart of 000001; empty when refused
    };
    const Case cases[] = {
        {"charts.example", "http://charts.example/htmdata/gif/000001.png"},
        {" https://charts.example/ ", "https://charts.example/htmdata/gif/000001.png"},
        {"HTTP://Charts.Example:8080/data//", "http://charts.example:8080/data/htmdata/gif/000001.png"},
        {"127.0.0.1:8080", "http://127.0.0.1:8080/htmdata/gif/000001.png"},
        {"", ""},
        {"ftp://charts.example", ""},
        {"file:///etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"https://charts.example/?a=1", ""},
        {"https://charts.example/#top", ""},
        {"http://", ""},
    };
    for (const Case &c : cases) {
        const QString host = QString::fromUtf8(c.host);
        EXPECT_EQ(chartUrl(host, ChartKind::Trend, QStringLiteral("000001")).toString(QUrl::FullyEncoded),
                  QString::fromUtf8(c.trend))
            << c.host;
        EXPECT_EQ(checkSite(host, Site::Chart).ready(), *c.trend != '\0') << c.host;
        EXPECT_EQ(checkSite(host, Site::Chart).hint.isEmpty(), *c.trend != '\0') << c.host;
    }
    EXPECT_EQ(
        chartUrl(QStringLiteral("charts.example"), ChartKind::KLine, QStringLiteral("600000")).toString(),
        QStringLiteral("http://charts.example/htmdata/KLINE/600000.png"));

    const QString company = QStringLiteral("https://info.example");
    EXPECT_EQ(companyPageUrl(company, QStringLiteral(" 600000 ")).toString(QUrl::FullyEncoded),
              QStringLiteral("https://info.example/cominfo/default_600000.htm"));
    // The code box's text stays one segment of the page's name.
    EXPECT_EQ(companyPageUrl(company, QStringLiteral("600000 浦发")).toString(QUrl::FullyEncoded),
              QStringLiteral("https://info.example/cominfo/default_600000%20%E6%B5%A6%E5%8F%91.htm"));
    EXPECT_EQ(companyPageUrl(company, QStringLiteral("../../x?y#z")).toString(QUrl::FullyEncoded),
              QStringLiteral("https://info.example/cominfo/default_..%2F..%2Fx%3Fy%23z.htm"));
    EXPECT_TRUE(companyPageUrl({}, QStringLiteral("600000")).isEmpty());

    // The hints say which site to set and how.
    EXPECT_TRUE(checkSite({}, Site::Chart).hint.contains(QStringLiteral("设置 Settings")));
    EXPECT_NE(checkSite({}, Site::Chart).hint, checkSite({}, Site::Company).hint);
    EXPECT_NE(checkSite({}, Site::Chart).hint, checkSite(QStringLiteral("ftp://x"), Site::Chart).hint);
}

TEST(SiteSettingsStore, EmptyByDefaultAndRoundTrip)
{
    zambrel::testkit::TempProgramFolder folder;
    EXPECT_TRUE(loadSiteSettings().chartHost.isEmpty());
    EXPECT_EQ(loadSiteSettings().timeout, 10s);

    saveSiteSettings({QStringLiteral(" https://charts.example "), QStringLiteral("info.example"), 2500ms});
    const SiteSettings stored = loadSiteSettings();
    EXPECT_EQ(stored.chartHost, QStringLiteral("https://charts.example"));
    EXPECT_EQ(stored.companyHost, QStringLiteral("info.example"));
    EXPECT_EQ(stored.timeout, 2500ms);
    EXPECT_EQ(zambrel::base::settingsValue(kSettingsSection, kTimeoutKey), QStringLiteral("2.5"));

    // A stored wait is kept within 0.1 s to 300 s; what is no wait is the default.
    for (const auto &[text, timeout] : {std::pair{"abc", 10000ms},
                                        {"0", 10s},
                                        {"-3", 10s},
                                        {"0.01", 100ms},
                                        {"100000", 300s},
                                        {"1e308", 300s},
                                        {"30", 30s}}) {
        zambrel::base::saveSetting(kSettingsSection, kTimeoutKey, QString::fromLatin1(text));
        EXPECT_EQ(loadSiteSettings().timeout, timeout) << text;
    }
}

} // namespace
