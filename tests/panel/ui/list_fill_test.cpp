#include "test_support.h"

#include "base/status_line.h"
#include "panel/ui/list_fill.h"
#include "panel/ui/open_file_dialog.h"
#include "store/db_error.h"

#include <QGuiApplication>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

// A stand-in main window that keeps what the status bar was given.
struct StatusRecorder {
    StatusRecorder()
    {
        base::setStatusWriter(this, [this](const QString &text, int panel) {
            shown.push_back({panel, text});
        });
    }
    ~StatusRecorder() { base::releaseStatusWriter(this); }
    std::vector<std::pair<int, QString>> shown;
};

QStringList headers(const QTreeWidget &list)
{
    QStringList captions;
    for (int column = 0; column < list.columnCount(); ++column)
        captions << list.headerItem()->text(column);
    return captions;
}

} // namespace

TEST(ListFill, RowsNullsAndEmptyResults)
{
    testkit::ScriptedResponder responder;
    StatusRecorder status;
    QTreeWidget list;
    list.resize(500, 300);
    list.show();
    QString header;
    store::ResultTable items{{QStringLiteral("months"), QStringLiteral("name"), QStringLiteral("memo")},
                             {{QVariant(), QStringLiteral("没有月份"), QVariant()}}};
    for (int row = 1; row < 17; ++row)
        items.rows.push_back(
            {QStringLiteral("2026-04"), QStringLiteral("i%1").arg(row), QStringLiteral("m")});
    store::fillList(&list, items, false, header);
    EXPECT_EQ(header, QStringLiteral("months,name,memo"));
    EXPECT_EQ(list.topLevelItemCount(), 17);
    // A null month stands as "NULL"; a null further on is an empty cell.
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("NULL"));
    EXPECT_EQ(list.topLevelItem(0)->text(1), QStringLiteral("没有月份"));
    EXPECT_EQ(list.topLevelItem(0)->text(2), QString());
    EXPECT_TRUE(list.isVisible()); // shown again after filling
    ASSERT_FALSE(status.shown.empty());
    EXPECT_EQ(status.shown.back().second, QStringLiteral("准备就绪。共找到 17 条记录。"));
    EXPECT_EQ(status.shown.front().second, QStringLiteral("已完成 6%")); // 1 of 17, rounded

    // A long list tells each percent once, in order, up to the whole.
    store::ResultTable months{{QStringLiteral("months")}, {}};
    for (int row = 0; row < 600; ++row)
        months.rows.push_back({QStringLiteral("%1-01").arg(1500 + row)});
    status.shown.clear();
    header = QStringLiteral("月份");
    store::fillList(&list, months, true, header);
    EXPECT_EQ(list.topLevelItemCount(), 600);
    QStringList expected;
    for (int percent = 0; percent <= 100; ++percent)
        expected << QStringLiteral("已完成 %1%").arg(percent);
    expected << QStringLiteral("准备就绪。共找到 600 条记录。");
    QStringList told;
    for (const auto &[panel, text] : status.shown)
        told << text;
    EXPECT_EQ(told, expected);

    const store::ResultTable none{{QStringLiteral("months")}, {}};
    status.shown.clear();
    header = QStringLiteral("月份");
    store::fillList(&list, none, true, header);
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("没有记录。"));
    EXPECT_EQ(headers(list), QStringList{QStringLiteral("月份")});
    EXPECT_EQ(status.shown.back().second, QStringLiteral("准备就绪。共找到 0 条记录。"));

    // The rows are read with the busy pointer up; what the read throws
    // passes through.
    EXPECT_EQ(store::readShowingBusy([&none] { return none; }).columns, none.columns);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_THROW(store::readShowingBusy([]() -> store::ResultTable {
                     throw store::DbError(store::ErrorKind::Failed, QStringLiteral("no such table"));
                 }),
                 store::DbError);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "put back on every road out";
    EXPECT_TRUE(responder.shown().empty());
}
