// The program's statements, as it builds them, on a real ledger.
#include "store_test_support.h"

#include "store/db_error.h"
#include "store/record_set.h"
#include "store/value_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace zambrel;
using namespace zambrel::store;

namespace {

const QString kCategoryClause = QStringLiteral(" FROM [Asset]  WHERE ([Types] IN ( select AssetType.[types] "
                                               "from  [AssetType] WHERE AssetType.[KIND] LIKE '");

class LedgerStatements : public ::testing::Test {
protected:
    void insertItem(const QString &month, const QString &type, const QString &name, double income, double pay,
                    double firstPay, double totalCost, double debet)
    {
        // The item command's statement shape, amounts in its column order.
        const QString sql =
            QStringLiteral(" insert into Asset(months,types,[name],[memo],") +
            QStringLiteral(
                "FirstPay,TotalCost,Debet,DebetPerMonth,InComePerMonth,PayPerMonth,willPayPerMonth) values") +
            QStringLiteral("('") + month + QStringLiteral("','") + sqlText(type) + QStringLiteral("','") +
            sqlText(name) + QStringLiteral("','") + QStringLiteral("',") +
            QStringList{numberToText(firstPay), numberToText(totalCost), numberToText(debet),
                        QStringLiteral("0"),    numberToText(income),    numberToText(pay),
                        QStringLiteral("0")}
                .join(QLatin1Char(',')) +
            QStringLiteral(")");
        ledger.connection->execute(sql, adCmdText | adExecuteNoRecords);
    }

    std::vector<QVariantList> rows(const QString &sql)
    {
        auto records = ledger.connection->execute(sql);
        std::vector<QVariantList> result;
        if (!records)
            return result;
        for (records->moveFirst(); !records->eof(); records->moveNext()) {
            QVariantList row;
            for (int f = 0; f < records->fieldCount(); ++f)
                row << records->value(f);
            result.push_back(row);
        }
        return result;
    }

    QStringList column(const QString &sql)
    {
        QStringList values;
        for (const auto &row : rows(sql))
            values << row.value(0).toString();
        return values;
    }

    void fillBooks()
    {
        struct Item {
            const char *month, *type, *name;
            double income, pay, firstPay, totalCost, debet;
        };
        // clang-format off
        const Item items[] = {
            {"2026-09", "工资", "九月工资", 10000, 0, 0, 0, 0}, {"2026-09", "日常开销", "吃饭", 0, 3000, 0, 0, 0},
            {"2026-09", "房产", "住房", 0, 0, 300000, 1000000, 600000},
            {"2026-09", "股票", "600000 浦发", 0, 0, 10000, 12500, 0},
            {"2026-10", "工资", "十月工资", 11000, 0, 0, 0, 0}, {"2026-10", "日常开销", "吃饭", 0, 2500, 0, 0, 0},
            {"2026-10", "奖金", "年中", 500, 0, 0, 0, 0},
        };
        // clang-format on
        for (const Item &i : items)
            insertItem(QString::fromUtf8(i.month), QString::fromUtf8(i.type), QString::fromUtf8(i.name),
                       i.income, i.pay, i.firstPay, i.totalCost, i.debet);
    }

    testkit::OpenLedger ledger;
};

TEST_F(LedgerStatements, EmptyLedger)
{
    EXPECT_TRUE(
        rows(QStringLiteral("SELECT distinct top 24  months from asset order by months desc;")).empty());
    const auto latest = rows(QStringLiteral("select max(months) as maxMonths from asset"));
    ASSERT_EQ(latest.size(), 1u);
    EXPECT_TRUE(latest[0][0].isNull());

    auto types = ledger.connection->execute(QStringLiteral("select * from AssetType order by types"));
    EXPECT_GE(types->recordCount(), 12);
    EXPECT_EQ(types->fieldCount(), 3);
    EXPECT_GE(types->fieldIndex(QStringLiteral("INDEX")), 0);
}

TEST_F(LedgerStatements, MonthListsNewestFirstAndAtMost24)
{
    // 30 months, two items each, across a year boundary.
    for (int m = 0; m < 30; ++m) {
        const QString month =
            QStringLiteral("%1-%2").arg(2024 + m / 12).arg(m % 12 + 1, 2, 10, QLatin1Char('0'));
        insertItem(month, QStringLiteral("工资"), QStringLiteral("a"), 1, 0, 0, 0, 0);
        insertItem(month, QStringLiteral("日常开销"), QStringLiteral("b"), 0, 1, 0, 0, 0);
    }
    const QStringList menu =
        column(QStringLiteral("SELECT distinct top 24  months from asset order by months desc;"));
    ASSERT_EQ(menu.size(), 24);
    EXPECT_EQ(menu.first(), QStringLiteral("2026-06"));
    EXPECT_EQ(menu.last(), QStringLiteral("2024-07"));
    EXPECT_EQ(menu.indexOf(QStringLiteral("2025-10")) + 1, menu.indexOf(QStringLiteral("2025-09")));

    const QStringList all =
        column(QStringLiteral("SELECT distinct  months from asset order by months desc;"));
    EXPECT_EQ(all.size(), 30);
    EXPECT_EQ(column(QStringLiteral("select max(months) as maxMonths from asset")),
              QStringList{QStringLiteral("2026-06")});
}

TEST_F(LedgerStatements, MonthItemsAndAssetTotal)
{
    fillBooks();
    auto items = ledger.connection->execute(
        QStringLiteral(
            "select code,types,[name],[memo],incomepermonth,paypermonth,Willpaypermonth,FirstPay,TotalCost,"
            "Debet,DebetPerMonth from Asset ") +
        QStringLiteral(" where months='") + QStringLiteral("2026-09") + QStringLiteral("'"));
    EXPECT_EQ(items->recordCount(), 4);
    EXPECT_EQ(items->fieldCount(), 11);
    EXPECT_EQ(items->value(QStringLiteral("NAME")).toString(), QStringLiteral("九月工资"));
    EXPECT_EQ(items->value(QStringLiteral("memo")).toString(), QString());
    EXPECT_FALSE(items->isNull(QStringLiteral("memo"))) << "empty text is not null";
    EXPECT_EQ(items->value(QStringLiteral("IncomePerMonth")).typeId(), QMetaType::Double);
    EXPECT_EQ(items->value(QStringLiteral("WillPayPerMonth")).toDouble(), 0.0);

    auto total = [&](const QString &month) {
        return ledger.connection->execute(QStringLiteral("SELECT SUM([TotalCost]) AS T  ") + kCategoryClause +
                                          QStringLiteral("[0-1][0-1]1[0-1]') )") +
                                          QStringLiteral("  AND  [Asset].[months]='") + month +
                                          QStringLiteral("'"));
    };
    auto september = total(QStringLiteral("2026-09"));
    EXPECT_DOUBLE_EQ(september->value(0).toDouble(), 1012500.0);
    auto october = total(QStringLiteral("2026-10"));
    ASSERT_EQ(october->recordCount(), 1);
    EXPECT_TRUE(october->value(QStringLiteral("t")).isNull())
        << "no asset items: a null the reader turns into 0";

    EXPECT_EQ(rows(QStringLiteral("select * from Asset where months='2026-10'")).size(), 3u);
    auto empty = ledger.connection->execute(QStringLiteral("select * from asset where 1=2"));
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_TRUE(empty->eof());
    EXPECT_TRUE(empty->bof());
    EXPECT_EQ(empty->fieldCount(), 12);
}

TEST_F(LedgerStatements, TrendSeriesPerCategory)
{
    fillBooks();
    struct Series {
        const char *amount;
        const char *pattern;
        double september;
        double october;
    };
    const Series series[] = {
        {"incomePermonth", "1[0-1][0-1][0-1]", 10000, 11500},
        {"payPermonth", "[0-1]1[0-1][0-1]", 3000, 2500},
        {"TotalCost", "[0-1][0-1]1[0-1]", 1012500, 0},
        {"Debet", "[0-1][0-1][0-1]1", 600000, 0},
    };
    for (const auto &s : series) {
        const auto result =
            rows(QStringLiteral("SELECT top 24 months,SUM([%1]) AS T  ").arg(QLatin1String(s.amount)) +
                 kCategoryClause + QLatin1String(s.pattern) + QStringLiteral("') )") +
                 QStringLiteral(" group by months order by months DESC"));
        std::map<QString, double> byMonth;
        QStringList order;
        for (const auto &row : result) {
            byMonth[row[0].toString()] = row[1].toDouble();
            order << row[0].toString();
        }
        QStringList newestFirst = order;
        std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
        EXPECT_EQ(order, newestFirst) << s.amount;
        EXPECT_DOUBLE_EQ(byMonth[QStringLiteral("2026-09")], s.september) << s.amount;
        EXPECT_DOUBLE_EQ(byMonth[QStringLiteral("2026-10")], s.october) << s.amount;
    }
}

TEST_F(LedgerStatements, ItemCommandsRoundTrip)
{
    fillBooks();
    insertItem(QStringLiteral("2026-10"), QStringLiteral("房贷"), QStringLiteral("O'Brien's \"loan\""), 0,
               5000, 0, 0, 0);
    const auto identity = rows(QStringLiteral("SELECT  @@Identity  as   myid     from    asset"));
    ASSERT_EQ(identity.size(), 1u) << "one row, however many items the table holds";
    const qlonglong code = identity[0][0].toLongLong();
    EXPECT_EQ(code, 8);
    EXPECT_EQ(column(QStringLiteral("select [name] from asset where code=%1").arg(code)),
              QStringList{QStringLiteral("O'Brien's \"loan\"")});

    const QString name = QStringLiteral("it's 'quoted'");
    ledger.connection->execute(QStringLiteral(" update Asset set Types='") + sqlText(QStringLiteral("房贷")) +
                               QStringLiteral("',") + QStringLiteral(" [Name]='") + sqlText(name) +
                               QStringLiteral("',") + QStringLiteral(" [Memo]='") +
                               sqlText(QStringLiteral("'")) + QStringLiteral("',") +
                               QStringLiteral(" FirstPay=0, TotalCost=0, Debet=") + numberToText(123456.78) +
                               QStringLiteral(", DebetPerMonth=5000, InComePerMonth=0, PayPerMonth=5000 ,") +
                               QStringLiteral(" WillPayPerMonth=5000 where  code=") + QString::number(code));
    const auto updated =
        rows(QStringLiteral("select [name],[memo],Debet from asset where code=%1").arg(code));
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0][0].toString(), name);
    EXPECT_EQ(updated[0][1].toString(), QStringLiteral("'"));
    EXPECT_DOUBLE_EQ(updated[0][2].toDouble(), 123456.78);

    ledger.connection->execute(QStringLiteral("delete * from asset where code=") + QString::number(code));
    EXPECT_TRUE(rows(QStringLiteral("select * from asset where code=%1").arg(code)).empty());
    EXPECT_EQ(rows(QStringLiteral("select * from asset")).size(), 7u);
}

TEST_F(LedgerStatements, StockCheckAndTextComparison)
{
    fillBooks();
    insertItem(QStringLiteral("2026-09"), QStringLiteral("港股股票"), QStringLiteral("00700"), 0, 0, 300, 250,
               0);
    const auto shares =
        rows(QStringLiteral("SELECT months,[name],FirstPay,TotalCost,TotalCost-firstpay as Profit from "
                            "asset where types like '%股票%' and months ='") +
             QStringLiteral("2026-09") + QStringLiteral("'order by months;"));
    ASSERT_EQ(shares.size(), 2u);
    double profit = 0;
    for (const auto &row : shares)
        profit += row[4].toDouble();
    EXPECT_DOUBLE_EQ(profit, 2500 - 50);

    // Text "=" ignores ASCII letter case, as the program's statements expect.
    insertItem(QStringLiteral("2026-09"), QStringLiteral("Salary"), QStringLiteral("x"), 1, 0, 0, 0, 0);
    EXPECT_EQ(rows(QStringLiteral("select * from asset where types='SALARY'")).size(), 1u);
    EXPECT_EQ(rows(QStringLiteral("select * from asset where types like 'sal%'")).size(), 1u);
}

TEST_F(LedgerStatements, Journal)
{
    auto save = [&](const QString &day, const QString &first) {
        ledger.connection->execute(
            QStringLiteral("insert into log (dates,g1,g2,g3,g4,g5,g6,g7,g8,g9) values('") + day +
            QStringLiteral("','") + sqlText(first) + QStringLiteral("','','','','','','','','') "));
    };
    save(QStringLiteral("2025-12-31"), QStringLiteral("年终"));
    save(QStringLiteral("2026-03-01"), QStringLiteral("a"));
    save(QStringLiteral("2026-03-15"), QStringLiteral("it's"));
    save(QStringLiteral("2026-04-01"), QStringLiteral("c"));
    EXPECT_THROW(save(QStringLiteral("2026-04-01"), QStringLiteral("again")), DbError) << "one row per day";

    EXPECT_EQ(column(QStringLiteral("select distinct year(dates) AS Y from log order by year(dates)")),
              (QStringList{QStringLiteral("2025"), QStringLiteral("2026")}));
    EXPECT_EQ(column(QStringLiteral("select dates AS Y from log where dates like '") +
                     QStringLiteral("2026-03") + QStringLiteral("%' order by dates")),
              (QStringList{QStringLiteral("2026-03-01"), QStringLiteral("2026-03-15")}));

    ledger.connection->execute(QStringLiteral("update log set g1='") + sqlText(QStringLiteral("新 'x'")) +
                               QStringLiteral("', g2='b' where dates='2026-03-15'"));
    for (const char *select : {"select * from log where dates='", "select *  from log where dates='"}) {
        const auto day = rows(QString::fromLatin1(select) + QStringLiteral("2026-03-15'"));
        ASSERT_EQ(day.size(), 1u);
        EXPECT_EQ(day[0][1].toString(), QStringLiteral("新 'x'"));
        EXPECT_EQ(day[0][2].toString(), QStringLiteral("b"));
    }
}

TEST_F(LedgerStatements, ErrorsCarryTheirNumbers)
{
    try {
        ledger.connection->execute(QStringLiteral("selec * from asset"));
        ADD_FAILURE();
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), kErrSyntax);
    }
    // An unescaped quote cannot smuggle in a second statement.
    EXPECT_THROW(
        ledger.connection->execute(QStringLiteral("delete from asset where name='x'; delete from asset")),
        DbError);
}

} // namespace
