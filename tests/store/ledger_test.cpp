// The ledger API on real ledger files: what each operation reads and writes,
// and that failures are thrown rather than turned into empty answers.
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace zambrel;
using namespace zambrel::store;

namespace {

Item makeItem(const QString &type, const QString &name, double income = 0, double pay = 0)
{
    Item item;
    item.type = type;
    item.name = name;
    item.income = income;
    item.actualSpending = pay;
    return item;
}

class LedgerTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void open(const QString &password = {})
    {
        ledger.reset();
        path = dir.filePath(QStringLiteral("books.mdb"));
        if (!QFile::exists(path))
            createLedger(path, password);
        ledger = std::make_unique<Ledger>(path, password);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Ledger> ledger;
};

TEST_F(LedgerTest, ItemsRoundTripWithEveryFieldAndAwkwardTexts)
{
    Item item = makeItem(QStringLiteral("房产"), QStringLiteral("O'Brien's \"flat\"\n二楼"));
    item.memo = QStringLiteral("it's [100%] _done_，好！");
    item.downPayment = 300000.5;
    item.totalCost = 1e6;
    item.loanTotal = 600000;
    item.monthlyRepayment = 3200.25;
    item.plannedSpending = 12.5;
    const qint32 first = ledger->addItem(QStringLiteral("2026-11"), item);
    const qint32 second = ledger->addItem(QStringLiteral("2026-11"),
                                          makeItem(QStringLiteral("工资"), QStringLiteral("pay"), 9000));
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);

    std::vector<Item> items = ledger->monthItems(QStringLiteral("2026-11"));
    ASSERT_EQ(items.size(), 2u);
    const Item &read = items[0].code == first ? items[0] : items[1];
    EXPECT_EQ(read.month, QStringLiteral("2026-11"));
    EXPECT_EQ(read.type, item.type);
    EXPECT_EQ(read.name, item.name);
    EXPECT_EQ(read.memo, item.memo);
    EXPECT_DOUBLE_EQ(read.downPayment, 300000.5);
    EXPECT_DOUBLE_EQ(read.totalCost, 1e6);
    EXPECT_DOUBLE_EQ(read.loanTotal, 600000);
    EXPECT_DOUBLE_EQ(read.monthlyRepayment, 3200.25);
    EXPECT_DOUBLE_EQ(read.plannedSpending, 12.5);

    Item changed = read;
    changed.type = QStringLiteral("汽车");
    changed.memo = QStringLiteral("【2026年12月05日 06:10】首付（成本）FP 1000 >1200\r\nold");
    changed.income = 1.25;
    ledger->changeItem(changed);
    ledger->deleteItem(second);
    items = ledger->monthItems(QStringLiteral("2026-11"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].type, QStringLiteral("汽车"));
    EXPECT_EQ(items[0].memo, changed.memo);
    EXPECT_DOUBLE_EQ(items[0].income, 1.25);
    EXPECT_TRUE(ledger->monthItems(QStringLiteral("2026-10")).empty());
}

TEST_F(LedgerTest, MonthsNewestFirstAndLatest)
{
    EXPECT_TRUE(ledger->newestMonths().isEmpty());
    EXPECT_TRUE(ledger->latestMonth().isEmpty());
    EXPECT_TRUE(ledger->allMonthsTable().rows.empty());
    for (int i = 0; i < 26; ++i) {
        const QString month =
            QStringLiteral("%1-%2").arg(2024 + i / 12).arg(i % 12 + 1, 2, 10, QLatin1Char('0'));
        ledger->addItem(month, makeItem(QStringLiteral("工资"), month));
        ledger->addItem(month, makeItem(QStringLiteral("交通"), month));
    }
    const QStringList newest = ledger->newestMonths();
    ASSERT_EQ(newest.size(), 24);
    EXPECT_EQ(newest.first(), QStringLiteral("2026-02"));
    EXPECT_EQ(newest.last(), QStringLiteral("2024-03"));
    EXPECT_EQ(ledger->latestMonth(), QStringLiteral("2026-02"));
    const ResultTable all = ledger->allMonthsTable();
    ASSERT_EQ(all.rows.size(), 26u);
    EXPECT_EQ(all.columns, QStringList{QStringLiteral("months")});
    EXPECT_EQ(all.rows.back().value(0).toString(), QStringLiteral("2024-01"));
}

TEST_F(LedgerTest, NewTypeGetsTheNextIndexAndSortsByName)
{
    const std::size_t before = ledger->itemTypes().size();
    const ItemType added = ledger->addItemType(QStringLiteral("A'宠物"), QStringLiteral("0100"));
    EXPECT_EQ(added.index, int(before) + 1);
    const std::vector<ItemType> types = ledger->itemTypes();
    ASSERT_EQ(types.size(), before + 1);
    EXPECT_EQ(types.front().name, QStringLiteral("A'宠物"));
    EXPECT_EQ(types.front().kind, QStringLiteral("0100"));
    for (std::size_t i = 1; i < types.size(); ++i)
        EXPECT_LE(types[i - 1].name.compare(types[i].name, Qt::CaseInsensitive), 0);
}

TEST_F(LedgerTest, AssetTotalAndTrendSeriesSumByCategory)
{
    struct Row {
        const char *month, *type;
        double income, pay, totalCost, loan;
    };
    const Row rows[] = {
        {"2026-09", "工资", 10000, 0, 0, 0},  {"2026-09", "日常开销", 0, 3000, 0, 0},
        {"2026-09", "房产", 0, 0, 1e6, 6e5},  {"2026-09", "股票", 0, 0, 12500, 0},
        {"2026-10", "工资", 11000, 0, 0, 0},  {"2026-10", "奖金", 500, 0, 0, 0},
        {"2026-10", "信用卡", 0, 0, 0, 2000},
    };
    for (const Row &row : rows) {
        Item item = makeItem(QString::fromUtf8(row.type), QStringLiteral("x"), row.income, row.pay);
        item.totalCost = row.totalCost;
        item.loanTotal = row.loan;
        ledger->addItem(QString::fromUtf8(row.month), item);
    }
    EXPECT_DOUBLE_EQ(ledger->assetTotal(QStringLiteral("2026-09")), 1012500);
    EXPECT_DOUBLE_EQ(ledger->assetTotal(QStringLiteral("2026-10")), 0);

    const auto income = ledger->trendSeries(Category::Income);
    ASSERT_EQ(income.size(), 2u);
    EXPECT_EQ(income[0].month, QStringLiteral("2026-10"));
    EXPECT_DOUBLE_EQ(income[0].amount, 11500);
    EXPECT_DOUBLE_EQ(income[1].amount, 10000);
    ASSERT_EQ(ledger->trendSeries(Category::Expenditure).size(), 1u);
    const auto debts = ledger->trendSeries(Category::Liabilities);
    ASSERT_EQ(debts.size(), 2u);
    EXPECT_DOUBLE_EQ(debts[0].amount, 2000);
    EXPECT_DOUBLE_EQ(debts[1].amount, 6e5);
}

TEST_F(LedgerTest, ALedgerThatLostAColumnIsRefusedNotShownEmpty)
{
    // A ledger whose type table lost its mask column.
    ledger.reset();
    {
        Connection raw;
        raw.open(ledgerConnectionString(path, {}));
        raw.execute(QStringLiteral("DROP TABLE AssetType"));
        raw.execute(QStringLiteral("CREATE TABLE AssetType (types TEXT)"));
    }
    try {
        open();
        ADD_FAILURE() << "a damaged ledger was opened";
    } catch (const DbError &error) {
        EXPECT_EQ(error.description(),
                  QStringLiteral("账本已损坏：缺少 AssetType.kind、AssetType.index Ledger damaged: missing "
                                 "AssetType.kind, AssetType.index"));
    }
}

TEST_F(LedgerTest, JournalSearchIgnoresCaseTakesWildcardsLiterallyNewestFirst)
{
    const struct {
        const char *date, *text;
    } pages[] = {{"2026-01-02", "Plan 100% done"},
                 {"2026-03-04", "plan 1000 done"},
                 {"2025-05-06", "PLAN 100% DONE later"},
                 {"2026-07-08", "a_b [c] d"}};
    for (const auto &p : pages) {
        JournalPage page;
        page.date = QString::fromLatin1(p.date);
        page.fields[6] = QString::fromLatin1(p.text);
        ledger->saveJournalPage(page);
    }
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("plan 100%")),
              (QStringList{QStringLiteral("2026-01-02"), QStringLiteral("2025-05-06")}));
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("a_b [c]")), QStringList{QStringLiteral("2026-07-08")});
    EXPECT_TRUE(ledger->searchJournal(QStringLiteral("ab")).isEmpty());
    EXPECT_TRUE(ledger->searchJournal(QString()).isEmpty());
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("DONE")).size(), 3);
}

TEST_F(LedgerTest, JournalSearchLooksIntoEachFieldOnItsOwn)
{
    JournalPage page;
    page.date = QStringLiteral("2026-02-01");
    page.fields[0] = QStringLiteral("ends with ab");
    page.fields[1] = QStringLiteral("cd starts here");
    page.fields[8] = QStringLiteral("Straße Ärger x\uFFFFy");
    ledger->saveJournalPage(page);
    ledger.reset();
    {
        // Pages written by other programs may leave fields null.
        Connection raw;
        raw.open(ledgerConnectionString(path, {}));
        raw.execute(QStringLiteral("insert into log (dates,g5) values ('2026-03-01','only weather')"));
    }
    open();
    EXPECT_TRUE(ledger->searchJournal(QStringLiteral("abcd")).isEmpty()) << "no match across two fields";
    EXPECT_TRUE(ledger->searchJournal(QStringLiteral("ab\ncd")).isEmpty());
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("cd START")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("ärger")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("x\uFFFFy")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("WEATHER")), QStringList{QStringLiteral("2026-03-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("e")),
              (QStringList{QStringLiteral("2026-03-01"), QStringLiteral("2026-02-01")}));
}

TEST(BackupFileName, FollowsTheLedgerNameAndKeepsOtherExtensions)
{
    const QDate day(2026, 12, 5);
    const struct {
        const char *ledger, *backup;
    } cases[] = {
        {"/books/Zambrel.mdb", "/books/Zambrel_2026-12-05_bak.mdb"},
        {"/books/Zambrel.MDB", "/books/Zambrel_2026-12-05_bak.mdb"},
        {"/books/family.db", "/books/family_2026-12-05_bak.db"},
        {"/books.old/family", "/books.old/family_2026-12-05_bak"},
        {"/books/.hidden", "/books/.hidden_2026-12-05_bak"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(backupFileName(QString::fromUtf8(c.ledger), day), QString::fromUtf8(c.backup)) << c.ledger;
}

TEST_F(LedgerTest, TheLedgerHoldsItsFileUntilDestroyed)
{
    EXPECT_THROW(Ledger(path, QString()), DbError);
    ledger.reset();
    EXPECT_NO_THROW(Ledger(path, QString()));
}

} // namespace
