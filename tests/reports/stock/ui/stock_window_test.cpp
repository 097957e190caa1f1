// The stock check window bound to its logic: real controls, a real ledger
// file, and real HTTP against a chart site on loopback; and the stock check
// as the program offers it, the main window's menu entry 核对股票.
#include "app/feature_list.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "reports/stock/stock_sites.h"
#include "reports/stock/stock_texts.h"
#include "reports/stock/ui/chart_picture.h"
#include "reports/stock/ui/site_settings_dialog.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "loopback_http_server.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "item_fixtures.h"
#include "widget_helpers.h"
#include "main_window_fixture.h"
#include "qstring_printer.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace zambrel;
using namespace zambrel::stock;
using namespace std::chrono_literals;
using testkit::LoopbackHttpServer;
constexpr auto column = testkit::columnTexts;
constexpr auto retype = testkit::retypeInto;
using testkit::waitUntil;

const QString kCaption = QStringLiteral("核对股票 Check Stock");
const QString kMonth = QStringLiteral("2026-05");

QByteArray pngResponse(QSize size, QColor colour)
{
    return LoopbackHttpServer::response(200, "OK", LoopbackHttpServer::png(size, colour));
}

store::Item share(const QString &type, const QString &name, double cost, double value)
{
    return testkit::itemOf(type, name, {0, 0, 0, cost, value});
}

/// The stock window on a real ledger, with a loopback server as both sites.
class StockWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString path = folder.file(QStringLiteral("books.mdb"));
        store::createLedger(path);
        ledger = std::make_unique<store::Ledger>(path, QString());
        setSites(server.address(), 5s);
    }

    void TearDown() override
    {
        if (window)
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void setSites(const QString &host, std::chrono::milliseconds wait)
    {
        saveSiteSettings({host, host, wait});
    }

    StockWindow &open()
    {
        window = new StockWindow(*ledger);
        skin::applySkin(window, base::defaultSkinPath());
        window->setMonth(kMonth);
        window->displayStock();
        window->show();
        return *window;
    }

    void serve(std::optional<QByteArray> response)
    {
        server.setHandler([response](const QString &) { return response; });
    }

    bool settled()
    {
        return waitUntil([this] { return window && !window->chart().isBusy(); });
    }

    void expectIdle() const
    {
        EXPECT_TRUE(window->codeBox->isEnabled());
        EXPECT_EQ(window->captionBar->title(), kCaption);
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    LoopbackHttpServer server;
    std::unique_ptr<store::Ledger> ledger;
    QPointer<StockWindow> window;
};

TEST_F(StockWindowTest, TargetTableFollowsTheInputsAndTheOptionButtons)
{
    StockWindow &w = open();
    EXPECT_EQ(column(w.targetList, 1), QStringList(kTargetRowCount, QString()))
        << "no prices before a choice";

    // The worked example (the figures are the price targets' own test); a
    // negative range when L is above H.
    QTest::mouseClick(w.riseOption, Qt::LeftButton);
    EXPECT_EQ(w.rangeBox->text(), QStringLiteral("10"));
    EXPECT_EQ(w.targetList->topLevelItem(0)->text(1), QStringLiteral("13.82"));
    retype(w.lowBox, QStringLiteral("20"));
    retype(w.highBox, QStringLiteral("10"));
    EXPECT_EQ(w.rangeBox->text(), QStringLiteral("-10"));
    EXPECT_EQ(w.targetList->topLevelItem(0)->text(1), QStringLiteral("16.18"));

    // Text that is no number leaves table and range as they are.
    const QStringList before = column(w.targetList, 1);
    retype(w.lowBox, QStringLiteral("abc"));
    EXPECT_EQ(column(w.targetList, 1), before);
    EXPECT_EQ(w.rangeBox->text(), QStringLiteral("-10"));
}

// (That the list is read afresh on each opening is the menu entry's test.)
TEST_F(StockWindowTest, HoldingsAreTheMonthsShareItems)
{
    ledger->addItem(kMonth, share(QStringLiteral("股票"), QStringLiteral("600000 浦发银行"), 1000, 1250.5));
    ledger->addItem(kMonth, share(QStringLiteral("基金"), QStringLiteral("指数基金"), 500, 520));
    ledger->addItem(QStringLiteral("2026-04"),
                    share(QStringLiteral("股票"), QStringLiteral("600036 招商银行"), 9, 9));
    ledger->addItemType(QStringLiteral("港股股票"), QStringLiteral("0010"));
    ledger->addItem(kMonth, share(QStringLiteral("港股股票"), QStringLiteral("00700 腾讯"), 300, 240));

    StockWindow &w = open();
    QStringList rows;
    for (int row = 0; row < w.holdingsList->topLevelItemCount(); ++row) {
        QStringList cells;
        for (int cell = 0; cell < 5; ++cell)
            cells << w.holdingsList->topLevelItem(row)->text(cell);
        rows << cells.join(u'|');
    }
    rows.sort();
    EXPECT_EQ(rows,
              (QStringList{"2026-05|00700 腾讯|300|240|-60", "2026-05|600000 浦发银行|1000|1250.5|250.5"}));
}

TEST_F(StockWindowTest, EveryRoadAsksForItsChartAndDrawsItAtTheTopLeft)
{
    ledger->addItem(kMonth, share(QStringLiteral("股票"), QStringLiteral("600036 招商银行"), 1, 1));
    serve(pngResponse({40, 20}, Qt::red));
    StockWindow &w = open();

    auto rowNamed = [&w](const QString &name) {
        return w.holdingsList->findItems(name, Qt::MatchExactly, 1).value(0);
    };
    struct Road {
        const char *name;
        std::function<void()> act;
        const char *path;
        const char *code; // what the code box shows afterwards
    };
    const Road roads[] = {
        {"检查 Check", [&] { QTest::mouseClick(w.kLineButton, Qt::LeftButton); }, "/htmdata/KLINE/600000.png",
         "600000"},
        {"Enter with 1",
         [&] {
             retype(w.codeBox, QStringLiteral("1"));
             QTest::keyClick(w.codeBox, Qt::Key_Return);
         },
         "/htmdata/KLINE/000001.png", "1"},
        {"holding row",
         [&] {
             QTest::mouseClick(
                 w.holdingsList->viewport(), Qt::LeftButton, {},
                 w.holdingsList->visualItemRect(rowNamed(QStringLiteral("600036 招商银行"))).center());
         },
         "/htmdata/KLINE/600036.png", "600036"},
        {"Space on the picture",
         [&] {
             w.picture->setFocus();
             QTest::keyClick(w.picture, Qt::Key_Space);
         },
         "/htmdata/gif/600036.png", "600036"},
    };
    for (const Road &road : roads) {
        SCOPED_TRACE(road.name);
        const qsizetype asked = server.paths().size();
        road.act();
        // While the request runs: busy caption, code box off.
        ASSERT_TRUE(w.chart().isBusy());
        EXPECT_EQ(w.captionBar->title(), kBusyCaption);
        EXPECT_FALSE(w.codeBox->isEnabled());
        ASSERT_TRUE(settled());
        expectIdle();
        ASSERT_EQ(server.paths().size(), asked + 1);
        EXPECT_EQ(server.paths().last(), QString::fromLatin1(road.path));
        EXPECT_EQ(w.codeBox->text(), QString::fromUtf8(road.code));
    }

    // Drawn at the top-left of the picture box, at its own size; the rest of
    // the box shows what was there (its background).
    const QImage shown = w.picture->grab().toImage();
    const QPoint origin = w.picture->contentsRect().topLeft();
    EXPECT_EQ(shown.pixelColor(origin + QPoint(39, 19)), QColor(Qt::red));
    EXPECT_NE(shown.pixelColor(origin + QPoint(41, 21)), QColor(Qt::red));

    // A failure leaves the picture as it is, says why, and brings the window back.
    serve(LoopbackHttpServer::response(404, "Not Found", "no such code", "text/html"));
    QSignalSpy status(&w, &StockWindow::statusChanged);
    QTest::mouseClick(w.kLineButton, Qt::LeftButton);
    ASSERT_TRUE(settled());
    expectIdle();
    EXPECT_TRUE(status.value(status.size() - 1).value(0).toString().contains(QStringLiteral("404")));
    EXPECT_EQ(w.picture->grab().toImage().pixelColor(origin + QPoint(39, 19)), QColor(Qt::red));
    EXPECT_TRUE(responder.shown().empty());
}

// A silent site: the bounded wait ends the request, says why, and the box
// typed in has the keyboard again.
TEST_F(StockWindowTest, ASilentSiteEndsAfterTheBoundedWait)
{
    setSites(server.address(), 300ms);
    serve(std::nullopt);
    StockWindow &w = open();
    QSignalSpy status(&w, &StockWindow::statusChanged);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.codeBox->setFocus();
    QTest::keyClick(w.codeBox, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    ASSERT_TRUE(settled());
    expectIdle();
    EXPECT_FALSE(status.isEmpty());
    EXPECT_TRUE(w.codeBox->hasFocus());
}

TEST_F(StockWindowTest, HidingOrClosingWhileARequestRunsDropsIt)
{
    serve(std::nullopt);
    StockWindow &w = open();

    // OK hides: the request is abandoned, the caption from before it and
    // the code box come back.
    QTest::mouseClick(w.kLineButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    QTest::mouseClick(w.okButton, Qt::LeftButton);
    EXPECT_FALSE(w.chart().isBusy());
    expectIdle();
    ASSERT_TRUE(waitUntil([&] { return server.closedCount() == 1; }));

    // The caption bar's close unloads the window while a request runs; the
    // connection is dropped and nothing reaches the gone window.
    w.show();
    QTest::mouseClick(w.trendButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    skin::CaptionBar *bar = w.captionBar;
    const QPoint close = skin::captionButtonRect(bar->buttonMetrics(), skin::CloseButton).center();
    QTest::mouseMove(bar, close);
    QTest::mouseClick(bar, Qt::LeftButton, {}, close);
    ASSERT_TRUE(waitUntil([&] { return window.isNull(); })) << "closed from the caption bar: unloaded";
    ASSERT_TRUE(waitUntil([&] { return server.closedCount() == 2; }));
    QTest::qWait(50); // a late answer would have had its chance
    EXPECT_TRUE(responder.shown().empty());
}

// Without sites the picture says how to set them and nothing is sent; the
// settings window stores them.
TEST_F(StockWindowTest, WithoutSitesNothingIsSentAndTheSettingsWindowStoresThem)
{
    setSites({}, 7s);
    serve(pngResponse({8, 8}, Qt::green));
    StockWindow &w = open();
    const QString hint = checkSite({}, Site::Chart).hint;
    EXPECT_EQ(w.picture->hint(), hint);
    QSignalSpy status(&w, &StockWindow::statusChanged);
    QTest::mouseClick(w.kLineButton, Qt::LeftButton);
    EXPECT_EQ(status.value(status.size() - 1).value(0).toString(), hint);
    EXPECT_TRUE(server.paths().isEmpty());

    // What a person does in the settings window, once it is up.
    bool refused = false;
    QTimer::singleShot(0, &w, [&] {
        SiteSettingsDialog *dialog = w.siteDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isModal());
        retype(dialog->chartSiteBox, QStringLiteral("ftp://charts.example"));
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        refused = dialog->isVisible() && !dialog->hintLabel->text().isEmpty();
        retype(dialog->chartSiteBox, server.address());
        retype(dialog->companySiteBox, QStringLiteral("  info.example  "));
        QTest::keyClick(dialog->companySiteBox, Qt::Key_Return);
    });
    QTest::mouseClick(w.settingsButton, Qt::LeftButton);
    EXPECT_TRUE(refused) << "an ftp address is refused in the hint line";

    const SiteSettings stored = loadSiteSettings();
    EXPECT_EQ(stored.chartHost, server.address());
    EXPECT_EQ(stored.companyHost, QStringLiteral("info.example"));
    EXPECT_EQ(stored.timeout, 7s) << "the wait is left as it was";
    EXPECT_TRUE(w.picture->hint().isEmpty());
    QTest::mouseClick(w.kLineButton, Qt::LeftButton);
    ASSERT_TRUE(settled());
    EXPECT_EQ(server.paths(), QStringList{QStringLiteral("/htmdata/KLINE/600000.png")});
}

// The menu entry on a real ledger, with the features registered as the
// program registers them.
TEST(StockCheckCommand, TheMenuEntryOpensTheWindowForTheMonthShown)
{
    testkit::WindowFixture fixture;
    LoopbackHttpServer server;
    server.setHandler(
        [](const QString &) { return LoopbackHttpServer::response(404, "Not Found", {}, "text/plain"); });
    stock::saveSiteSettings({server.address(), server.address(), 5s});
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    ledger::MainWindow *window = &fixture.open(app::registerFeatures);
    QAction *entry = window->command(QStringLiteral("month"));
    ASSERT_TRUE(entry && window->monthMenu()->actions().contains(entry));

    entry->trigger();
    QPointer<stock::StockWindow> stock = window->findChild<stock::StockWindow *>();
    ASSERT_TRUE(stock);
    EXPECT_TRUE(stock->isVisible());
    EXPECT_FALSE(stock->isModal()) << "the main window stays usable";
    EXPECT_EQ(stock->month(), QStringLiteral("2026-05"));
    EXPECT_EQ(stock->captionBar->skinPath(), window->captionBar->skinPath()) << "the main window's skin";

    // Why a chart did not come is written into the main window's status line.
    QTest::mouseClick(stock->kLineButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !stock->chart().isBusy(); }));
    EXPECT_TRUE(window->statusPanelText(1).contains(QStringLiteral("404")))
        << qPrintable(window->statusPanelText(1));
    EXPECT_TRUE(fixture.responder.shown().empty());

    // OK hides it; the next opening reuses it with the inputs kept and the
    // list read again.
    stock->lowBox->setText(QStringLiteral("8"));
    QTest::mouseClick(stock->okButton, Qt::LeftButton);
    EXPECT_FALSE(stock->isVisible());
    window->ledger().addItem(kMonth, share(QStringLiteral("股票"), QStringLiteral("600000 浦发银行"), 0, 0));
    entry->trigger();
    EXPECT_EQ(window->findChild<stock::StockWindow *>(), stock.data());
    EXPECT_TRUE(stock->isVisible());
    EXPECT_EQ(stock->lowBox->text(), QStringLiteral("8"));
    EXPECT_EQ(column(stock->holdingsList, 1),
              (QStringList{QStringLiteral("沪深股票"), QStringLiteral("600000 浦发银行")}));

    // It goes with the main window.
    fixture.closeWindow();
    EXPECT_TRUE(stock.isNull());
}

} // namespace

