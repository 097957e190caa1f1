#include "reports/stock/chart_controller.h"
#include "reports/stock/stock_texts.h"

#include "loopback_http_server.h"

#include "qstring_printer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace zambrel::stock;
using namespace std::chrono_literals;
using zambrel::testkit::LoopbackHttpServer;
using zambrel::testkit::waitUntil;

const QString kCaption = QStringLiteral("核对股票 Check Stock");

/// A controller pointed at a loopback chart site.
struct ChartFixture {
    LoopbackHttpServer server;
    ChartController chart;

    ChartFixture()
    {
        chart.setSites({server.address(), {}, 5s});
        chart.setCaption(kCaption);
        chart.setPictureSize({30, 30});
    }

    void serve(const QByteArray &response)
    {
        server.setHandler([response](const QString &) { return response; });
    }

    bool settled()
    {
        return waitUntil([this] { return !chart.isBusy(); });
    }

    void expectIdle() const
    {
        EXPECT_FALSE(chart.isBusy());
        EXPECT_TRUE(chart.codeBoxEnabled());
        EXPECT_EQ(chart.caption(), kCaption);
    }
};

QByteArray pngResponse(QSize size, QColor colour)
{
    return LoopbackHttpServer::response(200, "OK", LoopbackHttpServer::png(size, colour));
}

TEST(ChartController, EachRoadAsksForItsCodeAndKind)
{
    ChartFixture f;
    f.serve(pngResponse({8, 8}, Qt::green));
    QSignalSpy captions(&f.chart, &ChartController::captionChanged);
    QSignalSpy codeBox(&f.chart, &ChartController::codeBoxEnabledChanged);

    struct Road {
        std::function<void()> act;
        const char *path;
        ChartKind kind;
    };
    QString holdingCode;
    const Road roads[] = {
        {[&] { f.chart.showKLine(QStringLiteral("1")); }, "/htmdata/KLINE/000001.png", ChartKind::KLine},
        {[&] { f.chart.showTrend(QStringLiteral(" 600000 浦发银行 ")); }, "/htmdata/gif/600000.png",
         ChartKind::Trend},
        {[&] { f.chart.enterCode(QStringLiteral("1")); }, "/htmdata/KLINE/000001.png", ChartKind::KLine},
        {[&] { f.chart.enterCode(QStringLiteral("600000 浦发银行")); }, "/htmdata/KLINE/600000.png",
         ChartKind::KLine},
        {[&] { holdingCode = f.chart.showHolding(QStringLiteral("浦发银行")); }, "/htmdata/KLINE/000000.png",
         ChartKind::KLine},
        {[&] { f.chart.toggleKind(QStringLiteral("600036")); }, "/htmdata/gif/600036.png", ChartKind::Trend},
        {[&] { f.chart.toggleKind(QStringLiteral("600036")); }, "/htmdata/KLINE/600036.png",
         ChartKind::KLine},
    };
    for (const Road &road : roads) {
        SCOPED_TRACE(road.path);
        captions.clear();
        codeBox.clear();
        road.act();
        // Busy from the moment the road returns.
        EXPECT_TRUE(f.chart.isBusy());
        EXPECT_FALSE(f.chart.codeBoxEnabled());
        EXPECT_EQ(f.chart.caption(), kBusyCaption);
        EXPECT_EQ(f.chart.lastKind(), road.kind);
        ASSERT_TRUE(f.settled());
        f.expectIdle();
        EXPECT_EQ(f.server.paths().last(), QString::fromLatin1(road.path));
        ASSERT_EQ(captions.size(), 2);
        EXPECT_EQ(captions[0][0].toString(), kBusyCaption);
        EXPECT_EQ(captions[1][0].toString(), kCaption);
        ASSERT_EQ(codeBox.size(), 2);
        EXPECT_FALSE(codeBox[0][0].toBool());
        EXPECT_TRUE(codeBox[1][0].toBool());
    }
    EXPECT_EQ(holdingCode, QStringLiteral("000000"));
    EXPECT_EQ(f.chart.showHolding(QStringLiteral("600036 招商银行")), QStringLiteral("600036"));
}

TEST(ChartController, ChartsAreDrawnTopLeftWithoutClearing)
{
    ChartFixture f;
    QSignalSpy drawn(&f.chart, &ChartController::pictureChanged);
    f.serve(pngResponse({20, 10}, Qt::red));
    f.chart.showKLine(QStringLiteral("1"));
    ASSERT_TRUE(f.settled());
    f.serve(pngResponse({10, 5}, Qt::blue));
    f.chart.showKLine(QStringLiteral("2"));
    ASSERT_TRUE(f.settled());

    const QImage &picture = f.chart.picture();
    EXPECT_EQ(picture.size(), QSize(30, 30));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(9, 4), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(15, 8), QColor(Qt::red)); // the first chart shows round the second
    EXPECT_EQ(picture.pixelColor(25, 25).alpha(), 0);
    EXPECT_EQ(drawn.size(), 2);
    EXPECT_TRUE(f.chart.statusText().isEmpty());

    // A bigger box keeps what was drawn.
    f.chart.setPictureSize({40, 40});
    EXPECT_EQ(f.chart.picture().pixelColor(15, 8), QColor(Qt::red));
}

TEST(ChartController, FailuresLeaveThePictureAndRestoreTheWindow)
{
    struct Failure {
        const char *name;
        std::optional<QByteArray> response;
    };
    const Failure failures[] = {
        {"404", LoopbackHttpServer::response(404, "Not Found", "no such code", "text/html")},
        {"garbage", LoopbackHttpServer::response(200, "OK", "<html>not a picture</html>", "text/html")},
        {"one byte", LoopbackHttpServer::response(200, "OK", "x")},
        {"never answered", std::nullopt},
    };
    ChartFixture f;
    f.serve(pngResponse({6, 6}, Qt::red));
    f.chart.showKLine(QStringLiteral("1"));
    ASSERT_TRUE(f.settled());
    const QImage before = f.chart.picture();

    for (const Failure &failure : failures) {
        SCOPED_TRACE(failure.name);
        f.server.setHandler([&failure](const QString &) { return failure.response; });
        f.chart.setSites({f.server.address(), {}, failure.response ? 5s : 300ms});
        QSignalSpy drawn(&f.chart, &ChartController::pictureChanged);
        QSignalSpy status(&f.chart, &ChartController::statusChanged);
        f.chart.toggleKind(QStringLiteral("1"));
        ASSERT_TRUE(f.chart.isBusy());
        ASSERT_TRUE(f.settled()); // the bounded wait ends the silent one
        f.expectIdle();
        EXPECT_EQ(f.chart.picture(), before);
        EXPECT_TRUE(drawn.isEmpty());
        EXPECT_FALSE(f.chart.statusText().isEmpty());
        ASSERT_FALSE(status.isEmpty());
        EXPECT_EQ(status.last().first().toString(), f.chart.statusText());
    }
}

TEST(ChartController, ClosingTheWindowDropsTheRequest)
{
    ChartFixture f;
    f.server.setHandler([](const QString &path) -> std::optional<QByteArray> {
        if (path.contains(QStringLiteral("999999")))
            return LoopbackHttpServer::response(404, "Not Found", {});
        return std::nullopt;
    });
    QSignalSpy drawn(&f.chart, &ChartController::pictureChanged);
    f.chart.showKLine(QStringLiteral("1"));
    ASSERT_TRUE(waitUntil([&] { return f.server.heldCount() == 1; }));
    f.chart.cancel();
    f.expectIdle();
    ASSERT_TRUE(waitUntil([&] { return f.server.closedCount() == 1; })); // no late answer can come in

    // Barrier: the next request's end comes after anything stale.
    f.chart.showKLine(QStringLiteral("999999"));
    ASSERT_TRUE(f.settled());
    EXPECT_TRUE(drawn.isEmpty());
    EXPECT_EQ(f.chart.picture().pixelColor(0, 0).alpha(), 0);
}

TEST(ChartController, ANewRequestWhileOneRunsKeepsTheCaptionToRestore)
{
    ChartFixture f;
    f.server.setHandler([](const QString &path) -> std::optional<QByteArray> {
        if (path.contains(QStringLiteral("000001")))
            return std::nullopt;
        return pngResponse({6, 6}, Qt::blue);
    });
    QSignalSpy drawn(&f.chart, &ChartController::pictureChanged);
    f.chart.showKLine(QStringLiteral("1"));
    ASSERT_TRUE(waitUntil([&] { return f.server.heldCount() == 1; }));
    f.chart.showTrend(QStringLiteral("2"));
    ASSERT_TRUE(f.settled());
    f.expectIdle();
    EXPECT_EQ(drawn.size(), 1);
    EXPECT_EQ(f.chart.lastKind(), ChartKind::Trend);

    // A caption set while a request runs is the one restored.
    f.chart.showKLine(QStringLiteral("1"));
    f.chart.setCaption(QStringLiteral("核对股票 2024-05"));
    EXPECT_EQ(f.chart.caption(), kBusyCaption);
    f.chart.cancel();
    EXPECT_EQ(f.chart.caption(), QStringLiteral("核对股票 2024-05"));
}

TEST(ChartController, WithoutAChartSiteNothingIsSent)
{
    ChartFixture f;
    f.chart.setSites({});
    EXPECT_FALSE(f.chart.chartSite().ready());
    f.chart.showKLine(QStringLiteral("600000"));
    f.expectIdle();
    EXPECT_EQ(f.chart.statusText(), f.chart.chartSite().hint);
    EXPECT_EQ(f.chart.lastKind(), ChartKind::KLine);
    f.chart.toggleKind(QStringLiteral("600000"));
    EXPECT_EQ(f.chart.lastKind(), ChartKind::Trend);
    EXPECT_TRUE(f.server.paths().isEmpty());
}

TEST(ChartController, DestroyedWhileARequestRuns)
{
    LoopbackHttpServer server;
    server.setHandler([](const QString &) { return std::nullopt; });
    int signals = 0;
    {
        ChartController chart;
        chart.setSites({server.address(), {}, 10s});
        QObject::connect(&chart, &ChartController::captionChanged, &server, [&signals] { ++signals; });
        QObject::connect(&chart, &ChartController::codeBoxEnabledChanged, &server, [&signals] { ++signals; });
        chart.showKLine(QStringLiteral("1"));
        ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
        signals = 0;
    }
    EXPECT_EQ(signals, 0);
    ASSERT_TRUE(waitUntil([&] { return server.closedCount() == 1; }));
}

} // namespace
