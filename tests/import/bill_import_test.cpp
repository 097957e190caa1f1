// A bill into a real ledger file: importing twice adds nothing the second
// time, an overlapping bill adds only its new rows, undo takes the import
// back, and a bank statement is read through the mapping the ledger keeps.
// (A remembered rule on the next import: the import window's test.)
#include "b_fixtures.h"
#include "bill_files.h"

#include "import/bank_csv.h"
#include "import/books/bill_import.h"

using namespace zambrel;
using namespace zambrel::bills;

namespace {

const QString kHeader = QStringLiteral("交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,"
                                       "交易状态,交易订单号,商家订单号,备注,");

// Numbered rows of the newer Alipay layout: date, counterparty, text,
// direction, amount, status, number.
const char *const kRows[][7] = {
    {"2026-03-02 12:30:05", "面馆", "牛肉面", "支出", "28.50", "交易成功", "1"},
    {"2026-03-03 09:00:00", "超市发", "日用品", "支出", "56.00", "交易关闭", "2"},
    {"2026-03-15 09:00:00", "公司", "三月工资", "收入", "3000.00", "交易成功", "3"},
    {"2026-04-01 08:00:00", "面馆", "拉面", "支出", "30.00", "交易成功", "4"},
    {"2026-04-02 08:00:00", "书店", "小说", "支出", "45.10", "交易成功", "5"},
};

/// An Alipay bill of rows `from` to `to` (inclusive), in GB18030, with the
/// account lines above and padded fields.
QString alipayBill(const QTemporaryDir &dir, int from, int to)
{
    QStringList lines = {QStringLiteral("导出信息："), QStringLiteral("姓名：林小雨"), kHeader};
    for (int at = from; at <= to; ++at) {
        const auto &r = kRows[at];
        lines << QStringLiteral("%1,其他,%2\t,,%3,%4, %5 ,余额,%6,20260300%7\t,,,")
                     .arg(QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromUtf8(r[2]),
                          QString::fromUtf8(r[3]), QString::fromUtf8(r[4]), QString::fromUtf8(r[5]),
                          QString::fromUtf8(r[6]));
    }
    return testkit::writeFile(dir.filePath(QStringLiteral("alipay_%1_%2.csv").arg(from).arg(to)),
                              fixtures::gb18030(fixtures::crlfLines(lines)));
}

class BillImport : public testkit::LedgerFixture {
protected:
    void SetUp() override
    {
        make();
        store::Item food = testkit::item(QStringLiteral("日常开销"), QStringLiteral("餐饮"), 0, 10);
        food.plannedSpending = 800;
        ledger->addItemType(food.type, QStringLiteral("0100"));
        ledger->addItem(QStringLiteral("2026-03"), food);
    }

    /// Reads, previews and writes the bill as it is ticked; returns the
    /// number of transactions imported.
    int import(const QString &bill, const std::optional<std::vector<ImportRule>> &rules = std::nullopt)
    {
        const BillReadResult read = readBillFor(*ledger, bill);
        EXPECT_TRUE(read.ok()) << read.failure.toStdString();
        const BillPreview preview = previewFor(*ledger, read.bill);
        const ImportPlan plan = planFor(*ledger, preview);
        applyPlan(*ledger, plan, bill, rules);
        return plan.transactions;
    }

    store::ResultTable items() const { return ledger->wholeTable(store::Ledger::Table::Items); }

    double spendingOf(const QString &month, const QString &name) const
    {
        for (const store::Item &item : ledger->monthItems(month))
            if (item.name == name)
                return item.actualSpending;
        return -1;
    }
};

TEST_F(BillImport, TwiceIsOnceAndAnOverlappingBillAddsOnlyItsNewRows)
{
    const std::size_t typesBefore = ledger->itemTypes().size();
    EXPECT_EQ(import(alipayBill(dir, 0, 3)), 3) << "the closed payment is skipped";
    EXPECT_EQ(spendingOf(QStringLiteral("2026-03"), QStringLiteral("未归类支出")), 28.5);
    EXPECT_EQ(spendingOf(QStringLiteral("2026-04"), QStringLiteral("未归类支出")), 30);
    const store::ResultTable once = items();
    const std::size_t steps = ledger->historySteps().size();

    EXPECT_EQ(import(alipayBill(dir, 0, 3)), 0);
    EXPECT_EQ(items().rows, once.rows);
    EXPECT_EQ(ledger->historySteps().size(), steps) << "nothing to write is no step";

    EXPECT_EQ(import(alipayBill(dir, 2, 4)), 1);
    EXPECT_EQ(spendingOf(QStringLiteral("2026-04"), QStringLiteral("未归类支出")), 75.1);
    EXPECT_EQ(spendingOf(QStringLiteral("2026-03"), QStringLiteral("餐饮")), 10);

    ASSERT_TRUE(ledger->undo());
    EXPECT_EQ(items().rows, once.rows);
    ledger->undo();
    EXPECT_EQ(items().rows.size(), 1u);
    const std::vector<store::ItemType> types = ledger->itemTypes();
    EXPECT_EQ(types.size(), typesBefore) << "the type 未归类 goes with the import that made it";
    EXPECT_EQ(import(alipayBill(dir, 0, 3)), 3) << "an undone import can be made again";
}

TEST_F(BillImport, ABankStatementThroughTheKeptMappingAndAnUnknownFile)
{
    BankCsvMapping mapping;
    mapping.separator = u';';
    mapping.decimalComma = true;
    mapping.dateOrder = DateOrder::DayMonthYear;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.amountColumn = 2;
    ledger->saveBankMapping(QStringLiteral("银行 Bank"), QStringLiteral("{}"));
    ledger->saveBankMapping(QStringLiteral("银行 Bank"), mappingToJson(mapping)); // replaces the first
    const QString statement = testkit::writeFile(
        dir.filePath(QStringLiteral("bank.csv")),
        QStringLiteral("Datum;Text;Betrag\n03.04.2026;Bäcker;-1.234,50\n05.04.2026;Lohn;2.000,00\n")
            .toUtf8());
    EXPECT_EQ(import(statement), 2);
    EXPECT_EQ(spendingOf(QStringLiteral("2026-04"), QStringLiteral("未归类支出")), 1234.5);
    EXPECT_EQ(import(statement), 0);

    ledger->saveBankMapping(QStringLiteral("another"), mappingToJson(mapping));
    const BillReadResult unknown = readBillFor(*ledger, statement);
    EXPECT_FALSE(unknown.ok()) << "of two mappings none is taken unasked";
    EXPECT_EQ(unknown.failure, unrecognisedBillText());
    EXPECT_TRUE(readBillFor(*ledger, statement, QStringLiteral("银行 Bank")).ok());
}

} // namespace
