// Files written by the version before the engine spoke SQLite directly
// (tests/data/earlier_version): an encrypted and a plain ledger with the same
// books, and the settings file. They open unchanged and read back exactly
// what that version read from them.
#include "ledger_fixture.h"

#include "base/app_paths.h"

using namespace zambrel;
using namespace zambrel::store;

namespace {

const QString kFolder = QStringLiteral(ZAMBREL_TEST_DATA "/earlier_version/");
const QString kPassword = QStringLiteral("旧密码 pw;\"1'");

struct Expected {
    const char *month;
    int code;
    const char *type, *name, *memo;
    double income, actual, planned, down, total, loan, monthly;
};

// As the earlier version read them, newest month first, items in code order.
const Expected kJanuary[] = {
    {"2026-01", 12, "工资", "月薪 3", "税后", 12003.5, 0, 0, 0, 0, 0, 0},
    {"2026-01", 13, "日常开销", "O'Brien's \"饭\"\n第二行", "备注\r\n带引号 ' \" 和 100% _x_ [y]", 0, 3210.25,
     3500, 0, 0, 0, 0},
    {"2026-01", 14, "房产", "房子；一号", "", 0, 0, 0, 300000, 1250003, 590398.5, 3200.5},
    {"2026-01", 15, "股票", "招商银行 600036", "m", 0, 0, 0, 10000, 12345.67, 0, 0},
    {"2026-01", 16, "信用卡", "card", "", 0, 0, 0, 0, 0, 1999.99, 0},
    {"2026-01", 17, "股利", "分红", "", 456.78, 0, 0, 0, 0, 0, 0},
};

class EarlierVersion : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        const QString name = GetParam() ? QStringLiteral("encrypted.mdb") : QStringLiteral("plain.mdb");
        path = dir.filePath(name);
        ASSERT_TRUE(QFile::copy(kFolder + name, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    QString password() const { return GetParam() ? kPassword : QString(); }

    QTemporaryDir dir;
    QString path;
};

TEST_P(EarlierVersion, OpensAndReadsBackExactly)
{
    Ledger ledger(path, password());
    EXPECT_EQ(ledger.integrityProblems(), QStringList());
    EXPECT_EQ(ledger.newestMonths(), (QStringList{QStringLiteral("2026-02"), QStringLiteral("2026-01"),
                                                  QStringLiteral("2025-12"), QStringLiteral("2025-11")}));
    EXPECT_EQ(ledger.latestMonth(), QStringLiteral("2026-02"));
    const std::vector<Item> items = ledger.monthItems(QStringLiteral("2026-01"));
    ASSERT_EQ(items.size(), std::size(kJanuary));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Expected &e = kJanuary[i];
        const Item &item = items[i];
        EXPECT_EQ(item.code, e.code);
        EXPECT_EQ(item.type, QString::fromUtf8(e.type));
        EXPECT_EQ(item.name, QString::fromUtf8(e.name));
        EXPECT_EQ(item.memo, QString::fromUtf8(e.memo));
        const double read[] = {item.income,    item.actualSpending, item.plannedSpending, item.downPayment,
                               item.totalCost, item.loanTotal,      item.monthlyRepayment};
        const double expected[] = {e.income, e.actual, e.planned, e.down, e.total, e.loan, e.monthly};
        for (int at = 0; at < 7; ++at)
            EXPECT_EQ(read[at], expected[at]) << e.code << " amount " << at;
    }
    EXPECT_EQ(ledger.monthItems(QStringLiteral("2026-02")).size(), 6u);

    const std::vector<ItemType> types = ledger.itemTypes();
    ASSERT_EQ(types.size(), 21u);
    EXPECT_EQ(types[0].name, QStringLiteral("O'宠物 \"猫\""));
    EXPECT_EQ(types[0].index, 20);
    EXPECT_EQ(types[1].name, QStringLiteral("Salary Extra"));
    EXPECT_EQ(types[2].name, QStringLiteral("交通"));

    const auto income = ledger.trendSeries(Category::Income);
    ASSERT_EQ(income.size(), 4u);
    EXPECT_EQ(income[1].month, QStringLiteral("2026-01"));
    EXPECT_EQ(income[1].amount, 12460.280000000001);
    const auto debts = ledger.trendSeries(Category::Liabilities);
    ASSERT_EQ(debts.size(), 4u);
    EXPECT_EQ(debts[3].amount, 598799.48999999999);
    EXPECT_EQ(ledger.assetTotal(QStringLiteral("2026-02")), 1262349.6699999999);

    EXPECT_EQ(ledger.journalYears(), (std::vector<int>{2025, 2026}));
    const auto page = ledger.journalPage(QStringLiteral("2026-01-15"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->fields[8], QStringLiteral("第9栏 field 9: it's \"quoted\"\n新行 100%"));
    EXPECT_EQ(ledger.searchJournal(QStringLiteral("year's")), QStringList{QStringLiteral("2025-12-31")});
    const ResultTable holdings = ledger.holdings(QStringLiteral("2026-01"));
    ASSERT_EQ(holdings.rows.size(), 1u);
    EXPECT_EQ(holdings.rows[0].value(4).toDouble(), 12345.67 - 10000);

    // The next item continues the numbering, and the books stay writable;
    // type names still match whatever their letter case.
    EXPECT_EQ(ledger.addItem(QStringLiteral("2026-03"), items[0]), 25);
    Item extra;
    extra.type = QStringLiteral("SALARY extra");
    extra.income = 1;
    ledger.addItem(QStringLiteral("2026-03"), extra);
    EXPECT_EQ(ledger.trendSeries(Category::Income).front().amount, 12004.5);
}

TEST_P(EarlierVersion, GainsTheHistoryOnItsFirstWritableOpenOnly)
{
    const QByteArray bytes = testkit::bytesOf(path);
    {
        Ledger reading(path, password(), Access::ReadOnly);
        EXPECT_EQ(reading.fileVersion(), 0);
        EXPECT_TRUE(reading.historySteps().empty());
        EXPECT_FALSE(reading.nextUndo());
        EXPECT_TRUE(reading.importRules().empty()) << "no import tables yet, and none needed to read";
        EXPECT_TRUE(reading.importedAmong({QStringLiteral("alipay:1")}).isEmpty());
        EXPECT_TRUE(reading.bankMappingSources().isEmpty());
    }
    EXPECT_EQ(testkit::bytesOf(path), bytes) << "a read-only open writes nothing";

    {
        Ledger ledger(path, password());
        EXPECT_EQ(ledger.fileVersion(), store::kLedgerVersion);
        EXPECT_TRUE(ledger.historySteps().empty());
        ledger.deleteItem(14);
        EXPECT_EQ(ledger.monthItems(QStringLiteral("2026-01")).size(), std::size(kJanuary) - 1);
        ImportWrite write;
        write.additions = {
            {QStringLiteral("2026-02"), QStringLiteral("日常开销"), QStringLiteral("新"), 0, 5, 0}};
        write.identities = {QStringLiteral("wechat:1")};
        ledger.applyImport(write);
        EXPECT_EQ(ledger.importedAmong(write.identities).size(), 1) << "the import tables, gained";
        ASSERT_TRUE(ledger.undo());
    }
    Ledger again(path, password());
    EXPECT_EQ(again.integrityProblems(), QStringList());
    ASSERT_TRUE(again.undo());
    const std::vector<Item> items = again.monthItems(QStringLiteral("2026-01"));
    ASSERT_EQ(items.size(), std::size(kJanuary));
    EXPECT_EQ(items[2].code, 14);
    EXPECT_EQ(items[2].name, QStringLiteral("房子；一号"));
    EXPECT_EQ(items[2].loanTotal, 590398.5);
}

INSTANTIATE_TEST_SUITE_P(EncryptedAndPlain, EarlierVersion, ::testing::Values(true, false));

TEST(EarlierVersionSettings, ReadBackAsWritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zambrel.ini"));
    ASSERT_TRUE(QFile::copy(kFolder + QStringLiteral("zambrel.ini"), file));
    base::setSettingsFile(file);
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")),
              QStringLiteral("/home/用户/账本 2026/家庭;帐本.mdb"));
    EXPECT_EQ(base::settingsValue(QStringLiteral("skin"), QStringLiteral("skin")),
              QStringLiteral("/usr/share/zambrel/skins/金色水晶.jss"));
    EXPECT_EQ(base::settingsValue(QStringLiteral("stock"), QStringLiteral("timeoutSeconds")),
              QStringLiteral("7.5"));
    base::setSettingsFile({});
}

} // namespace
