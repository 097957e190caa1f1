// What an import writes into the ledger: types, items created and added to,
// the transactions remembered and the rules, as one step that undo takes
// back whole, row by row. (The import's tables on an earlier version's
// ledger: the earlier-version test.)
#include "ledger_fixture.h"

using namespace zambrel;
using namespace zambrel::store;
using testkit::rowsOf;

namespace {

const QString kPassword = QStringLiteral("导入 pw");

/// Every row of every table the books and the import keep, with row ids.
std::vector<std::vector<QVariantList>> everyTable(const QString &path)
{
    const Connection raw(path, kPassword, Access::ReadOnly);
    std::vector<std::vector<QVariantList>> tables;
    for (const char *table : {"Asset", "AssetType", "log", "ImportRule", "ImportedTransaction"})
        tables.push_back(rowsOf(raw, table));
    return tables;
}

class LedgerImport : public testkit::LedgerFixture {
protected:
    void SetUp() override
    {
        password = kPassword;
        make();
        ledger->addItemType(QStringLiteral("日常开销"), QStringLiteral("0100"));
        food = ledger->addItem(QStringLiteral("2026-03"),
                               testkit::item(QStringLiteral("日常开销"), QStringLiteral("餐饮"), 0, 100.1));
        salary = ledger->addItem(QStringLiteral("2026-03"),
                                 testkit::item(QStringLiteral("日常开销"), QStringLiteral("工资"), 9000));
        ledger->replaceImportRules({{QStringLiteral("美团"), QStringLiteral("spending"), std::nullopt, 500.0,
                                     QStringLiteral("日常开销"), QStringLiteral("餐饮")}});
    }

    /// An import into March (two existing items) and April (a new item of a
    /// new type), with a remembered rule put first.
    ImportWrite sample() const
    {
        ImportWrite write;
        write.subject = QStringLiteral("alipay.csv");
        write.month = QStringLiteral("2026-04");
        write.typesToCreate = {{QStringLiteral("未归类"), QStringLiteral("1100"), 0}};
        write.additions = {
            {QStringLiteral("2026-03"), QStringLiteral("日常开销"), QStringLiteral("餐饮"), food, 0.2, 0},
            {QStringLiteral("2026-03"), QStringLiteral("日常开销"), QStringLiteral("工资"), salary, 0, 0.5},
            {QStringLiteral("2026-04"), QStringLiteral("未归类"), QStringLiteral("未归类支出"), 0, 28.5, 0},
        };
        write.identities = {QStringLiteral("alipay:1"), QStringLiteral("alipay:2"),
                            QStringLiteral("hash:x#1")};
        std::vector<ImportRuleRecord> rules = ledger->importRules();
        rules.insert(rules.begin(), {QStringLiteral("滴滴"), QStringLiteral("any"), 1.0, std::nullopt,
                                     QStringLiteral("交通"), QStringLiteral("打车")});
        write.rules = rules;
        return write;
    }

    /// The tables as stored, read with the ledger closed a moment.
    std::vector<std::vector<QVariantList>> tables()
    {
        close();
        const auto all = everyTable(path);
        open();
        return all;
    }

    qint64 food = 0, salary = 0;
};

TEST_F(LedgerImport, WritesOneStepThatUndoAndRedoTakeBackWhole)
{
    const std::size_t typesBefore = ledger->itemTypes().size();
    const auto before = tables();
    ledger->applyImport(sample());

    // 100.1 + 0.2 is not 100.3 in binary; stored to 15 digits it is.
    EXPECT_EQ(testkit::itemIn(*ledger, QStringLiteral("2026-03"), QStringLiteral("餐饮")).actualSpending,
              100.3);
    EXPECT_EQ(testkit::itemIn(*ledger, QStringLiteral("2026-03"), QStringLiteral("工资")).income, 9000.5);
    const std::vector<Item> april = ledger->monthItems(QStringLiteral("2026-04"));
    ASSERT_EQ(april.size(), 1u);
    EXPECT_EQ(april[0].type, QStringLiteral("未归类"));
    EXPECT_EQ(april[0].actualSpending, 28.5);
    const ResultTable types = ledger->wholeTable(Ledger::Table::Types);
    ASSERT_EQ(types.rows.size(), typesBefore + 1);
    EXPECT_EQ(types.rows.back(),
              (QVariantList{QStringLiteral("未归类"), QStringLiteral("1100"), qint64(typesBefore + 1)}));
    EXPECT_EQ(ledger->importRules().size(), 2u);
    EXPECT_EQ(ledger->importRules().front().name, QStringLiteral("打车"));
    EXPECT_EQ(ledger->importRules().back().maxAmount, 500.0);
    EXPECT_FALSE(ledger->importRules().back().minAmount);
    EXPECT_EQ(ledger->importedAmong(
                  {QStringLiteral("alipay:2"), QStringLiteral("alipay:3"), QStringLiteral("hash:x#1")}),
              (QSet<QString>{QStringLiteral("alipay:2"), QStringLiteral("hash:x#1")}));

    const HistoryStep step = ledger->historySteps(1).at(0);
    EXPECT_EQ(step.action, StepAction::ImportBill);
    EXPECT_EQ(step.subject, QStringLiteral("alipay.csv"));
    EXPECT_EQ(step.month, QStringLiteral("2026-04"));

    const auto after = tables();
    ASSERT_TRUE(ledger->undo());
    EXPECT_EQ(tables(), before) << "undo takes back every table, row by row";
    ASSERT_TRUE(ledger->redo());
    EXPECT_EQ(tables(), after);
}

TEST_F(LedgerImport, RemembersATransactionOnceAndWritesNothingWhenAnItemIsGone)
{
    ImportWrite write = sample();
    write.identities << QStringLiteral("alipay:1");
    write.typesToCreate.clear();
    write.rules.reset();
    ledger->applyImport(write);
    const auto before = tables();
    EXPECT_EQ(before[4].size(), 3u) << "alipay:1 twice is remembered once";
    const std::size_t steps = ledger->historySteps().size();
    ledger->deleteItem(food);
    ledger->undo();
    ImportWrite stale = sample();
    stale.additions[0].code = 9999;
    EXPECT_EQ(testkit::kindOf([&] { ledger->applyImport(stale); }), ErrorKind::Other)
        << "an import into an item no longer there";
    ImportWrite twice = sample();
    twice.additions[1].code = food;
    EXPECT_THROW(ledger->applyImport(twice), DbError);
    EXPECT_EQ(ledger->historySteps().size(), steps + 1) << "no step for what was not written";
    EXPECT_EQ(tables(), before);
}

TEST_F(LedgerImport, BankMappingsAreKeptReplacedAndForgottenOutsideTheHistory)
{
    const std::size_t steps = ledger->historySteps().size();
    ledger->saveBankMapping(QStringLiteral("银行 B"), QStringLiteral("{\"dateColumn\":0}"));
    ledger->saveBankMapping(QStringLiteral("银行 A"), QStringLiteral("{}"));
    ledger->saveBankMapping(QStringLiteral("银行 A"), QStringLiteral("{\"dateColumn\":1}"));
    EXPECT_EQ(ledger->bankMappingSources(),
              (QStringList{QStringLiteral("银行 A"), QStringLiteral("银行 B")}));
    EXPECT_EQ(ledger->bankMapping(QStringLiteral("银行 A")), QStringLiteral("{\"dateColumn\":1}"));
    ledger->removeBankMapping(QStringLiteral("银行 A"));
    ledger->removeBankMapping(QStringLiteral("none such"));
    EXPECT_EQ(ledger->bankMappingSources(), QStringList(QStringLiteral("银行 B")));
    EXPECT_FALSE(ledger->bankMapping(QStringLiteral("银行 A")));
    EXPECT_EQ(ledger->historySteps().size(), steps) << "mappings are settings, not steps";

    close();
    Ledger reading(path, kPassword, Access::ReadOnly);
    EXPECT_EQ(testkit::kindOf([&] { reading.removeBankMapping(QStringLiteral("银行 B")); }),
              ErrorKind::ReadOnly);
    EXPECT_EQ(reading.bankMappingSources(), QStringList(QStringLiteral("银行 B")));
}

} // namespace
