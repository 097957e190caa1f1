// The stock check as the program offers it: the main window's menu entry
// 核对股票 on a real ledger, with the features registered as the program
// registers them, and a chart site on loopback.
#include "app/feature_list.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "base/clock.h"
#include "host/feature_host.h"
#include "ledger/ui/main_window.h"
#include "reports/stock/stock_sites.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "loopback_http_server.h"

#include "qstring_printer.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace zambrel;
using namespace std::chrono_literals;
using testkit::LoopbackHttpServer;
using testkit::waitUntil;

QAction *stockEntry(ledger::MainWindow &window)
{
    for (QAction *entry : window.monthMenu()->actions()) {
        if (entry->text() == QStringLiteral("核对股票"))
            return entry;
    }
    return nullptr;
}

QStringList shareNames(const QTreeWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        names << list->topLevelItem(row)->text(1);
    names.sort();
    return names;
}

TEST(StockCheckCommand, TheMenuEntryOpensTheWindowForTheMonthShown)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(10, 0)); });
    LoopbackHttpServer server;
    server.setHandler(
        [](const QString &) { return LoopbackHttpServer::response(404, "Not Found", {}, "text/plain"); });
    stock::saveSiteSettings({server.address(), server.address(), 5s});
    store::ensureDefaultLedger();
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    testkit::writeSampleMonth(QStringLiteral("2026-05"));

    auto window = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
    window->load();
    app::registerFeatures(*window);
    QAction *entry = stockEntry(*window);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry, window->command(QStringLiteral("month")));
    EXPECT_TRUE(entry->isEnabled());

    entry->trigger();
    QPointer<stock::StockWindow> stock = window->findChild<stock::StockWindow *>();
    ASSERT_TRUE(stock);
    EXPECT_TRUE(stock->isVisible());
    EXPECT_FALSE(stock->isModal()) << "the main window stays usable";
    EXPECT_EQ(stock->month(), window->currentMonth());
    EXPECT_EQ(stock->month(), QStringLiteral("2026-05"));
    EXPECT_EQ(shareNames(stock->holdingsList), QStringList{QStringLiteral("沪深股票")});
    EXPECT_FALSE(stock->captionBar->skinPath().isEmpty()) << "it wears the main window's skin";
    EXPECT_EQ(stock->captionBar->skinPath(), window->captionBar->skinPath());

    // Why a chart did not come is written into the main window's status line.
    QTest::mouseClick(stock->kLineButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !stock->chart().isBusy(); }));
    EXPECT_TRUE(window->statusPanelText(1).contains(QStringLiteral("404")))
        << qPrintable(window->statusPanelText(1));
    EXPECT_TRUE(responder.shown().empty());

    // OK hides it; the next opening reuses it with the inputs kept and the
    // list read again.
    stock->lowBox->setText(QStringLiteral("8"));
    QTest::mouseClick(stock->okButton, Qt::LeftButton);
    EXPECT_FALSE(stock->isVisible());
    store::Item share;
    share.type = QStringLiteral("股票");
    share.name = QStringLiteral("600000 浦发银行");
    window->ledger().addItem(QStringLiteral("2026-05"), share);
    entry->trigger();
    EXPECT_EQ(window->findChild<stock::StockWindow *>(), stock.data());
    EXPECT_TRUE(stock->isVisible());
    EXPECT_EQ(stock->lowBox->text(), QStringLiteral("8"));
    EXPECT_EQ(shareNames(stock->holdingsList),
              (QStringList{QStringLiteral("600000 浦发银行"), QStringLiteral("沪深股票")}));

    // Closed from its caption bar it is gone; the entry makes a new one.
    stock->close();
    ASSERT_TRUE(waitUntil([&] { return stock.isNull(); }));
    entry->trigger();
    stock = window->findChild<stock::StockWindow *>();
    ASSERT_TRUE(stock);
    EXPECT_TRUE(stock->isVisible());
    EXPECT_EQ(stock->lowBox->text(), QStringLiteral("10")) << "a new window starts from its starting values";

    // It goes with the main window.
    window.reset();
    EXPECT_TRUE(stock.isNull());
    base::setClock({});
}

} // namespace
