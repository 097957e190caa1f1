#include "panel/category_rows.h"
#include "qstring_printer.h"

#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace {

using zambrel::panel::CategoryRows;
using zambrel::panel::kCompareGreen;
using zambrel::panel::kCompareRed;

const QString kFourColumns = QStringLiteral("项  目,描      述,金 额,比 例");
const QString kFiveColumns = QStringLiteral("项  目,描      述,预 计,实 际,比 例");

// Each row as "text|sub1|sub2|...", bold cells marked with a trailing "*",
// coloured cells with "(r)" or "(g)", and the key after "#".
QStringList dump(const CategoryRows &rows)
{
    QStringList out;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const auto &row = rows.row(i);
        QStringList cells;
        for (int c = 0; c < std::max<int>(rows.columnCount(), static_cast<int>(row.cells.size())); ++c) {
            QString text = row.text(c);
            if (row.cell(c).bold)
                text += u'*';
            if (row.cell(c).colour == kCompareRed)
                text += QStringLiteral("(r)");
            else if (row.cell(c).colour == kCompareGreen)
                text += QStringLiteral("(g)");
            cells << text;
        }
        out << cells.join(u'|') + (row.key.isEmpty() ? QString() : u'#' + row.key);
    }
    return out;
}

// Sets the header and puts one group row per name.
void prepare(CategoryRows &rows, const QString &header, const QStringList &groups = {})
{
    rows.setHeader(header);
    for (const QString &group : groups)
        rows.putItem(group, 0, {});
}

TEST(CategoryRowsLayout, ItemsFollowTheLastRowOfTheirGroupInTheOrderAdded)
{
    CategoryRows rows;
    prepare(rows, kFourColumns, {QStringLiteral("工资收入"), QStringLiteral("奖金收入")});
    rows.putItem(QStringLiteral("A"), 50, QStringLiteral("工资收入"), 0, 1);
    rows.putItem(QStringLiteral("B"), 400, QStringLiteral("奖金收入"), 0, 2);
    rows.putItem(QStringLiteral("C"), 50, QStringLiteral("工资收入"), 0, 3);
    // A type without its group row is not shown at all.
    rows.putItem(QStringLiteral("D"), 50, QStringLiteral("利息收入"), 0, 4);

    EXPECT_EQ(dump(rows), (QStringList{QStringLiteral("工资收入|||"), QStringLiteral("|A|50|10.0%(r)#K1"),
                                       QStringLiteral("|C|50|10.0%(r)#K3"), QStringLiteral("奖金收入|||"),
                                       QStringLiteral("|B*|400*|80.0%*(r)#K2")}));
    EXPECT_EQ(rows.rowOfKey(QStringLiteral("K3")), 2);
    EXPECT_EQ(rows.rowOfKey(QStringLiteral("K4")), -1);
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：500.00"));
}

TEST(CategoryRowsLayout, ExistingKeyUpdatesInPlaceOnlyUnderItsOwnGroup)
{
    CategoryRows rows;
    prepare(rows, kFiveColumns, {QStringLiteral("房租支出"), QStringLiteral("房贷支出")});
    rows.putItem(QStringLiteral("rent"), 1000, QStringLiteral("房租支出"), 1000, 7, QStringLiteral("old"));
    QSignalSpy tips(&rows, &CategoryRows::memoTipRequested);
    rows.putItem(QStringLiteral("rent2"), 1200, QStringLiteral("房租支出"), 900, 7, QStringLiteral("new"));
    EXPECT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows.memo(), QStringLiteral("new"));
    EXPECT_EQ(tips.count(), 1);
    // Same key under another group: a new row that stays without key.
    rows.putItem(QStringLiteral("loan"), 500, QStringLiteral("房贷支出"), 500, 7);
    EXPECT_EQ(dump(rows),
              (QStringList{QStringLiteral("房租支出||||"), QStringLiteral("|rent2*|1200*|900(r)|64.3%*#K7"),
                           QStringLiteral("房贷支出||||"), QStringLiteral("|loan*|500*|500|35.7%*")}));
    EXPECT_EQ(rows.rowOfKey(QStringLiteral("K7")), 1);
}

TEST(CategoryRowsLayout, RemoveItemRecomputesTotalAndLeavesGroupRows)
{
    CategoryRows rows;
    prepare(rows, kFourColumns, {QStringLiteral("工资收入")});
    rows.putItem(QStringLiteral("A"), 1000, QStringLiteral("工资收入"), 0, 1);
    rows.putItem(QStringLiteral("B"), 234.5, QStringLiteral("工资收入"), 0, 2);
    rows.putItem(QStringLiteral("C"), 10, QStringLiteral("工资收入"), 0, 3);
    QSignalSpy removed(&rows, &CategoryRows::rowRemoved);

    EXPECT_TRUE(rows.removeItem(QStringLiteral("K1")));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：244.50"));
    // The rows below the removed one are still found by their keys.
    EXPECT_EQ(rows.rowOfKey(QStringLiteral("K3")), 2);
    EXPECT_TRUE(rows.removeItem(QStringLiteral("K3")));
    EXPECT_EQ(rows.row(1).text(1), QStringLiteral("B"));

    EXPECT_FALSE(rows.removeItem(QStringLiteral("K99")));
    EXPECT_FALSE(rows.removeItem(QString())); // the group row has no key
    EXPECT_EQ(rows.rowCount(), 2);
    EXPECT_DOUBLE_EQ(rows.total(), 234.5);
}

TEST(CategoryRowsLayout, ClearAndHeaderEmptyTheListButKeepTheTotalLine)
{
    CategoryRows rows;
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计：0.00"));
    prepare(rows, kFourColumns, {QStringLiteral("工资收入")});
    rows.putItem(QStringLiteral("A"), 1234.5, QStringLiteral("工资收入"), 0, 1);
    rows.clear();
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(rows.columnCount(), 0);
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：1,234.50"));
    rows.setHeader(QStringLiteral("a|b,c"));
    EXPECT_EQ(rows.columns(), (QStringList{"a", "b", "c"}));
    // After clear the key is free again.
    prepare(rows, kFourColumns, {QStringLiteral("工资收入")});
    rows.putItem(QStringLiteral("A"), 1, QStringLiteral("工资收入"), 0, 1);
    EXPECT_EQ(rows.row(1).key, QStringLiteral("K1"));
}

TEST(CategoryRowsShares, FifteenPercentIsPlainAndMoreIsBold)
{
    CategoryRows rows;
    prepare(rows, kFourColumns, {QStringLiteral("g")});
    rows.putItem(QStringLiteral("exact"), 15, QStringLiteral("g"), 15, 1);
    rows.putItem(QStringLiteral("more"), 15.1, QStringLiteral("g"), 15.1, 2);
    rows.putItem(QStringLiteral("rest"), 69.9, QStringLiteral("g"), 69.9, 3);
    rows.putItem(QStringLiteral("refund"), -10, QStringLiteral("g"), -10, 4);
    rows.putItem(QStringLiteral("zero"), 0, QStringLiteral("g"), 0, 5);
    // Total 90: 15/90 is above 15 %, so measure against a total of 100.
    rows.putItem(QStringLiteral("pad"), 10, QStringLiteral("g"), 10, 6);
    EXPECT_DOUBLE_EQ(rows.total(), 100);
    const QStringList shown = dump(rows);
    EXPECT_EQ(shown[1], QStringLiteral("|exact|15|15.0%#K1"));
    EXPECT_EQ(shown[2], QStringLiteral("|more*|15.1*|15.1%*#K2"));
    EXPECT_EQ(shown[4], QStringLiteral("|refund|-10|#K4")); // no share for amounts at or below 0
    EXPECT_EQ(shown[5], QStringLiteral("|zero|0|#K5"));
    EXPECT_EQ(shown[0], QStringLiteral("g|||")); // group rows are never bold
}

TEST(CategoryRowsShares, ZeroTotalLeavesTheSharesAsTheyWere)
{
    CategoryRows rows;
    prepare(rows, kFourColumns, {QStringLiteral("g")});
    rows.putItem(QStringLiteral("in"), 100, QStringLiteral("g"), 0, 1);
    rows.putItem(QStringLiteral("out"), -100, QStringLiteral("g"), 0, 2);
    // The second row's share cell still shows what was written into it (its
    // Amount1, green since 0 > -100); the first keeps its 100 % share.
    EXPECT_EQ(dump(rows), (QStringList{QStringLiteral("g|||"), QStringLiteral("|in*|100*|100.0%*(r)#K1"),
                                       QStringLiteral("|out|-100|0(g)#K2")}));
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：0.00"));
}

TEST(CategoryRowsShares, GroupRowWithAmountCountsInAFourColumnPanelOnly)
{
    CategoryRows four;
    prepare(four, kFourColumns);
    four.putItem(QStringLiteral("g"), 50, {});
    four.putItem(QStringLiteral("a"), 50, QStringLiteral("g"), 0, 1);
    EXPECT_DOUBLE_EQ(four.total(), 100);
    EXPECT_EQ(four.row(0).text(3), QStringLiteral("50.0%"));

    CategoryRows five;
    five.setHeader(kFiveColumns);
    five.putItem(QStringLiteral("g"), 50, {});
    five.putItem(QStringLiteral("a"), 10, QStringLiteral("g"), 40, 1);
    EXPECT_DOUBLE_EQ(five.total(), 40);
    EXPECT_EQ(five.row(0).text(2), QStringLiteral("50"));
}

TEST(CategoryRowsColours, ComparisonColourInFiveAndFourColumnPanels)
{
    CategoryRows five;
    prepare(five, kFiveColumns, {QStringLiteral("g")});
    five.putItem(QStringLiteral("under"), 100, QStringLiteral("g"), 80, 1);
    five.putItem(QStringLiteral("over"), 100, QStringLiteral("g"), 120, 2);
    five.putItem(QStringLiteral("even"), 100, QStringLiteral("g"), 100, 3);
    EXPECT_EQ(five.row(1).cell(3).colour, kCompareRed);
    EXPECT_EQ(five.row(2).cell(3).colour, kCompareGreen);
    EXPECT_FALSE(five.row(3).cell(3).colour.has_value());
    // The share of a five-column panel is in column 5, uncoloured.
    EXPECT_EQ(five.row(2).text(4), QStringLiteral("40.0%"));
    EXPECT_FALSE(five.row(2).cell(4).colour.has_value());
    // colourItem keeps an earlier colour when the amounts are equal.
    five.colourItem(1, 5, 5);
    EXPECT_EQ(five.row(1).cell(3).colour, kCompareRed);
    five.colourItem(1, 5, 6);
    EXPECT_EQ(five.row(1).cell(3).colour, kCompareGreen);

    CategoryRows four;
    prepare(four, kFourColumns, {QStringLiteral("g")});
    four.putItem(QStringLiteral("pay"), 300, QStringLiteral("g"), 0, 1);
    EXPECT_EQ(four.row(1).text(3), QStringLiteral("100.0%"));
    EXPECT_EQ(four.row(1).cell(3).colour, kCompareRed);
}

// A refresh empties and refills the list in one batch: the view hears of it
// once, at the end (single insertions reach it row by row: the panel's test), and so can rewrite the rows it
// shows in place.
TEST(CategoryRowsNotifications, EmptyingInsideABatchIsOneReset)
{
    CategoryRows rows;
    prepare(rows, kFourColumns, {QStringLiteral("g")});
    rows.putItem(QStringLiteral("old"), 40, QStringLiteral("g"), 0, 1);
    QSignalSpy resets(&rows, &CategoryRows::rowsReset);
    QSignalSpy inserted(&rows, &CategoryRows::rowInserted);
    rows.beginUpdate();
    rows.clear();
    rows.setHeader(kFourColumns);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(rows.rowCount(), 0);
    rows.putItem(QStringLiteral("g"), 0, {});
    rows.putItem(QStringLiteral("new"), 10, QStringLiteral("g"), 0, 1);
    rows.putItem(QStringLiteral("more"), 30, QStringLiteral("g"), 0, 2);
    rows.endUpdate();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserted.count(), 0) << "quiet inside the batch";
    EXPECT_EQ(dump(rows), (QStringList{QStringLiteral("g|||"), QStringLiteral("|new*|10*|25.0%*(r)#K1"),
                                       QStringLiteral("|more*|30*|75.0%*(r)#K2")}));
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：40.00"));
}

// total() right after a batch finds the shares already written for the same
// total: no row changes. An amount written since is read afresh.
TEST(CategoryRowsNotifications, TotalAfterABatchChangesNoRowButSeesNewAmounts)
{
    CategoryRows rows;
    prepare(rows, kFourColumns);
    rows.beginUpdate();
    rows.putItem(QStringLiteral("g"), 0, {});
    rows.putItem(QStringLiteral("x"), 300, QStringLiteral("g"), 0, 1);
    rows.putItem(QStringLiteral("y"), 100, QStringLiteral("g"), 0, 2);
    rows.endUpdate();
    const QStringList loaded = dump(rows);

    QSignalSpy cells(&rows, &CategoryRows::cellsChanged);
    QSignalSpy totals(&rows, &CategoryRows::totalChanged);
    EXPECT_EQ(rows.total(), 400);
    EXPECT_EQ(cells.count(), 0);
    EXPECT_EQ(totals.count(), 1);
    EXPECT_EQ(dump(rows), loaded);

    rows.beginUpdate();
    rows.putItem(QStringLiteral("y"), 500, QStringLiteral("g"), 0, 2); // in place
    EXPECT_EQ(rows.total(), 800);
    rows.endUpdate();
    EXPECT_EQ(rows.row(2).text(3), QStringLiteral("62.5%"));
    EXPECT_EQ(rows.total(), 800);

    rows.removeItem(QStringLiteral("K2"));
    cells.clear();
    EXPECT_EQ(rows.total(), 300);
    EXPECT_EQ(cells.count(), 0); // removeItem itself recomputed and told the view
    EXPECT_EQ(rows.row(1).text(3), QStringLiteral("100.0%"));
}

// The batch computes totals and shares once; whatever the sequence of calls,
// emptying the list included, the rows must look exactly as when every call
// recomputes them.
TEST(CategoryRowsBatch, SameRowsAsRecomputingAfterEveryCall)
{
    std::mt19937 random(20260501);
    for (int round = 0; round < 1000; ++round) {
        const QString header = round % 2 ? kFourColumns : kFiveColumns;
        CategoryRows eager;
        CategoryRows batched;
        for (CategoryRows *rows : {&eager, &batched}) {
            rows->setHeader(header);
            rows->putItem(QStringLiteral("pre"), 0, {});
            rows->putItem(QStringLiteral("p"), 5, QStringLiteral("pre"), 10, 7);
        }
        batched.beginUpdate();
        const int calls = 1 + static_cast<int>(random() % 25);
        for (int call = 0; call < calls; ++call) {
            const int what = static_cast<int>(random() % 10);
            const QString group = QStringLiteral("g%1").arg(random() % 2);
            // Amounts from a small set so that totals often come back to 0.
            const double amounts[] = {0, 5, -5, 10, -10, 2.5};
            const double amount = amounts[random() % 6];
            const double amount1 = amounts[random() % 6];
            const int code = static_cast<int>(random() % 8);
            const bool emptied = random() % 12 == 0; // as a month refresh begins
            for (CategoryRows *rows : {&eager, &batched}) {
                if (emptied) {
                    rows->clear();
                    rows->setHeader(header);
                } else if (what == 0)
                    rows->putItem(group, what % 2 ? 5 : 0, {});
                else if (what == 1)
                    rows->removeItem(QStringLiteral("K%1").arg(code));
                else
                    rows->putItem(QStringLiteral("i%1").arg(call), amount, group, amount1, code);
            }
        }
        batched.endUpdate();
        ASSERT_EQ(dump(batched), dump(eager)) << "round " << round;
        ASSERT_EQ(batched.totalText(), eager.totalText()) << "round " << round;
        for (int i = 0; i < eager.rowCount(); ++i)
            ASSERT_EQ(batched.rowOfKey(eager.row(i).key), eager.row(i).key.isEmpty() ? -1 : i);
    }
}

} // namespace
