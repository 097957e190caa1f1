// Amounts, dates and CSV records as bills and statements write them.
#include "import/csv_split.h"
#include "import/field_values.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zambrel::bills;

namespace {

TEST(FieldValuesTest, AmountsAsBillsWriteThem)
{
    // clang-format off
    const struct {
        const char *text;
        bool decimalComma;
        double value;
    } readable[] = {
        {"¥12.50", false, 12.5},     {"￥1,234.50", false, 1234.5},     {" 56.00\t", false, 56},
        {"-12.5", false, -12.5},     {"(12.50)", false, -12.5},         {"12.50-", false, -12.5},
        {"+3", false, 3},            {"−7.25", false, -7.25},           {"CNY 88.00", false, 88},
        {"88.00元", false, 88},      {"１２.５", false, 12.5},          {"1.25E+2", false, 125},
        {"1.234,56", true, 1234.56}, {"-1.234,56", true, -1234.56},     {"12,5", true, 12.5},
        {"1 234,56", true, 1234.56}, {"1,234,567.8", false, 1234567.8}};
    // clang-format on
    for (const auto &c : readable)
        EXPECT_DOUBLE_EQ(parseAmount(QString::fromUtf8(c.text), c.decimalComma).value_or(NAN), c.value)
            << c.text;
    for (const char *text : {"12,5", "1,23,456.00", "", "abc", "12.5.1", "1-2", "inf", "nan", "1e300", "¥",
                             "(-4.00)", "(4.00-)", "-(4.00)", "(−4.00)"})
        EXPECT_EQ(parseAmount(QString::fromUtf8(text), false), std::nullopt) << text;
    for (const char *text : {"12.50", "1.234,5.6"})
        EXPECT_EQ(parseAmount(QString::fromUtf8(text), true), std::nullopt) << text;
}

TEST(FieldValuesTest, DatesInEachOrder)
{
    struct Case {
        const char *text;
        DateOrder order;
        QDate date;
    };
    constexpr auto ymd = DateOrder::YearMonthDay, dmy = DateOrder::DayMonthYear,
                   mdy = DateOrder::MonthDayYear;
    const QDate march5(2024, 3, 5);
    // clang-format off
    const Case cases[] = {
        {"2024-03-05 12:30:00", ymd, march5}, {"2024/3/5 8:05", ymd, march5}, {"2024年3月5日", ymd, march5},
        {"2024-03-05T12:30", ymd, march5},    {"20240305", ymd, march5},     {"05.03.2024", dmy, march5},
        {"05032024", dmy, march5},            {"5/3/24", dmy, march5},       {"03/05/2024", mdy, march5},
        {"2024-02-29", ymd, QDate(2024, 2, 29)}, {"2023-02-29", ymd, QDate()}, {"05.03.2024", ymd, QDate()},
        {"2024-03-05", dmy, QDate()},         {"13/13/2024", mdy, QDate()},  {"2024-03", ymd, QDate()},
        {"yesterday", ymd, QDate()},          {"", ymd, QDate()}};
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(parseDate(QString::fromUtf8(c.text), c.order).value_or(QDate()), c.date) << c.text;

    EXPECT_EQ(excelSerialDate(u"45356.5"), QDate(2024, 3, 5));
    EXPECT_EQ(excelSerialDate(u"0"), std::nullopt);
    EXPECT_EQ(excelSerialDate(u"2024-03-05"), std::nullopt);
}

TEST(FieldValuesTest, OneDateOrderForAFile)
{
    struct Case {
        QStringList dates;
        DateOrder order;
        bool ambiguous;
    };
    constexpr auto ymd = DateOrder::YearMonthDay, dmy = DateOrder::DayMonthYear,
                   mdy = DateOrder::MonthDayYear;
    const Case cases[] = {{{"2024-03-05", "2024-03-13"}, ymd, false},
                          {{"05/03/2024", "13/03/2024"}, dmy, false},
                          {{"03/05/2024", "03/13/2024"}, mdy, false},
                          {{"03/05/2024", "04/06/2024"}, dmy, true},
                          {{"01/01/2024", "02/02/2024"}, dmy, false},
                          // One misprint does not turn the file's order round.
                          {{"13/03/2024", "14/03/2024", "03/15/2024"}, dmy, false},
                          {{}, ymd, false}};
    for (const Case &c : cases) {
        const DateOrderChoice choice = decideDateOrder(c.dates);
        EXPECT_EQ(choice.order, c.order) << c.dates.join(u' ').toStdString();
        EXPECT_EQ(choice.ambiguous, c.ambiguous) << c.dates.join(u' ').toStdString();
    }
}

TEST(CsvSplitTest, QuotesLineEndsAndAQuoteLeftOpen)
{
    const std::vector<TableRow> rows = splitCsv(u"a,\"b,c\" ,\"d\"\"e\"\r\n"
                                                u"\"two\nlines\",x\r"
                                                u"\r\n"
                                                u"  \"padded\",,\n"
                                                u"open \",\"never closed\n"
                                                u"last,row",
                                                u',');
    // Each row: its line, a mark for a blank row or an open quote, its cells.
    QStringList read;
    for (const TableRow &row : rows)
        read << QString::number(row.line) +
                    (row.isBlank()       ? "b "
                     : row.unclosedQuote ? "q "
                                         : " ") +
                    row.cells.join(u'|');
    EXPECT_EQ(read, (QStringList{"1 a|b,c |d\"e", "2 two\nlines|x", "4b ", "5 padded||",
                                 "6q open \"|\"never closed", "7 last|row"}));
}

// A stray quote must not swallow the lines up to the next quoted field: a
// quote that closes lines later but is followed by more than the field's end
// was never the field's own.
TEST(CsvSplitTest, AStrayQuoteLeavesTheNextLinesAlone)
{
    const std::vector<TableRow> rows = splitCsv(u"2024-05-01,\"stray,12.00\n"
                                                u"2024-05-02,plain,3.00\n"
                                                u"2024-05-03,\"quoted\",1999.00\n",
                                                u',');
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].unclosedQuote);
    EXPECT_EQ(rows[0].cells, QStringList({"2024-05-01", "\"stray", "12.00"}));
    EXPECT_EQ(rows[1].cells, QStringList({"2024-05-02", "plain", "3.00"}));
    EXPECT_EQ(rows[2].line, 3);
    EXPECT_EQ(rows[2].cells, QStringList({"2024-05-03", "quoted", "1999.00"}));
}

} // namespace
