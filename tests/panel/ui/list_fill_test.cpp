#include "sample_ledger.h"
#include "test_support.h"

#include "base/app_paths.h"
#include "base/status_line.h"
#include "panel/ui/list_fill.h"
#include "panel/ui/open_file_dialog.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QGuiApplication>
#include <QTreeWidget>

#include <algorithm>

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

TEST(ListHeader, CaptionsAndWidthsFollowTheHeaderText)
{
    struct Case {
        QString header;
        QStringList captions;
    };
    const Case cases[] = {
        {QStringLiteral("月份"), {QStringLiteral("月份")}},
        {QStringLiteral("   "), {}},
        {QStringLiteral(""), {}},
        {QStringLiteral("a|b,c"), {"a", "b", "c"}},
        {QStringLiteral(" 项  目,金 额 "), {QStringLiteral("项  目"), QStringLiteral("金 额")}},
    };
    for (const Case &c : cases) {
        QTreeWidget list;
        list.resize(400, 200);
        QString header = c.header;
        store::setListHeader(&list, header);
        EXPECT_EQ(headers(list), c.captions) << c.header.toStdString();
        EXPECT_FALSE(header.contains(QLatin1Char('|')));
    }

    // "ab,c" in a 6000-twip list: 2/4 and 1/4 of 1.13 x 6000, less 20.
    EXPECT_EQ(store::headerWidthsTwips({"ab", "c"}, 6000), (std::vector<int>{3370, 1675}));
    QStringList twelve;
    for (int column = 0; column < 12; ++column)
        twelve << QStringLiteral("c%1").arg(column);
    EXPECT_TRUE(store::headerWidthsTwips(twelve, 6000).empty());
    EXPECT_EQ(store::headerWidthsTwips({"a", "bbbbbbbbbb"}, 100).front(), 0); // never negative
}

TEST(ListFill, RowsNullsAndEmptyResults)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    {
        store::Connection raw(base::defaultLedgerPath(), {});
        raw.execute(
            QStringLiteral("insert into Asset (months,types,[name]) values (null,'工资','没有月份')"));
    }
    const std::shared_ptr<store::Ledger> ledger = testkit::openDefaultLedger();
    StatusRecorder status;

    QTreeWidget list;
    list.resize(500, 300);
    list.show();
    QString header;
    const auto items = [&ledger] {
        // The newest item first, as "order by code desc" gives them.
        store::ResultTable table = ledger->wholeTable(store::Ledger::Table::Items);
        std::sort(table.rows.begin(), table.rows.end(), [](const QVariantList &a, const QVariantList &b) {
            return a.value(0).toLongLong() > b.value(0).toLongLong();
        });
        store::ResultTable shown{{QStringLiteral("months"), QStringLiteral("name"), QStringLiteral("memo")},
                                 {}};
        for (const QVariantList &row : table.rows)
            shown.rows.push_back({row.value(1), row.value(3), row.value(4)});
        return shown;
    };
    store::fillList(&list, items(), false, header);
    EXPECT_EQ(header, QStringLiteral("months,name,memo"));
    EXPECT_EQ(list.topLevelItemCount(), 17);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("NULL"));
    EXPECT_EQ(list.topLevelItem(0)->text(1), QStringLiteral("没有月份"));
    EXPECT_EQ(list.topLevelItem(0)->text(2), QString()); // a null further on is an empty cell
    EXPECT_EQ(list.toolTip(), QStringLiteral("双击可以查看明细。"));
    EXPECT_TRUE(list.isVisible()); // shown again after filling
    ASSERT_FALSE(status.shown.empty());
    EXPECT_EQ(status.shown.back().second, QStringLiteral("准备就绪。共找到 17 条记录。"));
    EXPECT_EQ(status.shown.front().second, QStringLiteral("已完成 6%")); // 1 of 17, rounded

    // The month picker's list: the null month stands as "NULL".
    header = QStringLiteral("月份");
    store::fillList(&list, ledger->allMonthsTable(), true, header);
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("2026-04"));
    EXPECT_EQ(list.topLevelItem(1)->text(0), QStringLiteral("NULL"));

    const store::ResultTable none{{QStringLiteral("months")}, {}};
    status.shown.clear();
    store::fillList(&list, none, true, header);
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("没有记录。"));
    EXPECT_EQ(headers(list), QStringList{QStringLiteral("月份")});
    EXPECT_EQ(status.shown.back().second, QStringLiteral("准备就绪。共找到 0 条记录。"));

    store::FillListOptions options;
    options.message = QStringLiteral("没有找到");
    store::fillList(&list, none, true, header, options);
    EXPECT_EQ(headers(list), QStringList{QStringLiteral("没有找到")});

    // The rows are read with the busy pointer up; what the read throws
    // passes through.
    EXPECT_EQ(store::readShowingBusy([&ledger] { return ledger->allMonthsTable(); }).rows.size(), 2u);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_THROW(store::readShowingBusy([]() -> store::ResultTable {
                     throw store::DbError(store::ErrorKind::Failed, QStringLiteral("no such table"));
                 }),
                 store::DbError);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "put back on every road out";
    EXPECT_TRUE(responder.shown().empty());
}

TEST(OpenFileDialog, LedgerFilterReadsAsOneQtFilter)
{
    EXPECT_EQ(store::qtFileFilter(store::ledgerFileFilter()), QStringLiteral("账本文件(*.mdb)"));
    const QString pairs = QStringLiteral("Skins") + QChar(u'\0') + QStringLiteral("*.jss") + QChar(u'\0') +
                          QStringLiteral("All") + QChar(u'\0') + QStringLiteral("*") + QChar(u'\0');
    EXPECT_EQ(store::qtFileFilter(pairs), QStringLiteral("Skins (*.jss);;All (*)"));
}
