#include "panel/category_rows.h"
#include "panel/ui/category_panel.h"
#include "skin/balloon_tip.h"
#include "skin/colour_pass.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace zambrel::panel;

namespace {

const QString kPayoutHeader = QStringLiteral("项  目,描      述,预 计,实 际,比 例");

// An expenditure panel with two groups and three items, as a month loads.
void fillPayout(CategoryRows &rows)
{
    rows.clear();
    rows.setCaption(QStringLiteral("支出 Loss"));
    rows.setCaptionColour(kLightRed);
    rows.setHeader(kPayoutHeader);
    rows.putItem(QStringLiteral("交通支出"), 0, {});
    rows.putItem(QStringLiteral("日常开销支出"), 0, {});
    rows.putItem(QStringLiteral("超市买菜"), 2500, QStringLiteral("日常开销支出"), 2317.8, 11,
                 QStringLiteral("两周一次"));
    rows.putItem(QStringLiteral("地铁公交"), 300, QStringLiteral("交通支出"), 268, 12);
    rows.putItem(QStringLiteral("出租车"), 100, QStringLiteral("交通支出"), 150, 13);
}

// The list shows every row and cell of the model.
void expectShowsTheModel(const CategoryPanel &panel, const CategoryRows &rows)
{
    ASSERT_EQ(panel.list->topLevelItemCount(), rows.rowCount());
    for (int row = 0; row < rows.rowCount(); ++row) {
        for (int column = 0; column < rows.columnCount(); ++column)
            EXPECT_EQ(panel.list->topLevelItem(row)->text(column), rows.row(row).text(column))
                << row << "," << column;
    }
}

QPoint rowCentre(QTreeWidget *list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

} // namespace

TEST(CategoryPanel, ShowsTheModelsRowsCellsAndTotal)
{
    CategoryRows rows;
    CategoryPanel panel(&rows);
    panel.resize(420, 300);
    fillPayout(rows);

    expectShowsTheModel(panel, rows);
    EXPECT_TRUE(panel.list->topLevelItem(0)->isFirstColumnSpanned()); // a group row
    EXPECT_FALSE(panel.list->topLevelItem(1)->isFirstColumnSpanned());
    EXPECT_EQ(panel.totalLabel->text(), rows.totalText());
    // 超市买菜's share is bold and red (below plan) as the model marks it.
    EXPECT_TRUE(panel.list->topLevelItem(rows.rowOfKey(QStringLiteral("K11")))->font(1).bold());

    // Updates and removals outside a batch reach the view row by row.
    rows.putItem(QStringLiteral("地铁"), 300, QStringLiteral("交通支出"), 300, 12, QStringLiteral("月票"));
    EXPECT_TRUE(rows.removeItem(QStringLiteral("K13")));
    expectShowsTheModel(panel, rows);
    EXPECT_EQ(panel.totalLabel->text(), rows.totalText());
}

TEST(CategoryPanel, ClicksCarryTheRowKeyAndTheMemoTipFollows)
{
    CategoryRows rows;
    CategoryPanel panel(&rows);
    panel.resize(420, 300);
    panel.show();
    fillPayout(rows);
    QSignalSpy clicks(&panel, &CategoryPanel::clicked);
    QSignalSpy doubleClicks(&panel, &CategoryPanel::doubleClicked);

    // The owner's handler sets the memo between the click and the tip.
    QObject::connect(&panel, &CategoryPanel::clicked, &panel, [&rows](const QString &key) {
        rows.setMemo(key == QLatin1String("K11") ? QStringLiteral("两周一次") : QString());
    });
    const int shop = rows.rowOfKey(QStringLiteral("K11"));
    QTest::mouseClick(panel.list->viewport(), Qt::LeftButton, {}, rowCentre(panel.list, shop));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toString(), QStringLiteral("K11"));
    ASSERT_NE(panel.memoTip(), nullptr);
    EXPECT_EQ(panel.memoTip()->text(), QStringLiteral("两周一次"));

    // An item without memo gets the fixed text.
    const int bus = rows.rowOfKey(QStringLiteral("K12"));
    QTest::mouseClick(panel.list->viewport(), Qt::LeftButton, {}, rowCentre(panel.list, bus));
    EXPECT_EQ(clicks.takeFirst().at(0).toString(), QStringLiteral("K12"));
    EXPECT_EQ(panel.memoTip()->text(), QStringLiteral("没有任何备注信息！"));

    // Enter on the selected row acts as a double-click.
    panel.list->setCurrentItem(panel.list->topLevelItem(shop));
    QTest::keyClick(panel.list, Qt::Key_Return);
    ASSERT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(doubleClicks.takeFirst().at(0).toString(), QStringLiteral("K11"));
}

TEST(CategoryPanel, OutlivesItsModel)
{
    auto rows = std::make_unique<CategoryRows>();
    CategoryPanel panel(rows.get());
    fillPayout(*rows);
    panel.list->setCurrentItem(panel.list->topLevelItem(1));
    rows.reset();
    EXPECT_EQ(panel.rows(), nullptr);
    panel.showMemoTip();
    panel.resize(300, 200);
    QTest::keyClick(panel.list, Qt::Key_Space);
}

// The columns take the list's width, less room kept for the vertical scroll
// bar: no horizontal scroll bar comes up for a pixel or two, with the
// vertical one shown or not.
TEST(CategoryPanel, TheColumnsFitTheListWithoutAHorizontalScrollBar)
{
    CategoryRows rows;
    CategoryPanel panel(&rows);
    panel.resize(500, 250);
    panel.show();
    fillPayout(rows);
    QTreeWidget *list = panel.list;
    const auto expectFit = [&](const char *when) {
        QTest::qWait(20); // the columns are fitted once the rows have settled
        const int barRoom = list->verticalScrollBar()->isVisible() ? 0 : list->verticalScrollBar()->sizeHint().width();
        EXPECT_EQ(list->header()->length(), list->viewport()->width() - barRoom) << when;
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << when;
    };
    expectFit("a few rows");
    for (int item = 0; item < 30; ++item)
        rows.putItem(QStringLiteral("项目%1").arg(item), 100 + item, QStringLiteral("交通支出"), 99.5, 100 + item);
    expectFit("more rows than the list holds");
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    panel.resize(640, 250);
    expectFit("wider");
}
