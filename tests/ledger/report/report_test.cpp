// The month report and the CSV text without any window.
#include "item_fixtures.h"
#include "ledger/export/csv_text.h"
#include "ledger/export/ledger_export.h"
#include "ledger/report/month_report.h"
#include "ledger/report/report_formats.h"
#include "raw_ledger_writes.h"
#include "store/ledger_schema.h"
#include "test_ledger.h"

#include <QTemporaryDir>

using namespace zambrel;

namespace {

/// A new ledger in `dir` holding a salary of 9000 in January 2026.
QString ledgerWithASalary(const QTemporaryDir &dir, const QString &password = {})
{
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    store::createLedger(path, password);
    store::Ledger(path, password)
        .addItem(QStringLiteral("2026-01"),
                 testkit::itemOf(QStringLiteral("工资"), QStringLiteral("月薪"), {9000}));
    return path;
}

TEST(CsvText, QuotesOnlyWhatNeedsIt)
{
    struct Case {
        QString field;
        QString written;
    };
    const Case cases[] = {
        {QStringLiteral("工资"), QStringLiteral("工资")},
        {QStringLiteral("a,b"), QStringLiteral("\"a,b\"")},
        {QStringLiteral("say \"hi\""), QStringLiteral("\"say \"\"hi\"\"\"")},
        {QStringLiteral("two\r\nlines"), QStringLiteral("\"two\r\nlines\"")},
        // Control characters other than tab and line breaks become visible.
        {QStringLiteral("nul") + QChar(0) + QStringLiteral("here"), QStringLiteral("nul\u2400here")},
        {QChar(0) + QStringLiteral(",\a"), QStringLiteral("\"\u2400,\u2407\"")},
    };
    for (const Case &each : cases)
        EXPECT_EQ(ledger::csvField(each.field), each.written) << each.field.toStdString();
    EXPECT_EQ(ledger::csvRecord({QStringLiteral("a"), QString(), QStringLiteral("c,d")}),
              QStringLiteral("a,,\"c,d\"\r\n"));
}

// (Tables written in full, nulls empty, read back as the ledger: the command
// line's export test.)

TEST(CsvText, ForSpreadsheetsTextThatWouldBeAFormulaStaysText)
{
    store::ResultTable table;
    table.columns = {QStringLiteral("name"), QStringLiteral("amount")};
    const struct {
        QVariant value;
        const char *plain, *spreadsheet;
    } cells[] = {
        {QStringLiteral("=HYPERLINK(\"x\")"), "\"=HYPERLINK(\"\"x\"\")\"", "\"'=HYPERLINK(\"\"x\"\")\""},
        {QStringLiteral("+1+1"), "+1+1", "'+1+1"},
        {QStringLiteral("@SUM(A1)"), "@SUM(A1)", "'@SUM(A1)"},
        {QStringLiteral("\r=1"), "\"\r=1\"", "\"'\r=1\""},
        // Numbers, and text that reads as one, are never touched.
        {QStringLiteral("-12.5"), "-12.5", "-12.5"},
        {-42.5, "-42.5", "-42.5"},
    };
    ledger::ExportOptions spreadsheet;
    spreadsheet.forSpreadsheets = true;
    for (const auto &cell : cells) {
        table.rows = {{cell.value, 1.0}};
        const QByteArray row = QByteArray(cell.plain) + ",1\r\n";
        EXPECT_EQ(ledger::tableCsv(table), "name,amount\r\n" + row);
        EXPECT_EQ(ledger::tableCsv(table, spreadsheet),
                  "\xEF\xBB\xBFname,amount\r\n" + QByteArray(cell.spreadsheet) + ",1\r\n");
    }
}

// A ledger file another program wrote control characters into.
TEST(LedgerExport, ControlCharactersInTheLedgerNeverReachAFileOrTheTerminalRaw)
{
    QTemporaryDir dir;
    const QString path = ledgerWithASalary(dir);
    testkit::runRaw(path, "UPDATE Asset SET memo='a' || char(0) || 'b' || char(27) || '[2J', "
                          "name='月' || char(10) || '薪' || char(27) || '[2J'");

    store::Ledger books(path, {});
    ASSERT_TRUE(books.monthItems(QStringLiteral("2026-01"))[0].memo.contains(QChar(0)));
    ledger::exportLedger(books, dir.filePath(QStringLiteral("out")));
    QFile items(dir.filePath(QStringLiteral("out/items.csv")));
    ASSERT_TRUE(items.open(QIODevice::ReadOnly));
    const QByteArray bytes = items.readAll();
    EXPECT_FALSE(bytes.contains('\0'));
    EXPECT_FALSE(bytes.contains('\x1b'));
    EXPECT_TRUE(bytes.contains(QStringLiteral(",a\u2400b\u241b[2J,").toUtf8())) << bytes.toStdString();

    // The text report goes to a terminal: a row stays one line.
    const QString report =
        QString::fromUtf8(ledger::reportText(ledger::monthReport(books, QStringLiteral("2026-01"))));
    EXPECT_FALSE(report.contains(QChar(0x1b)));
    EXPECT_TRUE(report.contains(QStringLiteral("月\u240a薪\u241b[2J    9000  100.0%\n")))
        << report.toStdString();
}

TEST(MonthReport, AMonthWithoutItemsIsNotFoundAndNothingIsCarriedForward)
{
    QTemporaryDir dir;
    store::Ledger books(ledgerWithASalary(dir), {});

    // (A month not found is told: the command line's test.)
    EXPECT_THROW(ledger::monthReport(books, QStringLiteral("2026-02")), store::DbError);
    EXPECT_EQ(books.newestMonths(), QStringList{QStringLiteral("2026-01")});

    const ledger::MonthReport report = ledger::monthReport(books, QStringLiteral("2026-01"));
    EXPECT_DOUBLE_EQ(report.categories[0].total, 9000);
    EXPECT_DOUBLE_EQ(report.summary.salary, 9000);
    EXPECT_EQ(report.previousMonth, QStringLiteral("2025-12"));

    // The text report lines its figures up under their columns, Chinese
    // characters taking two places.
    const QString text = QString::fromUtf8(ledger::reportText(report));
    EXPECT_TRUE(text.contains(QStringLiteral("收入 Profit\n项  目    描      述  金 额   比 例\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n          月薪         9000  100.0%\n")))
        << text.toStdString();
}

TEST(MonthReport, MonthKeys)
{
    EXPECT_TRUE(ledger::isMonthKey(QStringLiteral("2026-12")));
    for (const char *wrong : {"2026-13", "2026-5", "2026-05\n", "٢٠٢٦-05"})
        EXPECT_FALSE(ledger::isMonthKey(QString::fromUtf8(wrong))) << wrong;
}

// Neither an export nor a carry-forward lets the ledger go: a second program
// is still refused afterwards.
TEST(LedgerHold, ASecondProgramIsRefusedAfterAnExportAndACarryForward)
{
    QTemporaryDir dir;
    const QString path = ledgerWithASalary(dir, QStringLiteral("pw"));
    store::Ledger books(path, QStringLiteral("pw"));
    const QByteArray inUse = "error 账本正在使用中 The ledger is in use";

    EXPECT_EQ(ledger::exportLedger(books, dir.filePath(QStringLiteral("csv"))).size(), 3);
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("pw")), inUse) << "after the export";
    EXPECT_EQ(books.carryForward(QStringLiteral("2026-01"), QStringLiteral("2026-02")), 1);
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("pw")), inUse) << "after the carry-forward";
}

} // namespace
