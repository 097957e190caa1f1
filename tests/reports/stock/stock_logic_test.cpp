// The stock check's logic without a window: share codes and site
// addresses, target prices, and fetching a chart over real HTTP on loopback.
#include "reports/stock/chart_fetcher.h"
#include "reports/stock/currency.h"
#include "reports/stock/price_targets.h"
#include "reports/stock/share_code.h"
#include "reports/stock/stock_sites.h"

#include "base/app_paths.h"
#include "loopback_http_server.h"
#include "qstring_printer.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace zambrel::stock;
using namespace std::chrono_literals;
using zambrel::testkit::LoopbackHttpServer;
using zambrel::testkit::waitUntil;

TEST(ShareCode, FromTheLeadingNumberOfATextOrName)
{
    struct Case {
        const char *text;
        const char *buttons; // leadingShareCode: buttons, holdings, picture click
        const char *enter;   // typedShareCode: Enter in the code box
    };
    const Case cases[] = {
        {"600000 浦发银行", "600000", "600000"},
        {"浦发银行", "000000", "000000"},
        {"1", "000001", "000001"},
        {"600000 1号", "600000", "600000"}, // a blank ends the number
        {"12.5abc", "000013", "000013"},
        {"1e3", "000001", "001000"},   // a whole numeric text reads as a number
        {"1,000", "000001", "001000"}, // grouping only in a whole number
        {"１２", "000000", "000000"}, // full-width digits are not a code
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(leadingShareCode(text), QString::fromUtf8(c.buttons)) << c.text;
        EXPECT_EQ(typedShareCode(text), QString::fromUtf8(c.enter)) << c.text;
    }
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
        {"ftp://charts.example", ""},
        {"javascript:alert(1)", ""},
        {"https://charts.example/?a=1", ""},
    };
    for (const Case &c : cases) {
        const QString host = QString::fromUtf8(c.host);
        EXPECT_EQ(chartUrl(host, ChartKind::Trend, QStringLiteral("000001")).toString(QUrl::FullyEncoded),
                  QString::fromUtf8(c.trend))
            << c.host;
        EXPECT_EQ(checkSite(host, Site::Chart).ready(), *c.trend != '\0') << c.host;
    }
    EXPECT_EQ(
        chartUrl(QStringLiteral("charts.example"), ChartKind::KLine, QStringLiteral("600000")).toString(),
        QStringLiteral("http://charts.example/htmdata/KLINE/600000.png"));

    const QString company = QStringLiteral("https://info.example");
    EXPECT_EQ(companyPageUrl(company, QStringLiteral(" 600000 ")).toString(QUrl::FullyEncoded),
              QStringLiteral("https://info.example/cominfo/default_600000.htm"));
    // The code box's text stays one segment of the page's name.
    EXPECT_EQ(companyPageUrl(company, QStringLiteral("../../x?y#z")).toString(QUrl::FullyEncoded),
              QStringLiteral("https://info.example/cominfo/default_..%2F..%2Fx%3Fy%23z.htm"));

    // The hints say which site to set and how.
    EXPECT_TRUE(checkSite({}, Site::Chart).hint.contains(QStringLiteral("设置 Settings")));
    EXPECT_NE(checkSite({}, Site::Chart).hint, checkSite(QStringLiteral("ftp://x"), Site::Chart).hint);
}

TEST(SiteSettingsStore, EmptyByDefaultAndRoundTrip)
{
    zambrel::testkit::TempProgramFolder folder;
    EXPECT_TRUE(loadSiteSettings().chartHost.isEmpty());

    saveSiteSettings({QStringLiteral(" https://charts.example "), QStringLiteral("info.example"), 2500ms});
    const SiteSettings stored = loadSiteSettings();
    EXPECT_EQ(stored.chartHost, QStringLiteral("https://charts.example"));
    EXPECT_EQ(zambrel::base::settingsValue(kSettingsSection, kTimeoutKey), QStringLiteral("2.5"));

    // A stored wait is kept within 0.1 s to 300 s; what is no wait is the default.
    for (const auto &[text, timeout] : {std::pair{"abc", 10000ms},
                                        {"0", 10s},
                                        {"0.01", 100ms},
                                        {"100000", 300s}}) {
        zambrel::base::saveSetting(kSettingsSection, kTimeoutKey, QString::fromLatin1(text));
        EXPECT_EQ(loadSiteSettings().timeout, timeout) << text;
    }
}

TEST(TargetTable, PricesFromTheReferencePoints)
{
    const char *fall = "16.18 15 13.82 11.91 10 3.82 0 -6.18 -16.18";
    const struct {
        const char *low;
        const char *high;
        Direction direction;
        const char *range;
        const char *prices;
    } cases[] = {
        // The worked example; neither button chosen counts as a fall.
        {"10", "20", Direction::Rise, "10", "13.82 15 16.18 18.09 20 26.18 30 36.18 46.18"},
        {"10", "20", Direction::Neither, "10", fall},
        // L above H: a negative range through the same formulas.
        {"20", "10", Direction::Rise, "-10", fall},
        // f × D goes to four decimals on its own, halves to even, before the
        // sum: 0.5 × 0.0001 is half a unit and adds nothing to L = 0.0001
        // (rounding the sum instead would give 0.0002).
        {"0.0001", "0.0002", Direction::Rise, "0.0001",
         "0.0001 0.0001 0.0002 0.0002 0.0002 0.0003 0.0003 0.0004 0.0005"},
        // 0.5 × 0.0005 = 2.5 units -> 2; 0.5 × 0.0007 = 3.5 units -> 4.
        {"0", "0.0005", Direction::Rise, "0.0005",
         "0.0002 0.0002 0.0003 0.0004 0.0005 0.0008 0.001 0.0013 0.0018"},
        // The product is a double: 0.5 × 12.3457 comes out a hair above
        // 6.17285, so it rounds up although the decimal value is a tie.
        {"0", "12.3457", Direction::Rise, "12.3457",
         "4.7161 6.1729 7.6296 9.9877 12.3457 19.9753 24.6914 32.321 44.6667"},
        // Inputs as the numeric test reads them, rounded to four decimals.
        {" 1,000 ", "1e3", Direction::Rise, "0", "1000 1000 1000 1000 1000 1000 1000 1000 1000"},
    };
    for (const auto &c : cases) {
        const auto table = targetPrices(QString::fromUtf8(c.low), QString::fromUtf8(c.high), c.direction);
        ASSERT_TRUE(table) << c.low << " " << c.high;
        EXPECT_EQ(table->rangeText(), QString::fromUtf8(c.range)) << c.low << " " << c.high;
        QStringList prices;
        for (int row = 0; row < kTargetRowCount; ++row)
            prices << table->priceText(row);
        EXPECT_EQ(prices.join(u' '), QString::fromUtf8(c.prices)) << c.low << " " << c.high;
    }
}

TEST(TargetTable, NonNumericOrOutOfRangeInputLeavesTheTableAlone)
{
    for (const char *bad : {"abc", "", "12abc", "1e999"}) {
        EXPECT_FALSE(targetPrices(QString::fromUtf8(bad), QStringLiteral("20"), Direction::Rise)) << bad;
        EXPECT_FALSE(targetPrices(QStringLiteral("10"), QString::fromUtf8(bad), Direction::Fall)) << bad;
    }
    // Values the currency cannot hold: the range, a target.
    EXPECT_FALSE(
        targetPrices(QStringLiteral("-900000000000000"), QStringLiteral("900000000000000"), Direction::Rise));
    EXPECT_FALSE(targetPrices(QStringLiteral("0"), QStringLiteral("300000000000000"), Direction::Rise));
    EXPECT_TRUE(targetPrices(QStringLiteral("0"), QStringLiteral("200000000000000"), Direction::Rise));
}

TEST(CurrencyValue, TextConversionRoundsHalvesToEven)
{
    struct Case {
        const char *text;
        qint64 units;
    };
    const Case cases[] = {
        {"10", 100000},
        {"0.00005", 0},
        {"0.00025", 2},
        {"0.0000500001", 1},
        {"1.5e-4", 2},
        {"922337203685477.5807", 9223372036854775807LL},
        {"-922337203685477.5808", -9223372036854775807LL - 1},
    };
    for (const Case &c : cases) {
        const auto value = Currency::fromText(QString::fromUtf8(c.text));
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(value->units(), c.units) << c.text;
    }
    for (const char *outside : {"922337203685477.5808", "-922337203685477.58086", "1e20", "abc"})
        EXPECT_FALSE(Currency::fromText(QString::fromUtf8(outside))) << outside;
    EXPECT_FALSE(Currency::fromDouble(std::nan("")));
}

ChartResult onlyResult(const QSignalSpy &finished)
{
    return finished.isEmpty() ? ChartResult{} : finished.first().first().value<ChartResult>();
}

struct OutcomeCase {
    const char *name;
    std::optional<QByteArray> response; // nullopt: never answered
    ChartOutcome outcome;
    int httpStatus;
};

TEST(ChartFetcher, OutcomeForEachKindOfAnswer)
{
    const QByteArray png = LoopbackHttpServer::png({20, 10}, Qt::red);
    const OutcomeCase cases[] = {
        {"png", LoopbackHttpServer::response(200, "OK", png), ChartOutcome::Image, 200},
        {"404", LoopbackHttpServer::response(404, "Not Found", "no such code", "text/html"),
         ChartOutcome::HttpError, 404},
        {"truncated png", LoopbackHttpServer::response(200, "OK", png.left(png.size() / 2)),
         ChartOutcome::NotAnImage, 200},
        {"one byte", LoopbackHttpServer::response(200, "OK", "x"), ChartOutcome::BodyTooShort, 200},
        {"too large", LoopbackHttpServer::response(200, "OK", QByteArray(200000, 'x')),
         ChartOutcome::TooLarge, 0},
        {"not HTTP", QByteArray("SSH-2.0-OpenSSH\r\n"), ChartOutcome::NetworkError, 0},
        {"silent", std::nullopt, ChartOutcome::TimedOut, 0},
    };
    for (const OutcomeCase &c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackHttpServer server;
        server.setHandler([&c](const QString &) { return c.response; });
        ChartFetcher fetcher;
        // Short only where the wait itself is tested: a loaded machine may be slow.
        fetcher.setTimeout(c.response ? 5s : 300ms);
        fetcher.setMaximumBodyBytes(100000);
        QSignalSpy finished(&fetcher, &ChartFetcher::finished);
        const QUrl url(server.address() + QStringLiteral("/htmdata/KLINE/600000.png"));
        fetcher.fetch(url, ChartKind::Trend);
        EXPECT_TRUE(finished.isEmpty()); // never from inside fetch()
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
        const ChartResult result = onlyResult(finished);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.httpStatus, c.httpStatus);
        // Qt retries a request whose answer was no HTTP at all.
        EXPECT_EQ(server.paths().value(0), QStringLiteral("/htmdata/KLINE/600000.png"));
        EXPECT_TRUE(server.paths().size() == 1 || c.outcome == ChartOutcome::NetworkError);
        EXPECT_EQ(result.image.size(), c.outcome == ChartOutcome::Image ? QSize(20, 10) : QSize(0, 0));
        EXPECT_EQ(result.reason.isEmpty(), c.outcome == ChartOutcome::Image);
        if (c.outcome == ChartOutcome::TimedOut) {
            EXPECT_TRUE(result.reason.contains(QStringLiteral("0.3"))) << result.reason.toStdString();
        }
    }
}

TEST(ChartFetcher, UnreachableOrUnusableAddresses)
{
    ChartFetcher fetcher;
    QSignalSpy finished(&fetcher, &ChartFetcher::finished);
    fetcher.fetch(QUrl(LoopbackHttpServer::closedAddress() + QStringLiteral("/x.png")), ChartKind::KLine);
    ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
    EXPECT_EQ(onlyResult(finished).outcome, ChartOutcome::NetworkError);

    for (const char *address : {"", "ftp://127.0.0.1/x.png"}) {
        finished.clear();
        fetcher.fetch(QUrl(QString::fromLatin1(address)), ChartKind::KLine);
        EXPECT_TRUE(finished.isEmpty());
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
        EXPECT_EQ(onlyResult(finished).outcome, ChartOutcome::BadAddress) << address;
    }
}

} // namespace
