// A bank statement into a real ledger file through the mapping the ledger
// keeps. (A bill imported twice and undone: the command line's and the import
// window's tests; an overlapping bill: the preview's; what undo takes back:
// the store's import test.)
#include "ledger_fixture.h"

#include "import/bank_csv.h"
#include "import/books/bill_import.h"

using namespace zambrel;
using namespace zambrel::bills;

namespace {

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
};

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
    EXPECT_EQ(
        testkit::itemIn(*ledger, QStringLiteral("2026-04"), QStringLiteral("未归类支出")).actualSpending,
        1234.5);
    EXPECT_EQ(import(statement), 0);

    // Of several sources, the one whose mapping reads the statement; one that
    // reads it the same way does no harm; one that reads other dates does.
    BankCsvMapping commas = mapping;
    commas.separator = u',';
    ledger->saveBankMapping(QStringLiteral("comma"), mappingToJson(commas));
    ledger->saveBankMapping(QStringLiteral("another"), mappingToJson(mapping));
    BillReadResult read = readBillFor(*ledger, statement);
    EXPECT_TRUE(read.ok()) << read.failure.toStdString();
    EXPECT_EQ(read.source, QStringLiteral("another")) << "the first by name of the two alike";
    BankCsvMapping monthFirst = mapping;
    monthFirst.dateOrder = DateOrder::MonthDayYear;
    ledger->saveBankMapping(QStringLiteral("month first"), mappingToJson(monthFirst));
    read = readBillFor(*ledger, statement);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.mappable);
    EXPECT_TRUE(read.failure.contains(QStringLiteral("another、month first"))) << read.failure.toStdString();
    read = readBillFor(*ledger, statement, QStringLiteral("month first"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.bill.transactions.front().date, QDate(2026, 3, 4));

    // A source with no mapping, and a statement no mapping reads.
    EXPECT_FALSE(readBillFor(*ledger, statement, QStringLiteral("none")).ok());
    const QString other = testkit::writeFile(dir.filePath(QStringLiteral("other.csv")), "a|b\n1|2\n");
    read = readBillFor(*ledger, other);
    EXPECT_EQ(read.failure, unrecognisedBillText());
    EXPECT_TRUE(read.mappable);
}

} // namespace
