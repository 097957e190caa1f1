// The month report and the CSV text without any window.
#include "ledger/export/csv_text.h"
#include "ledger/export/ledger_export.h"
#include "ledger/report/month_report.h"
#include "ledger/report/report_formats.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

TEST(CsvText, QuotesOnlyWhatNeedsIt)
{
    struct Case {
        QString field;
        QString written;
    };
    const Case cases[] = {
        {QStringLiteral("工资"), QStringLiteral("工资")},
        {QString(), QString()},
        {QStringLiteral("a,b"), QStringLiteral("\"a,b\"")},
        {QStringLiteral("say \"hi\""), QStringLiteral("\"say \"\"hi\"\"\"")},
        {QStringLiteral("two\r\nlines"), QStringLiteral("\"two\r\nlines\"")},
        {QStringLiteral("lf\nonly"), QStringLiteral("\"lf\nonly\"")},
        {QStringLiteral(" padded "), QStringLiteral("\" padded \"")},
        {QStringLiteral("-12.5"), QStringLiteral("-12.5")},
    };
    for (const Case &each : cases)
        EXPECT_EQ(ledger::csvField(each.field), each.written) << each.field.toStdString();
    EXPECT_EQ(ledger::csvRecord({QStringLiteral("a"), QString(), QStringLiteral("c,d")}),
              QStringLiteral("a,,\"c,d\"\r\n"));
}

TEST(CsvText, TablesWriteNullsEmptyAndNumbersInFull)
{
    store::ResultTable table;
    table.columns = {QStringLiteral("months"), QStringLiteral("TotalCost"), QStringLiteral("code")};
    table.rows.push_back({QStringLiteral("2026-05"), 1800000.0, qlonglong(7)});
    table.rows.push_back({QVariant(), 0.1, qlonglong(8)});
    EXPECT_EQ(ledger::tableCsv(table),
              QByteArray("months,TotalCost,code\r\n2026-05,1800000,7\r\n,0.1,8\r\n"));
    ledger::ExportOptions withMark;
    withMark.byteOrderMark = true;
    EXPECT_TRUE(ledger::tableCsv(table, withMark)
                    .startsWith("\xEF\xBB\xBF"
                                "months,"));
}

TEST(MonthReport, AMonthWithoutItemsIsNotFoundAndNothingIsCarriedForward)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    store::createLedger(path);
    store::Ledger books(path, {});
    store::Item salary;
    salary.type = QStringLiteral("工资");
    salary.name = QStringLiteral("月薪");
    salary.income = 9000;
    books.addItem(QStringLiteral("2026-01"), salary);

    try {
        ledger::monthReport(books, QStringLiteral("2026-02"));
        ADD_FAILURE() << "a month without items was reported";
    } catch (const store::DbError &error) {
        EXPECT_EQ(error.description(), QStringLiteral("找不到这个月份 Month not found: 2026-02"));
    }
    EXPECT_EQ(books.newestMonths(), QStringList{QStringLiteral("2026-01")});

    const ledger::MonthReport report = ledger::monthReport(books, QStringLiteral("2026-01"));
    EXPECT_EQ(report.categories[0].key, QStringLiteral("income"));
    EXPECT_DOUBLE_EQ(report.categories[0].total, 9000);
    EXPECT_DOUBLE_EQ(report.summary.salary, 9000);
    EXPECT_EQ(report.previousMonth, QStringLiteral("2025-12"));
    EXPECT_FALSE(report.advice.isEmpty());

    // The text report lines its figures up under their columns, Chinese
    // characters taking two places.
    const QString text = QString::fromUtf8(ledger::reportText(report));
    EXPECT_TRUE(text.contains(QStringLiteral("收入 Profit\n项  目    描      述  金 额   比 例\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n          月薪         9000  100.0%\n")))
        << text.toStdString();
}

TEST(MonthReport, MonthKeysAndFormatNames)
{
    EXPECT_TRUE(ledger::isMonthKey(QStringLiteral("2026-12")));
    for (const char *wrong : {"2026-13", "2026-00", "2026-5", "26-05", "2026-05-01", ""})
        EXPECT_FALSE(ledger::isMonthKey(QString::fromLatin1(wrong))) << wrong;
    EXPECT_EQ(ledger::reportFormatNamed(QStringLiteral("JSON")), ledger::ReportFormat::Json);
    EXPECT_FALSE(ledger::reportFormatNamed(QStringLiteral("xml")).has_value());
}

} // namespace
