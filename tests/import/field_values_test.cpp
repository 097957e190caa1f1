// Amounts, dates and CSV records as bills and statements write them.
#include "import/csv_split.h"
#include "import/field_values.h"

#include <gtest/gtest.h>

using namespace zambrel::bills;

namespace {

TEST(FieldValuesTest, AmountsAsBillsWriteThem)
{
    struct Case {
        const char *text;
        bool decimalComma;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"¥12.50", false, 12.5},
        {"￥1,234.50", false, 1234.5},
        {" 56.00\t", false, 56},
        {"-12.5", false, -12.5},
        {"(12.50)", false, -12.5},
        {"12.50-", false, -12.5},
        {"+3", false, 3},
        {"−7.25", false, -7.25},
        {"CNY 88.00", false, 88},
        {"88.00元", false, 88},
        {"１２.５", false, 12.5},
        {"1.25E+2", false, 125},
        {"1.234,56", true, 1234.56},
        {"-1.234,56", true, -1234.56},
        {"12,5", true, 12.5},
        {"1 234,56", true, 1234.56},
        {"1,234,567.8", false, 1234567.8},
        {"12,5", false, std::nullopt},
        {"12.50", true, std::nullopt},
        {"1,23,456.00", false, std::nullopt},
        {"1.234,5.6", true, std::nullopt},
        {"", false, std::nullopt},
        {"abc", false, std::nullopt},
        {"12.5.1", false, std::nullopt},
        {"1-2", false, std::nullopt},
        {"inf", false, std::nullopt},
        {"nan", false, std::nullopt},
        {"1e300", false, std::nullopt},
        {"¥", false, std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<double> value = parseAmount(QString::fromUtf8(c.text), c.decimalComma);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.text;
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value) << c.text;
        }
    }
}

TEST(FieldValuesTest, DatesInEachOrder)
{
    struct Case {
        const char *text;
        DateOrder order;
        QDate date;
    };
    const Case cases[] = {
        {"2024-03-05 12:30:00", DateOrder::YearMonthDay, QDate(2024, 3, 5)},
        {"2024/3/5 8:05", DateOrder::YearMonthDay, QDate(2024, 3, 5)},
        {"2024年3月5日", DateOrder::YearMonthDay, QDate(2024, 3, 5)},
        {"2024-03-05T12:30", DateOrder::YearMonthDay, QDate(2024, 3, 5)},
        {"20240305", DateOrder::YearMonthDay, QDate(2024, 3, 5)},
        {"05.03.2024", DateOrder::DayMonthYear, QDate(2024, 3, 5)},
        {"05032024", DateOrder::DayMonthYear, QDate(2024, 3, 5)},
        {"5/3/24", DateOrder::DayMonthYear, QDate(2024, 3, 5)},
        {"03/05/2024", DateOrder::MonthDayYear, QDate(2024, 3, 5)},
        {"2024-02-29", DateOrder::YearMonthDay, QDate(2024, 2, 29)},
        {"2023-02-29", DateOrder::YearMonthDay, QDate()},
        {"05.03.2024", DateOrder::YearMonthDay, QDate()},
        {"2024-03-05", DateOrder::DayMonthYear, QDate()},
        {"13/13/2024", DateOrder::MonthDayYear, QDate()},
        {"2024-03", DateOrder::YearMonthDay, QDate()},
        {"yesterday", DateOrder::YearMonthDay, QDate()},
        {"", DateOrder::YearMonthDay, QDate()},
    };
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
    const Case cases[] = {
        {{"2024-03-05", "2024-03-13"}, DateOrder::YearMonthDay, false},
        {{"05/03/2024", "13/03/2024"}, DateOrder::DayMonthYear, false},
        {{"03/05/2024", "03/13/2024"}, DateOrder::MonthDayYear, false},
        {{"03/05/2024", "04/06/2024"}, DateOrder::DayMonthYear, true},
        {{"01/01/2024", "02/02/2024"}, DateOrder::DayMonthYear, false},
        // One misprint does not turn the file's order round.
        {{"13/03/2024", "14/03/2024", "03/15/2024"}, DateOrder::DayMonthYear, false},
        {{}, DateOrder::YearMonthDay, false},
    };
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
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].cells, QStringList({"a", "b,c ", "d\"e"}));
    EXPECT_EQ(rows[1].cells, QStringList({"two\nlines", "x"}));
    EXPECT_EQ(rows[1].line, 2);
    EXPECT_EQ(rows[2].line, 4);
    EXPECT_TRUE(rows[2].isBlank());
    EXPECT_EQ(rows[3].cells, QStringList({"padded", "", ""}));
    EXPECT_EQ(rows[3].line, 5);
    EXPECT_EQ(rows[4].line, 6);
    EXPECT_TRUE(rows[4].unclosedQuote);
    EXPECT_EQ(rows[4].cells, QStringList({"open \"", "\"never closed"}));
    EXPECT_EQ(rows[5].line, 7);
    EXPECT_EQ(rows[5].cells, QStringList({"last", "row"}));
    EXPECT_FALSE(rows[5].unclosedQuote);
}

} // namespace
