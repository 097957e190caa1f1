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

// A chart is drawn at the top-left over what was there, not on a cleared
// box; a bigger box keeps what was drawn.
TEST(ChartController, ChartsAreDrawnTopLeftWithoutClearing)
{
    ChartFixture f;
    f.serve(pngResponse({20, 10}, Qt::red));
    f.chart.showKLine(QStringLiteral("1"));
    ASSERT_TRUE(f.settled());
    f.serve(pngResponse({10, 5}, Qt::blue));
    f.chart.showKLine(QStringLiteral("2"));
    ASSERT_TRUE(f.settled());
    EXPECT_EQ(f.chart.picture().pixelColor(9, 4), QColor(Qt::blue));
    EXPECT_EQ(f.chart.picture().pixelColor(15, 8), QColor(Qt::red));
    EXPECT_EQ(f.chart.picture().pixelColor(25, 25).alpha(), 0);
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

} // namespace
