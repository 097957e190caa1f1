#include "reports/stock/chart_fetcher.h"

#include "loopback_http_server.h"

#include "qstring_printer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using namespace zambrel::stock;
using namespace std::chrono_literals;
using zambrel::testkit::LoopbackHttpServer;
using zambrel::testkit::waitUntil;

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
        {"500 with a png", LoopbackHttpServer::response(500, "Server Error", png), ChartOutcome::HttpError,
         500},
        {"garbage", LoopbackHttpServer::response(200, "OK", QByteArray(300, '\x7f')),
         ChartOutcome::NotAnImage, 200},
        {"truncated png", LoopbackHttpServer::response(200, "OK", png.left(png.size() / 2)),
         ChartOutcome::NotAnImage, 200},
        {"one byte", LoopbackHttpServer::response(200, "OK", "x"), ChartOutcome::BodyTooShort, 200},
        {"empty", LoopbackHttpServer::response(200, "OK", {}), ChartOutcome::BodyTooShort, 200},
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
        EXPECT_TRUE(fetcher.isRunning());
        EXPECT_TRUE(finished.isEmpty()); // never from inside fetch()
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
        EXPECT_FALSE(fetcher.isRunning());
        const ChartResult result = onlyResult(finished);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.httpStatus, c.httpStatus);
        EXPECT_EQ(result.url, url);
        EXPECT_EQ(result.kind, ChartKind::Trend);
        // Qt retries a request whose answer was no HTTP at all.
        EXPECT_EQ(server.paths().value(0), QStringLiteral("/htmdata/KLINE/600000.png"));
        EXPECT_TRUE(server.paths().size() == 1 || c.outcome == ChartOutcome::NetworkError);
        if (c.outcome == ChartOutcome::Image) {
            EXPECT_EQ(result.image.size(), QSize(20, 10));
            EXPECT_EQ(result.image.pixelColor(0, 0), QColor(Qt::red));
            EXPECT_TRUE(result.reason.isEmpty());
        } else {
            EXPECT_TRUE(result.image.isNull());
            EXPECT_FALSE(result.reason.isEmpty());
            EXPECT_FALSE(result.reason.contains(u'\n'));
        }
        if (c.outcome == ChartOutcome::HttpError) {
            EXPECT_TRUE(result.reason.contains(QString::number(c.httpStatus))) << result.reason.toStdString();
        }
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

    for (const char *address : {"", "file:///etc/passwd", "ftp://127.0.0.1/x.png"}) {
        finished.clear();
        fetcher.fetch(QUrl(QString::fromLatin1(address)), ChartKind::KLine);
        EXPECT_TRUE(finished.isEmpty());
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
        EXPECT_EQ(onlyResult(finished).outcome, ChartOutcome::BadAddress) << address;
    }
}

} // namespace
