#include "store_test_support.h"
#include "test_support.h"

#include "base/message.h"
#include "base/number_format.h"
#include "base/status_line.h"
#include "host/error_report.h"
#include "store/db_error.h"
#include "store/record_set.h"
#include "store/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

using namespace zambrel;
using namespace zambrel::base;
using namespace zambrel::store;
using host::ErrorRoad;
using host::reportError;

namespace {

// Each road shows a failure its own way; the texts and titles are the
// program's.
TEST(ErrorRoads, EachRoadShowsTheFailureItsOwnWay)
{
    testkit::ScriptedResponder messages;
    // A real uniqueness failure from a batch write.
    testkit::OpenLedger ledger;
    RecordSet days;
    days.setLockType(adLockBatchOptimistic);
    days.open(QStringLiteral("select * from log where 1=2"), *ledger.connection);
    for (int copy = 0; copy < 2; ++copy) {
        days.addNew();
        days.setValue(QStringLiteral("dates"), QStringLiteral("2026-01-01"));
    }
    std::optional<DbError> uniqueness;
    try {
        days.updateBatch();
    } catch (const DbError &error) {
        uniqueness = error;
    }
    ASSERT_TRUE(uniqueness);
    const DbError missing(kErrSyntax, QStringLiteral("no such table: nowhere"));

    reportError(missing, ErrorRoad::Query);
    reportError(*uniqueness, ErrorRoad::BatchWrite);
    reportError(missing, ErrorRoad::Statement);
    reportError(missing, ErrorRoad::MenuCommand);
    reportError(missing, ErrorRoad::ToolbarCommand);
    reportError(std::runtime_error("broken"), ErrorRoad::StartUp);
    QString status;
    int window = 0;
    setStatusWriter(&window, [&status](const QString &text, int) { status = text; });
    reportError(missing, ErrorRoad::ListQuery);
    releaseStatusWriter(&window);
    const auto &shown = messages.shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].text, QStringLiteral("no such table: nowhere\n\n无法查询。"));
    EXPECT_EQ(shown[0].icon, MessageIcon::None);
    EXPECT_EQ(shown[0].title, productName());
    EXPECT_TRUE(shown[1].text.startsWith(QStringLiteral("数据唯一性受到影响\n")));
    EXPECT_TRUE(shown[1].text.endsWith(QStringLiteral("\n\n无法更新数据，请检查输入的格式。")));
    EXPECT_EQ(shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(shown[1].title, QStringLiteral("错误号 Error -2147217900")) << "never a bare number";
    EXPECT_EQ(shown[2].text, missing.description());
    EXPECT_EQ(shown[2].icon, MessageIcon::Information);
    EXPECT_EQ(shown[2].title, productName());
    EXPECT_EQ(shown[3].title, QStringLiteral("出错了"));
    EXPECT_EQ(shown[3].icon, MessageIcon::None);
    EXPECT_EQ(shown[4].title, productName());
    EXPECT_EQ(shown[5].text, QStringLiteral("broken"));
    EXPECT_EQ(shown[5].title, QStringLiteral("致命错误"));
    EXPECT_EQ(shown[5].icon, MessageIcon::Critical);
    EXPECT_EQ(shown[6].text,
              QStringLiteral("发生错误，错误信息为：80040E14\n错误描述：no such table: nowhere"));
    EXPECT_EQ(shown[6].title, QStringLiteral("有错误发生"));
    EXPECT_EQ(shown[6].icon, MessageIcon::Critical);
    EXPECT_EQ(status, QStringLiteral("发生错误：错误号80040E14。错误描述：no such table： nowhere"));

    // A full disk is told as such, not as bad input.
    messages.clear();
    reportError(DbError(kErrDiskFull, QStringLiteral("磁盘已满 Disk full: /data/books.mdb")),
                ErrorRoad::BatchWrite);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("磁盘已满 Disk full: /data/books.mdb"));
    EXPECT_EQ(shown[0].icon, MessageIcon::Critical);
    bool bareNumber = false;
    shown[0].title.toLongLong(&bareNumber);
    EXPECT_FALSE(bareNumber) << qPrintable(shown[0].title);
}

// A user action's one catch reports a failure once: on the road a step
// gave it, else on the action's own; a step inside another keeps the inner
// road.
TEST(ErrorRoads, AnActionReportsAFailureOnceOnItsRoad)
{
    testkit::ScriptedResponder messages;
    const DbError broken(kErrGeneric, QStringLiteral("坏了 broken"));
    EXPECT_FALSE(host::runReported(ErrorRoad::MenuCommand, [] {}));
    EXPECT_TRUE(messages.shown().empty());

    EXPECT_EQ(host::runReported(ErrorRoad::MenuCommand, [&] { throw broken; }), ErrorRoad::MenuCommand);
    EXPECT_EQ(host::runReported(ErrorRoad::ToolbarCommand,
                                [&] { host::onRoad(ErrorRoad::Statement, [&] { throw broken; }); }),
              ErrorRoad::Statement);
    EXPECT_EQ(host::runReported(ErrorRoad::ToolbarCommand,
                                [&] {
                                    host::onRoad(ErrorRoad::BatchWrite, [&] {
                                        host::onRoad(ErrorRoad::Statement, [&] { throw broken; });
                                    });
                                }),
              ErrorRoad::Statement);
    EXPECT_EQ(host::onRoad(ErrorRoad::Query, [] { return 7; }), 7) << "a step's value passes through";
    const auto &shown = messages.shown();
    ASSERT_EQ(shown.size(), 3u) << "each failure once";
    EXPECT_EQ(shown[0].title, QStringLiteral("出错了"));
    for (std::size_t each = 1; each < 3; ++each) {
        EXPECT_EQ(shown[each].text, QStringLiteral("坏了 broken"));
        EXPECT_EQ(shown[each].icon, MessageIcon::Information) << "the statement road";
    }
    try {
        host::onRoad(ErrorRoad::Query, [] { throw std::runtime_error("gone"); });
    } catch (const std::exception &failure) {
        EXPECT_STREQ(failure.what(), "gone") << "a routed failure still says what it is";
    }
}

TEST(StatusLine, GoesToTheMainWindowWhileItHoldsTheWriter)
{
    QString status;
    showStatus(QStringLiteral("a:b"));
    int window = 0;
    setStatusWriter(&window,
                    [&status](const QString &text, int panel) { status = QString::number(panel) + text; });
    showStatus(QStringLiteral("准备就绪: 共 3 条"), 1);
    EXPECT_EQ(status, QStringLiteral("1准备就绪： 共 3 条"));
    // A window that closes after the next one opened leaves the new writer.
    int older = 0;
    releaseStatusWriter(&older);
    showStatus(QStringLiteral("x"), 2);
    EXPECT_EQ(status, QStringLiteral("2x"));
    releaseStatusWriter(&window);
    showStatus(QStringLiteral("y"));
    EXPECT_EQ(status, QStringLiteral("2x"));
}

struct NumberCase {
    const char *text;
    double number;
    const char *asText;
};

TEST(NumberReading, TextToNumberAndBack)
{
    // clang-format off
    const NumberCase cases[] = {
        {" 12.50", 12.5, "12.5"}, {"abc", 0, "0"}, {"", 0, "0"}, {"-3", -3, "-3"}, {"+4", 4, "4"},
        {"1e3", 1000, "1000"}, {"1,234.5", 1234.5, "1234.5"}, {"  7  ", 7, "7"}, {".5", 0.5, "0.5"},
        {"5.", 5, "5"}, {"12abc", 0, "0"}, {"1e999", 0, "0"}, {"inf", 0, "0"}, {"nan", 0, "0"},
        {",5", 0, "0"}, {"1,,2", 0, "0"}, {"0.1", 0.1, "0.1"},
        {"123456789012.34", 123456789012.34, "123456789012.34"},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(toNumber(QString::fromLatin1(c.text)), c.number) << c.text;
        EXPECT_EQ(numberText(QString::fromLatin1(c.text)), QString::fromLatin1(c.asText)) << c.text;
        EXPECT_EQ(isNumeric(QString::fromLatin1(c.text)), c.number != 0) << c.text;
    }
    EXPECT_TRUE(isNumeric(QStringLiteral(" 0 ")));
    EXPECT_TRUE(isNumeric(QStringLiteral("-0.0")));
    EXPECT_EQ(numberToText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(numberToText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(numberToText(2500000), QStringLiteral("2500000"));
    EXPECT_EQ(sqlText(QStringLiteral("O'Neil's")), QStringLiteral("O''Neil''s"));
}

// Amounts are written as Qt writes a number with 15 significant digits; the
// quick conversion must give the same text everywhere, ties at the 16th digit
// and the switch to an exponent included, and the number read back must be
// what reading that text gives.
TEST(NumberReading, AmountTextsAsQtWritesThem)
{
    // clang-format off
    std::vector<double> values = {0.1, 0.5, 1, 12.5, 100, 1234.56, -1234.56, 0.0001, 0.00001,
        0.000123456789012345, 1e14, 99999999999999.9, 999999999999999.0, 999999999999999.4,
        999999999999999.6, 1e15, -1e15, 1e16, 123456789012344.5, 123456789012345.5, -123456789012344.5,
        1234567890123.445, 5e-324, 1.7976931348623157e308, 0.30000000000000004, 2.675, 1.005, 4.35,
        1234567.125, 0.00009999999999999999};
    // clang-format on
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 20000; ++i) {
        // Cents and whole amounts as entered, plus arbitrary magnitudes.
        const double amount = std::round(unit(random) * 1e9) / 100;
        values.push_back(amount);
        values.push_back(-amount * 7);
        values.push_back(std::round(unit(random) * 1e15) + 0.5); // exact ties at the 16th digit
        values.push_back(unit(random) * std::pow(10.0, static_cast<int>(unit(random) * 40) - 20));
    }
    for (const double value : values) {
        const QString expected = value == 0 ? QStringLiteral("0") : QString::number(value, 'g', 15);
        EXPECT_EQ(numberToText(value), expected) << value;
        const NumberWithText written = numberWithText(value);
        EXPECT_EQ(written.text, expected) << value;
        EXPECT_EQ(written.value, toNumber(expected)) << value;
    }
}

} // namespace
