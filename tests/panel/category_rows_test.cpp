#include "panel_rows.h"
#include "panel/category_rows.h"
#include "qstring_printer.h"

#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace {

using zambrel::panel::CategoryRows;
using zambrel::testkit::rowsText;

const QString kFourColumns = QStringLiteral("项  目,描      述,金 额,比 例");
const QString kFiveColumns = QStringLiteral("项  目,描      述,预 计,实 际,比 例");

// Sets the header and puts one group row per name.
void prepare(CategoryRows &rows, const QString &header, const QStringList &groups = {})
{
    rows.setHeader(header);
    for (const QString &group : groups)
        rows.putItem(group, 0, {});
}

// Puts "name amount group amount1 code; ..." into `rows`; the group "-"
// makes a group row.
void put(CategoryRows &rows, const char *items)
{
    for (const QString &item : QString::fromUtf8(items).split(u';')) {
        const QStringList f = item.simplified().split(u' ');
        rows.putItem(f[0], f[1].toDouble(), f[2] == u'-' ? QString() : f[2], f[3].toDouble(), f[4].toInt());
    }
}

// Worked examples: the rows, shares, bold cells and colours a panel shows.
TEST(CategoryRowsLayout, WorkedExamples)
{
    const struct {
        const QString &header;
        const char *items;
        QStringList shown;
        const char *total;
    } cases[] = {
        // Items follow the last row of their group; a type without one is not shown.
        {kFourColumns,
         "工资收入 0 - 0 0; 奖金收入 0 - 0 0; A 50 工资收入 0 1; B 400 奖金收入 0 2; C 50 工资收入 0 3; "
         "D 50 利息收入 0 4",
         {"工资收入|||", "|A|50|10.0%(r)#K1", "|C|50|10.0%(r)#K3", "奖金收入|||", "|B*|400*|80.0%*(r)#K2"},
         "合计Total：500.00"},
        // 15 % is plain, more is bold; no share at or below 0; an empty group row is never bold.
        {kFourColumns,
         "g 0 - 0 0; exact 15 g 15 1; more 15.1 g 15.1 2; rest 69.9 g 69.9 3; refund -10 g -10 4; "
         "zero 0 g 0 5; pad 10 g 10 6",
         {"g|||", "|exact|15|15.0%#K1", "|more*|15.1*|15.1%*#K2", "|rest*|69.9*|69.9%*#K3", "|refund|-10|#K4",
          "|zero|0|#K5", "|pad|10|10.0%#K6"},
         "合计Total：100.00"},
        // A total of 0 leaves the shares as they were: the second row's share
        // cell still shows its Amount1 (green since 0 > -100).
        {kFourColumns,
         "g 0 - 0 0; in 100 g 0 1; out -100 g 0 2",
         {"g|||", "|in*|100*|100.0%*(r)#K1", "|out|-100|0(g)#K2"},
         "合计Total：0.00"},
        // A group row's amount counts in a four-column panel, not in a five-column one.
        {kFourColumns,
         "g 50 - 0 0; a 50 g 0 1",
         {"g|*|50*|50.0%*", "|a*|50*|50.0%*(r)#K1"},
         "合计Total：100.00"},
        {kFiveColumns,
         "g 50 - 0 0; a 10 g 40 1",
         {"g||50||", "|a*|10*|40(g)|100.0%*#K1"},
         "合计Total：40.00"},
        // Five columns: below plan red, above green, even none; the share uncoloured.
        {kFiveColumns,
         "g 0 - 0 0; under 100 g 80 1; over 100 g 120 2; even 100 g 100 3",
         {"g||||", "|under*|100*|80(r)|26.7%*#K1", "|over*|100*|120(g)|40.0%*#K2",
          "|even*|100*|100|33.3%*#K3"},
         "合计Total：300.00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.items);
        CategoryRows rows;
        rows.setHeader(c.header);
        put(rows, c.items);
        EXPECT_EQ(rowsText(rows), c.shown);
        EXPECT_EQ(rows.totalText(), QString::fromUtf8(c.total));
    }
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
    EXPECT_EQ(rowsText(rows),
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
    // The rows below the removed one are still found by their keys.
    EXPECT_TRUE(rows.removeItem(QStringLiteral("K3")));
    EXPECT_EQ(rows.row(1).text(1), QStringLiteral("B"));
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：234.50"));
    EXPECT_FALSE(rows.removeItem(QStringLiteral("K99")));
    EXPECT_FALSE(rows.removeItem(QString())); // the group row has no key
    EXPECT_EQ(rows.rowCount(), 2);
}

// A refresh empties and refills the list in one batch: the view hears of it
// once, at the end, and so can rewrite the rows it shows in place. (Single
// insertions reach the view row by row: the panel's test.)
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
    EXPECT_EQ(rowsText(rows), (QStringList{QStringLiteral("g|||"), QStringLiteral("|new*|10*|25.0%*(r)#K1"),
                                       QStringLiteral("|more*|30*|75.0%*(r)#K2")}));
    EXPECT_EQ(rows.totalText(), QStringLiteral("合计Total：40.00"));
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
        ASSERT_EQ(rowsText(batched), rowsText(eager)) << "round " << round;
        ASSERT_EQ(batched.totalText(), eager.totalText()) << "round " << round;
        for (int i = 0; i < eager.rowCount(); ++i)
            ASSERT_EQ(batched.rowOfKey(eager.row(i).key), eager.row(i).key.isEmpty() ? -1 : i);
    }
}

} // namespace
