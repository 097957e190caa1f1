// The trend graph inside the real main window: registered with the other
// features, its toolbar button opens the graph of the open ledger, and the
// window is kept for the next opening.
#include "app/feature_list.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "reports/graph/ui/graph_window.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/ledger.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

// Reads the income line of the graph window once it shows, then presses
// its OK button.
struct Seen {
    QPointer<graph::GraphWindow> window;
    bool modal = false;
    std::vector<graph::SeriesPoint> income;

    void whenShown()
    {
        QTimer::singleShot(0, [this] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *shown = qobject_cast<graph::GraphWindow *>(widget);
                if (!shown || !shown->isVisible())
                    continue;
                window = shown;
                modal = shown->isInModalLoop();
                income = shown->geometry().lines.front().points;
                QTest::mouseClick(shown->okButton, Qt::LeftButton);
            }
        });
    }
};

} // namespace

TEST(GraphCommand, TheGraphButtonOpensTheLedgersGraphAndKeepsTheWindow)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(10, 0)); });
    testkit::writeSampleMonth(QStringLiteral("2026-03"));
    testkit::writeSampleMonth(QStringLiteral("2026-04"), 1.1);
    testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.2);
    auto main = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
    main->load();
    const QString skin = QDir(base::skinsFolder()).filePath(QStringLiteral("晴空蔚蓝.jss"));
    main->applySkin(skin);
    main->show();
    QToolButton *graphButton = main->button(QStringLiteral("Graph"));
    EXPECT_FALSE(graphButton->isEnabled());

    app::registerFeatures(*main);
    ASSERT_TRUE(main->command(QStringLiteral("Graph"))->isEnabled());
    ASSERT_TRUE(graphButton->isEnabled());

    Seen seen;
    seen.whenShown();
    QTest::mouseClick(graphButton, Qt::LeftButton);
    ASSERT_FALSE(seen.window.isNull());
    EXPECT_TRUE(seen.modal);
    EXPECT_FALSE(seen.window->isVisible());
    EXPECT_EQ(seen.window->captionBar->skinPath(), skin);
    EXPECT_TRUE(responder.shown().empty());
    // The months were written at 1.2, 1.1 and 1 times the sample.
    ASSERT_EQ(seen.income.size(), 3u);
    for (std::size_t index = 0; index < 3; ++index) {
        EXPECT_EQ(seen.income[index].month, QStringLiteral("2026-0%1").arg(5 - index));
        EXPECT_NEAR(seen.income[index].amount / seen.income[2].amount, 1.2 - 0.1 * double(index), 1e-3);
    }
    const double mayIncome = seen.income.front().amount;

    // The second opening reuses the window and reads the ledger again.
    const QPointer<graph::GraphWindow> first = seen.window;
    store::Item bonus;
    bonus.type = QStringLiteral("奖金");
    bonus.name = QStringLiteral("季度奖");
    bonus.income = 3000;
    main->ledger().addItem(QStringLiteral("2026-05"), bonus);
    seen.whenShown();
    main->command(QStringLiteral("Graph"))->trigger();
    EXPECT_EQ(seen.window, first);
    EXPECT_DOUBLE_EQ(seen.income.front().amount, mayIncome + 3000);
    EXPECT_EQ(main->findChildren<graph::GraphWindow *>().size(), 1);

    // It goes with the main window.
    main->setSwitchingLedger(true);
    main.reset();
    EXPECT_TRUE(first.isNull());
    base::setClock({});
}
