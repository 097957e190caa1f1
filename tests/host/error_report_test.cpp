#include "test_support.h"

#include "base/message.h"
#include "base/status_line.h"
#include "host/error_report.h"
#include "store/db_error.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zambrel;
using namespace zambrel::base;
using host::ErrorRoad;
using host::reportError;
using store::DbError;
using store::ErrorKind;

namespace {

// Each road shows a failure its own way; the texts and titles are the
// program's. (The statement, batch write, menu and toolbar roads are also
// walked by the item commands' and the main window's tests.)
TEST(ErrorRoads, EachRoadShowsTheFailureItsOwnWay)
{
    testkit::ScriptedResponder messages;
    // How the ledger's failures get their kinds is the store's test.
    const DbError uniqueness(ErrorKind::Constraint,
                             QStringLiteral("row 1\rUNIQUE constraint failed: log.dates"));
    const DbError missing(ErrorKind::Other, QStringLiteral("no such table: nowhere"));

    reportError(missing, ErrorRoad::Query);
    reportError(uniqueness, ErrorRoad::BatchWrite);
    reportError(std::runtime_error("broken"), ErrorRoad::StartUp);
    reportError(DbError(ErrorKind::DiskFull, QStringLiteral("/data/books.mdb")), ErrorRoad::BatchWrite);
    QString status;
    int window = 0;
    setStatusWriter(&window, [&status](const QString &text, int) { status = text; });
    reportError(missing, ErrorRoad::ListQuery);
    releaseStatusWriter(&window);
    const auto &shown = messages.shown();
    ASSERT_EQ(shown.size(), 5u);
    const struct {
        QString text;
        MessageIcon icon;
        QString title;
    } expected[] = {
        {QStringLiteral("no such table: nowhere\n\n无法查询。"), MessageIcon::None, productName()},
        {QStringLiteral(
             "数据唯一性受到影响\nUNIQUE constraint failed: log.dates\n\n无法更新数据，请检查输入的格式。"),
         MessageIcon::Critical, QStringLiteral("数据违反了约束 The data breaks a constraint")},
        {QStringLiteral("broken"), MessageIcon::Critical, QStringLiteral("致命错误")},
        // A full disk is told as such, not as bad input.
        {QStringLiteral("磁盘已满 Disk full: /data/books.mdb"), MessageIcon::Critical,
         QStringLiteral("磁盘已满 Disk full")},
        {QStringLiteral("发生错误，错误信息为：") + DbError::kindText(ErrorKind::Other) +
             QStringLiteral("\n错误描述：no such table: nowhere"),
         MessageIcon::Critical, QStringLiteral("有错误发生")},
    };
    for (std::size_t at = 0; at < shown.size(); ++at) {
        EXPECT_EQ(shown[at].text, expected[at].text) << at;
        EXPECT_EQ(shown[at].icon, expected[at].icon) << at;
        EXPECT_EQ(shown[at].title, expected[at].title) << at;
    }
    EXPECT_EQ(status, QStringLiteral("发生错误：") + DbError::kindText(ErrorKind::Other) +
                          QStringLiteral("。错误描述：no such table： nowhere"));
}

// A user action's one catch reports a failure once: on the road a step
// gave it, else on the action's own; a step inside another keeps the inner
// road.
TEST(ErrorRoads, AnActionReportsAFailureOnceOnItsRoad)
{
    testkit::ScriptedResponder messages;
    const DbError broken(ErrorKind::Other, QStringLiteral("坏了 broken"));
    EXPECT_FALSE(host::runReported(ErrorRoad::MenuCommand, [] {}));
    EXPECT_TRUE(messages.shown().empty());

    // (An action's own road and one step inside it: the main window's and the
    // item commands' tests.)
    EXPECT_EQ(host::runReported(ErrorRoad::ToolbarCommand,
                                [&] {
                                    host::onRoad(ErrorRoad::BatchWrite, [&] {
                                        host::onRoad(ErrorRoad::Statement, [&] { throw broken; });
                                    });
                                }),
              ErrorRoad::Statement);
    ASSERT_EQ(messages.shown().size(), 1u) << "told once";
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Information) << "the statement road";
}

} // namespace
