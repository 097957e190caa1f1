#include "store_test_support.h"
#include "test_support.h"

#include "store/db_routines.h"
#include "store/mod_db.h"
#include "store/record_set.h"

#include <QObject>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace zambrel;
using namespace zambrel::store;

namespace {

/// A real ledger as the program-wide one, its connection not yet open.
class RecordSetRoutines : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.file(QStringLiteral("books.mdb"));
        createLedger(path, QStringLiteral("pw"));
        modDB::setLedgerPath(path);
        modDB::setConnectionString(ledgerConnectionString(path, QStringLiteral("pw")));
        modDB::UiHooks hooks;
        hooks.setBusyPointer = [this](bool busy) { busyChanges.push_back(busy); };
        hooks.copyToClipboard = [this](const QString &text) { clipboard = text; };
        hooks.setStatusText = [this](const QString &text, int panel) {
            status = QString::number(panel) + text;
        };
        modDB::setUiHooks(hooks);
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder messages;
    QString path;
    std::vector<bool> busyChanges;
    QString clipboard;
    QString status;
};

TEST_F(RecordSetRoutines, OpenRSCreatesTheConnectionAndGivesAnUpdatableSet)
{
    EXPECT_EQ(OpenRS({}), nullptr);
    EXPECT_EQ(modDB::connection(), nullptr) << "an empty statement touches nothing";

    auto types = OpenRS(QStringLiteral("select * from AssetType order by types"));
    ASSERT_NE(types, nullptr);
    ASSERT_NE(modDB::connection(), nullptr);
    EXPECT_EQ(modDB::connection()->state(), adStateOpen);
    EXPECT_TRUE(types->isAttached());
    EXPECT_EQ(types->lockType(), adLockBatchOptimistic);
    EXPECT_EQ(busyChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(messages.shown().empty());

    // The same connection serves the next query while it is open.
    const auto *first = modDB::connection().get();
    auto months = OpenReadRS(QStringLiteral("select max(months) as maxMonths from asset"));
    ASSERT_NE(months, nullptr);
    EXPECT_EQ(modDB::connection().get(), first);
    EXPECT_FALSE(months->isAttached());
    EXPECT_TRUE(months->isNull(QStringLiteral("maxMonths")));
}

TEST_F(RecordSetRoutines, FailedOpenRSShowsWhyAndDropsTheConnection)
{
    ASSERT_NE(OpenRS(QStringLiteral("select * from asset")), nullptr);
    EXPECT_EQ(OpenRS(QStringLiteral("select * from nowhere")), nullptr);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.endsWith(QStringLiteral("\n\n无法查询。")));
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("nowhere")));
    EXPECT_EQ(messages.shown()[0].style, vbOKOnly);
    EXPECT_EQ(messages.shown()[0].title, productName());
    EXPECT_EQ(modDB::connection(), nullptr);
    EXPECT_EQ(busyChanges.back(), false);

    // The file was released: the next query opens it afresh.
    EXPECT_NE(OpenReadRS(QStringLiteral("select * from asset")), nullptr);
    EXPECT_EQ(modDB::connection()->state(), adStateOpen);
}

TEST_F(RecordSetRoutines, FailedOpenReadRSIsSilentAndKeepsTheConnection)
{
    const QString bad = QStringLiteral("select nothing from asset");
    ASSERT_NE(OpenReadRS(QStringLiteral("select * from asset")), nullptr);
    const auto connection = modDB::connection();
    EXPECT_EQ(OpenReadRS(bad), nullptr);
    EXPECT_EQ(clipboard, bad);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(modDB::connection(), connection);
    EXPECT_EQ(connection->state(), adStateOpen);
}

TEST_F(RecordSetRoutines, ClosedConnectionIsReopenedWithShapingPrefix)
{
    ASSERT_NE(OpenRS(QStringLiteral("select * from asset")), nullptr);
    modDB::connection()->close();
    ASSERT_NE(OpenRS(QStringLiteral("select * from asset")), nullptr);
    EXPECT_TRUE(
        modDB::connection()->connectionString().startsWith(QStringLiteral("Provider=MSDataShape;Data ")));
    EXPECT_EQ(modDB::connection()->commandTimeout(), 100);

    modDB::connection()->close();
    ASSERT_NE(OpenReadRS(QStringLiteral("select * from asset"), {}, false, 7), nullptr);
    EXPECT_EQ(modDB::connection()->connectionString(), modDB::connectionString());
    EXPECT_EQ(modDB::connection()->commandTimeout(), 7);
}

TEST_F(RecordSetRoutines, SaveRSWritesOrExplains)
{
    EXPECT_FALSE(SaveRS(nullptr, false, nullptr, 100));
    auto carried = OpenRS(QStringLiteral("select * from log where 1=2"));
    ASSERT_NE(carried, nullptr);
    EXPECT_FALSE(SaveRS(carried.get(), true, nullptr, 100)) << "count check on an empty set";
    EXPECT_TRUE(messages.shown().empty());

    for (const char *day : {"2026-01-01", "2026-01-02"}) {
        carried->addNew();
        carried->setValue(QStringLiteral("dates"), QString::fromLatin1(day));
    }
    // No connection passed: the open program-wide one holds the lock and writes.
    EXPECT_TRUE(SaveRS(carried.get(), true, nullptr, 100));
    EXPECT_EQ(OpenReadRS(QStringLiteral("select * from log"))->recordCount(), 2);

    carried->addNew();
    carried->setValue(QStringLiteral("dates"), QStringLiteral("2026-01-01"));
    EXPECT_FALSE(SaveRS(carried.get(), true, modDB::connection().get(), 30));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("数据唯一性受到影响\n")));
    EXPECT_TRUE(messages.shown()[0].text.endsWith(QStringLiteral("\n\n无法更新数据，请检查输入的格式。")));
    EXPECT_EQ(messages.shown()[0].style, vbCritical);
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("-2147217900"));
}

TEST_F(RecordSetRoutines, ExecSQLReportsFailures)
{
    EXPECT_TRUE(ExecSQL(QStringLiteral("insert into log (dates) values('2026-01-01')")));
    EXPECT_FALSE(ExecSQL(QStringLiteral("insert into log (dates) values('2026-01-01')")));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].style, vbInformation);
    // An unescaped quote makes a bad statement and is reported, not half-applied.
    EXPECT_FALSE(ExecSQL(QStringLiteral("update log set g1='it's' where dates='2026-01-01'")));
    EXPECT_TRUE(ExecSQL(QStringLiteral("update log set g1='") + sqlText(QStringLiteral("it's")) +
                        QStringLiteral("' where dates='2026-01-01'")));
    EXPECT_EQ(OpenReadRS(QStringLiteral("select g1 from log"))->value(0).toString(), QStringLiteral("it's"));
}

TEST_F(RecordSetRoutines, StatusGoesToTheMainWindowOnly)
{
    showStatus(QStringLiteral("a:b"));
    EXPECT_TRUE(status.isEmpty());
    QObject window;
    modDB::setMainWindow(&window);
    showStatus(QStringLiteral("准备就绪: 共 3 条"), 1);
    EXPECT_EQ(status, QStringLiteral("1准备就绪： 共 3 条"));
    modDB::setMainWindow(nullptr);
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
