// The ledger API on real ledger files: what each operation reads and writes,
// what the old statements gave the program (letter case ignored, empty sums
// of 0, the category masks, 24 months, one journal page a day), and the
// plans of the statements that must not grow with the ledger's history. (A
// damaged table's failures: the restore list's and trend reading's tests.)
#include "ledger_fixture.h"

#include "store/ledger_statements.h"

#include <QRegularExpression>

using namespace zambrel;
using namespace zambrel::store;
using testkit::monthOf;

namespace {

using LedgerTest = testkit::LedgerFixture;

TEST_F(LedgerTest, ItemsRoundTripWithEveryFieldAndAwkwardTexts)
{
    Item item = testkit::item(QStringLiteral("房产"), QStringLiteral("O'Brien's \"flat\"\n二楼"));
    item.memo = QStringLiteral("it's [100%] _done_，好！; DROP TABLE Asset; --");
    item.downPayment = 300000.5;
    item.totalCost = 1e6;
    item.loanTotal = 600000;
    item.monthlyRepayment = 3200.25;
    item.plannedSpending = 12.5;
    const qint64 first = ledger->addItem(QStringLiteral("2026-11"), item);
    const qint64 second = ledger->addItem(QStringLiteral("2026-11"),
                                          testkit::item(QStringLiteral("工资"), QStringLiteral("pay"), 9000));
    EXPECT_EQ(second, first + 1) << "each new item gets the next code";

    std::vector<Item> items = ledger->monthItems(QStringLiteral("2026-11"));
    ASSERT_EQ(items.size(), 2u);
    Item expected = item;
    expected.code = first;
    expected.month = QStringLiteral("2026-11");
    EXPECT_EQ(testkit::fieldsOf(items[0]), testkit::fieldsOf(expected));

    Item changed = items[0];
    changed.type = QStringLiteral("汽车");
    changed.memo = QStringLiteral("【2026年12月05日 06:10】首付（成本）FP 1000 >1200\r\nold");
    changed.income = 0.1 + 0.2;                                       // stored as the program writes it: 0.3
    changed.actualSpending = std::numeric_limits<double>::infinity(); // not a number: 0
    ledger->changeItem(changed);
    ledger->deleteItem(second);
    items = ledger->monthItems(QStringLiteral("2026-11"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].type, QStringLiteral("汽车"));
    EXPECT_EQ(items[0].memo, changed.memo);
    EXPECT_EQ(items[0].income, 0.3);
    EXPECT_EQ(items[0].actualSpending, 0);
    // A code is never given twice, even after the newest item went.
    EXPECT_EQ(ledger->addItem(QStringLiteral("2026-11"), item), second + 1);
}

// Ledgers from before kept codes drawn at random over the whole 32-bit
// range; the next code after the greatest one lies beyond it, and an item
// given that code must never be taken for another.
TEST_F(LedgerTest, ItemCodesBeyondThirtyTwoBitsNameTheirOwnItem)
{
    writeRaw(
        {QStringLiteral(
             "INSERT INTO Asset (code, months, types, name) VALUES (-2147483648, '2020-01', '工资', 'old')"),
         QStringLiteral(
             "INSERT INTO Asset (code, months, types, name) VALUES (2147483647, '2020-01', '工资', 'top')")});
    const qint64 code = ledger->addItem(QStringLiteral("2026-11"),
                                        testkit::item(QStringLiteral("工资"), QStringLiteral("new"), 9000));
    EXPECT_EQ(code, 2147483648LL);
    std::vector<Item> items = ledger->monthItems(QStringLiteral("2026-11"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].code, code);
    items[0].name = QStringLiteral("changed");
    ledger->changeItem(items[0]);
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-11"))[0].name, QStringLiteral("changed"));
    ledger->deleteItem(code);
    EXPECT_TRUE(ledger->monthItems(QStringLiteral("2026-11")).empty());
    items = ledger->monthItems(QStringLiteral("2020-01"));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, QStringLiteral("old"));
    EXPECT_EQ(items[0].code, -2147483648LL);
}

TEST_F(LedgerTest, MonthsNewestFirstOnlyKeysOfTheirFormAndNullLast)
{
    EXPECT_TRUE(ledger->latestMonth().isEmpty());
    for (int i = 0; i < 26; ++i) {
        ledger->addItem(monthOf(i), testkit::item(QStringLiteral("工资"), monthOf(i)));
        ledger->addItem(monthOf(i), testkit::item(QStringLiteral("交通"), monthOf(i)));
    }
    // Months other programs wrote that are no keys: invalid UTF-8, words,
    // a longer text, no month at all.
    writeRaw({QStringLiteral(
                  "INSERT INTO Asset (months, types) VALUES (CAST(X'323032362D3132FF' AS TEXT), '工资')"),
              QStringLiteral("INSERT INTO Asset (months, types) VALUES ('zzzz', '工资')"),
              QStringLiteral("INSERT INTO Asset (months, types) VALUES ('2026-02-01', '工资')"),
              QStringLiteral("INSERT INTO Asset (months, types) VALUES (NULL, '工资')")});
    const QStringList newest = ledger->newestMonths();
    ASSERT_EQ(newest.size(), 24);
    EXPECT_EQ(newest.first(), QStringLiteral("2026-02"));
    EXPECT_EQ(newest.last(), QStringLiteral("2024-03"));
    EXPECT_EQ(ledger->latestMonth(), QStringLiteral("2026-02"));
    const ResultTable all = ledger->allMonthsTable();
    ASSERT_EQ(all.rows.size(), 27u);
    EXPECT_EQ(all.columns, QStringList{QStringLiteral("months")});
    EXPECT_EQ(all.rows[0].value(0).toString(), QStringLiteral("2026-02"));
    EXPECT_EQ(all.rows[25].value(0).toString(), QStringLiteral("2024-01"));
    EXPECT_TRUE(all.rows[26].value(0).isNull()) << "the month picker's NULL row";
}

TEST_F(LedgerTest, NewTypeGetsTheNextIndexAndTypesSortIgnoringCase)
{
    const std::size_t before = ledger->itemTypes().size();
    EXPECT_EQ(ledger->addItemType(QStringLiteral("b'宠物"), QStringLiteral("0100")).index, int(before) + 1);
    EXPECT_EQ(ledger->addItemType(QStringLiteral("A猫"), QStringLiteral("0100")).index, int(before) + 2);
    EXPECT_EQ(ledger->itemTypes()[1].name, QStringLiteral("b'宠物")) << "sorted ignoring case";
}

// Which masks count in which category, as the old LIKE '[0-1]…' patterns
// chose them: four characters, each 0 or 1.
TEST_F(LedgerTest, CategoryMasksSelectTheSameTypesAndEmptySumsAreZero)
{
    for (const char *kind :
         {"1000", "0100", "0011", "1111", "0000", "100", "10000", "2111", "x111", "%111", ""}) {
        const QString type = QStringLiteral("t") + QLatin1String(kind);
        ledger->addItemType(type, QLatin1String(kind));
        // The item's type in another letter case: type names are compared ignoring case.
        Item item = testkit::item(type.toUpper(), QStringLiteral("x"), 1, 1);
        item.totalCost = 1;
        item.loanTotal = 1;
        ledger->addItem(QStringLiteral("2026-01"), item);
    }
    // Only four characters, each 0 or 1, are a mask: each category counts two items.
    for (Category category :
         {Category::Income, Category::Expenditure, Category::Assets, Category::Liabilities})
        EXPECT_EQ(ledger->trendSeries(category).front().amount, 2) << int(category);
    EXPECT_EQ(ledger->assetTotal(QStringLiteral("2026-01")), 2);
    EXPECT_EQ(ledger->assetTotal(QStringLiteral("2026-02")), 0) << "an empty sum counts 0";
}

TEST_F(LedgerTest, TrendSeriesAreTheNewest24MonthsThatHaveAny)
{
    // 30 months of salary; expenditure only in the oldest 20 and the newest 2.
    for (int i = 0; i < 30; ++i) {
        ledger->addItem(monthOf(i), testkit::item(QStringLiteral("工资"), QStringLiteral("pay"), 1000 + i));
        if (i < 20 || i >= 28)
            ledger->addItem(monthOf(i),
                            testkit::item(QStringLiteral("日常开销"), QStringLiteral("food"), 0, i));
    }
    // At most 24 months, newest first: the graph's reading test. Expenditure
    // reaches back past the newest 24 months of the ledger to find 24 that have any.
    const auto spending = ledger->trendSeries(Category::Expenditure);
    ASSERT_EQ(spending.size(), 22u);
    EXPECT_EQ(spending[0].month, monthOf(29));
    EXPECT_EQ(spending[2].month, monthOf(19));
    EXPECT_EQ(spending.back().month, monthOf(0));
    EXPECT_EQ(spending.back().amount, 0);
    EXPECT_TRUE(ledger->trendSeries(Category::Liabilities).empty());

    // Months another program wrote in other forms are no months of the graph.
    writeRaw({QStringLiteral("INSERT INTO Asset (months, types, InComePerMonth) VALUES "
                             "(NULL, '工资', 5), ('9999-9', '工资', 5), ('2026-3', '工资', 5)")});
    const auto income = ledger->trendSeries(Category::Income);
    ASSERT_EQ(income.size(), 24u);
    EXPECT_EQ(income.front().month, monthOf(29));
    EXPECT_EQ(income.back().month, monthOf(6));
    EXPECT_EQ(ledger->trendSeries(Category::Expenditure).size(), 22u);
}

TEST_F(LedgerTest, JournalOnePageADayYearsDatesAndPages)
{
    JournalPage page = testkit::page(QStringLiteral("2026-01-02"), QStringLiteral("第一 'first'"));
    EXPECT_TRUE(ledger->saveJournalPage(page));
    page.fields[8] = QStringLiteral("九\n9");
    EXPECT_FALSE(ledger->saveJournalPage(page)) << "the day's page is updated, not added";
    for (const char *day : {"2025-12-31", "2026-02-01", "2026-01-20"})
        ledger->saveJournalPage(testkit::page(QString::fromLatin1(day), {}));
    writeRaw({QStringLiteral("INSERT INTO log (dates) VALUES ('notes')")});
    EXPECT_EQ(ledger->journalYears(), (std::vector<int>{2025, 2026}));
    EXPECT_EQ(ledger->journalDates(QStringLiteral("2026-01")).size(), 2);
    EXPECT_TRUE(ledger->journalDates(QStringLiteral("2026_01")).isEmpty()) << "no wildcard in a prefix";
    const auto read = ledger->journalPage(QStringLiteral("2026-01-02"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fields, page.fields);
    EXPECT_FALSE(ledger->journalPage(QStringLiteral("2026-01-03")));
}

// Letter case ignored, wildcards taken literally, each field on its own
// (null ones too, as other programs leave them), newest page first.
TEST_F(LedgerTest, JournalSearch)
{
    const struct {
        const char *date, *text;
        int field;
    } pages[] = {{"2026-01-02", "Plan 100% done", 6},       {"2026-03-04", "plan 1000 done", 6},
                 {"2025-05-06", "PLAN 100% DONE later", 6}, {"2026-07-08", "a_b [c] d", 6},
                 {"2026-02-01", "ends with ab", 0},         {"2026-02-01", "cd starts here", 1},
                 {"2026-02-01", "Straße Ärger x\uFFFFy", 8}};
    JournalPage page;
    for (const auto &p : pages) {
        if (page.date != QString::fromLatin1(p.date))
            page = JournalPage{};
        page.date = QString::fromLatin1(p.date);
        page.fields[std::size_t(p.field)] = QString::fromUtf8(p.text);
        ledger->saveJournalPage(page);
    }
    writeRaw({QStringLiteral("INSERT INTO log (dates, g5) VALUES ('2026-03-01', 'only weather')")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("plan 100%")),
              (QStringList{QStringLiteral("2026-01-02"), QStringLiteral("2025-05-06")}));
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("a_b [c]")), QStringList{QStringLiteral("2026-07-08")});
    EXPECT_TRUE(ledger->searchJournal(QStringLiteral("abcd")).isEmpty()) << "no match across two fields";
    EXPECT_TRUE(ledger->searchJournal(QStringLiteral("ab\ncd")).isEmpty());
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("cd START")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("ärger")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("x\uFFFFy")), QStringList{QStringLiteral("2026-02-01")});
    EXPECT_EQ(ledger->searchJournal(QStringLiteral("WEATHER")), QStringList{QStringLiteral("2026-03-01")});
}

// The month lists and the trend series must cost what is shown, not the
// ledger's whole history: none of their statements may scan every item.
TEST_F(LedgerTest, MonthAndTrendStatementsNeverScanEveryItem)
{
    for (int i = 0; i < 30; ++i)
        ledger->addItem(monthOf(i), testkit::item(QStringLiteral("工资"), QStringLiteral("pay"), i));
    std::vector<LedgerStatement> bounded = {LedgerStatement::NewestMonths, LedgerStatement::AllMonths,
                                            LedgerStatement::LatestMonth,  LedgerStatement::TwentyFourthMonth,
                                            LedgerStatement::MonthItems,   LedgerStatement::AssetTotal};
    for (Category category :
         {Category::Income, Category::Expenditure, Category::Assets, Category::Liabilities})
        bounded.push_back(trendSince(category));
    close();
    const Connection raw(path, {});
    static const QRegularExpression fullScan(QStringLiteral("^SCAN (TABLE )?Asset\\b(?! USING)"),
                                             QRegularExpression::CaseInsensitiveOption);
    for (LedgerStatement statement : bounded) {
        const QByteArray sql = QByteArray("EXPLAIN QUERY PLAN ") + statementText(statement);
        Statement plan(raw, sql.constData());
        QStringList steps;
        while (plan.step())
            steps << plan.text(3);
        EXPECT_FALSE(steps.isEmpty());
        for (const QString &step : steps)
            EXPECT_FALSE(fullScan.match(step).hasMatch()) << sql.constData() << "\n  " << qPrintable(step);
    }
}

// The extensions and letter cases: the maintenance test's backups.
TEST(BackupFileName, ADotInAFolderOrLeadingTheNameIsNoExtension)
{
    const QDate day(2026, 12, 5);
    const struct {
        const char *ledger, *backup;
    } cases[] = {
        {"/books.old/family", "/books.old/family_2026-12-05_bak"},
        {"/books/.hidden", "/books/.hidden_2026-12-05_bak"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(backupFileName(QString::fromUtf8(c.ledger), day), QString::fromUtf8(c.backup)) << c.ledger;
}

} // namespace
