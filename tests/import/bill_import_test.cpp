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

    ledger->saveBankMapping(QStringLiteral("another"), mappingToJson(mapping));
    const BillReadResult unknown = readBillFor(*ledger, statement);
    EXPECT_FALSE(unknown.ok()) << "of two mappings none is taken unasked";
    EXPECT_EQ(unknown.failure, unrecognisedBillText());
    EXPECT_TRUE(readBillFor(*ledger, statement, QStringLiteral("银行 Bank")).ok());
}

} // namespace
