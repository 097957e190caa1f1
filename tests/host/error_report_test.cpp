#include "test_support.h"

#include "base/message.h"
#include "host/error_report.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger_schema.h"

#include <QTemporaryDir>

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
    // A real uniqueness failure: a second page for one day.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path);
    Connection ledger(path, {});
    const QString day = QStringLiteral("INSERT INTO log (dates) VALUES ('2026-01-01')");
    ledger.execute(day);
    std::optional<DbError> uniqueness;
    try {
        ledger.execute(day);
    } catch (const DbError &error) {
        uniqueness = error;
    }
    ASSERT_TRUE(uniqueness);
    EXPECT_EQ(uniqueness->kind(), ErrorKind::Constraint);
    const DbError missing(ErrorKind::Other, QStringLiteral("no such table: nowhere"));

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
    EXPECT_EQ(shown[1].title, QStringLiteral("数据违反了约束 The data breaks a constraint"));
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
    reportError(DbError(ErrorKind::DiskFull, QStringLiteral("/data/books.mdb")), ErrorRoad::BatchWrite);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("磁盘已满 Disk full: /data/books.mdb"));
    EXPECT_EQ(shown[0].style, vbCritical);
    EXPECT_EQ(shown[0].title, QStringLiteral("磁盘已满 Disk full"));
}

} // namespace
