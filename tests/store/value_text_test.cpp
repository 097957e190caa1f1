#include "store_test_support.h"
#include "test_support.h"

#include "base/message.h"
#include "host/error_report.h"
#include "store/db_error.h"
#include "store/record_set.h"
#include "store/value_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

using namespace zambrel;
using namespace zambrel::base;
using namespace zambrel::store;

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
    const auto &shown = messages.shown();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].text, QStringLiteral("no such table: nowhere\n\n无法查询。"));
    EXPECT_EQ(shown[0].style, vbOKOnly);
    EXPECT_EQ(shown[0].title, productName());
    EXPECT_TRUE(shown[1].text.startsWith(QStringLiteral("数据唯一性受到影响\n")));
    EXPECT_TRUE(shown[1].text.endsWith(QStringLiteral("\n\n无法更新数据，请检查输入的格式。")));
    EXPECT_EQ(shown[1].style, vbCritical);
    EXPECT_EQ(shown[1].title, QStringLiteral("错误号 Error -2147217900")) << "never a bare number";
    EXPECT_EQ(shown[2].text, missing.description());
    EXPECT_EQ(shown[2].style, vbInformation);
    EXPECT_EQ(shown[2].title, productName());
    EXPECT_EQ(shown[3].title, QStringLiteral("出错了"));
    EXPECT_EQ(shown[3].style, vbOKOnly);
    EXPECT_EQ(shown[4].title, productName());
    EXPECT_EQ(shown[5].text, QStringLiteral("broken"));
    EXPECT_EQ(shown[5].title, QStringLiteral("致命错误"));
    EXPECT_EQ(shown[5].style, vbCritical);

    // A full disk is told as such, not as bad input.
    messages.clear();
    reportError(DbError(kErrDiskFull, QStringLiteral("磁盘已满 Disk full: /data/books.mdb")),
                ErrorRoad::BatchWrite);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("磁盘已满 Disk full: /data/books.mdb"));
    EXPECT_EQ(shown[0].style, vbCritical);
    bool bareNumber = false;
    shown[0].title.toLongLong(&bareNumber);
    EXPECT_FALSE(bareNumber) << qPrintable(shown[0].title);
}

TEST(SqlText, SingleQuotesAreDoubled)
{
    EXPECT_EQ(sqlText(QStringLiteral("O'Neil's")), QStringLiteral("O''Neil''s"));
}

} // namespace
