// The item commands end to end: a real ledger file, the month logic with its
// four panels, and the real entry window, driven by keys and clicks while it
// is shown modally.
#include "../../input/ui/ui_typing.h"
#include "base/clock.h"
#include "base/number_format.h"
#include "host/error_report.h"
#include "input/ui/entry_dialog.h"
#include "ledger/commands/item_commands.h"
#include "ledger/commands/log_change.h"
#include "ledger/commands/ui/entry_window_dialog.h"
#include "ledger/month_view.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace zambrel;
using input::EntryField;
using ledger::ItemCommand;
using testkit::typeInto;
using F = input::EntryField;

namespace {

const QString kMonth = QStringLiteral("2026-12");

class RecordingHost : public ledger::MonthViewHost {
public:
    void setWindowCaption(const QString &text) override { caption = text; }
    void setItemSelected(bool selected) override { itemSelected = selected; }

    QString caption;
    bool itemSelected = false;
};

class ItemCommandsLedger : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(6, 10)); });
        view.setCurrentMonth(kMonth);
    }
    void TearDown() override { base::setClock({}); }

    // amounts: FirstPay,TotalCost,Debet,DebetPerMonth,InComePerMonth,PayPerMonth,willPayPerMonth
    qint64 insert(const QString &type, const QString &name, const QString &amounts, const QString &memo = {})
    {
        const QStringList values = amounts.split(u',');
        store::Item item;
        item.type = type;
        item.name = name;
        item.memo = memo;
        double *fields[] = {&item.downPayment,      &item.totalCost, &item.loanTotal,
                            &item.monthlyRepayment, &item.income,    &item.actualSpending,
                            &item.plannedSpending};
        for (int i = 0; i < values.size() && i < 7; ++i)
            *fields[i] = values[i].toDouble();
        return books.addItem(kMonth, item);
    }

    // One row of Asset as text, or empty when there is none.
    QString row(qint64 code, const char *columns = "types,name,memo,FirstPay,TotalCost,Debet,DebetPerMonth,"
                                                   "InComePerMonth,PayPerMonth,willPayPerMonth")
    {
        const store::ResultTable items = books.wholeTable(store::Ledger::Table::Items);
        for (const QVariantList &stored : items.rows) {
            if (stored.value(0).toLongLong() != code)
                continue;
            QStringList fields;
            for (const QString &column : QString::fromLatin1(columns).split(u',')) {
                const QVariant value = stored.value(int(items.columns.indexOf(column, 0)));
                fields << (value.typeId() == QMetaType::Double ? base::numberToText(value.toDouble())
                                                               : value.toString());
            }
            return fields.join(u'|');
        }
        return {};
    }

    int assetRows() { return int(books.wholeTable(store::Ledger::Table::Items).rows.size()); }

    qint64 newestCode()
    {
        qint64 newest = 0;
        for (const QVariantList &stored : books.wholeTable(store::Ledger::Table::Items).rows)
            newest = qMax(newest, stored.value(0).toLongLong());
        return newest;
    }

    std::vector<store::ItemType> typesNamed(const QString &name)
    {
        std::vector<store::ItemType> found;
        for (const store::ItemType &type : books.itemTypes()) {
            if (type.name == name)
                found.push_back(type);
        }
        return found;
    }

    input::EntryDialog &window() { return dialog.window(); }

    void type(EntryField field, const QString &text) { testkit::retype(window(), field, text); }

    // Runs a command; `act` works the dialog while it is shown modally. If
    // the dialog is still open afterwards it is cancelled, so a failed check
    // fails the test instead of hanging it.
    void runWith(ItemCommand command, const std::function<void(input::EntryDialog &)> &act)
    {
        runWith([this, command] { commands.run(command); }, act);
    }
    void runWith(const std::function<void()> &trigger, const std::function<void(input::EntryDialog &)> &act)
    {
        shownCaption.clear();
        QTimer::singleShot(0, &window(), [this, act] {
            shownCaption = window().windowTitle();
            act(window());
            if (window().isVisible()) {
                stuckHint = window().hintLabel->text();
                QTest::mouseClick(window().cancelButton, Qt::LeftButton);
            }
        });
        trigger();
    }
    void pressOK(input::EntryDialog &shown) { QTest::mouseClick(shown.okButton, Qt::LeftButton); }

    /// Run on the new ledger file before it is opened, when set.
    static inline std::function<void(const QString &)> prepareLedger;

    testkit::TempProgramFolder m_folder;
    QString path = [this] {
        const QString file = m_folder.file(QStringLiteral("books.mdb"));
        store::createLedger(file);
        if (prepareLedger)
            prepareLedger(file);
        return file;
    }();
    store::Ledger books{path, QString()};
    testkit::ScriptedResponder responder{base::MessageAnswer::No};
    RecordingHost host;
    ledger::MonthView view{books, &host};
    ledger::EntryWindowDialog dialog{nullptr, [this] { return view.typeNames(); }};
    ledger::ItemCommands commands{view, [this]() -> ledger::ItemDialog & { return dialog; }};
    QString shownCaption;
    QString stuckHint;
};

} // namespace

TEST(ChangeLog, LinesGoInFrontOnlyForChangedLoadedAmounts)
{
    const QDateTime when(QDate(2026, 12, 5), QTime(6, 10));
    struct Case {
        const char *tag;
        const char *text;
        const char *memo;
        const char *expected;
    };
    const Case cases[] = {
        {"1000", "1200", "旧", "【2026年12月05日 06:10】首付（成本）FP 1000 >1200\r\n旧"},
        {"1000", "1000.00", "", "【2026年12月05日 06:10】首付（成本）FP 1000 >1000.00\r\n"},
        {"1000", "1000", "旧", "旧"},
        {"", "1200", "旧", "旧"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ledger::memoWithChange(QString::fromUtf8(c.memo), QStringLiteral("首付（成本）FP"),
                                         QString::fromUtf8(c.tag), QString::fromUtf8(c.text), when),
                  QString::fromUtf8(c.expected))
            << c.tag << " -> " << c.text;
    }
    // Afternoon hours stay on the 24-hour clock.
    EXPECT_TRUE(ledger::memoWithChange({}, QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("2"),
                                       QDateTime(QDate(2026, 1, 2), QTime(18, 5)))
                    .startsWith(QStringLiteral("【2026年01月02日 18:05】")));
}

TEST_F(ItemCommandsLedger, AddWritesTheItemAndShowsItInItsPanels)
{
    view.reload();
    runWith(ItemCommand::Add, [this](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("房产"));
        type(F::Name, QStringLiteral("住宅"));
        type(F::DownPayment, QStringLiteral("300000"));
        type(F::TotalCost, QStringLiteral("1000000"));
        type(F::LoanTotal, QStringLiteral("700000"));
        type(F::MonthlyRepayment, QStringLiteral("4000+1000"));
        QTest::keyClick(shown.repaymentBox, Qt::Key_Return);
        pressOK(shown);
    });
    EXPECT_EQ(shownCaption, QStringLiteral("新活动 "));
    EXPECT_EQ(window().captionBar->title(), QStringLiteral("确认新活动New"));
    EXPECT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    EXPECT_TRUE(commands.isAdding());

    const qint64 code = newestCode();
    EXPECT_EQ(row(code), QStringLiteral("房产|住宅||300000|1000000|700000|5000|0|0|0"));
    EXPECT_EQ(row(code, "months"), kMonth);
    const QString key = QStringLiteral("K%1").arg(code);
    EXPECT_GE(view.assets().rowOfKey(key), 0);
    EXPECT_GE(view.liabilities().rowOfKey(key), 0);
    EXPECT_LT(view.income().rowOfKey(key), 0);
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 700000);
}

TEST_F(ItemCommandsLedger, AddWithANewTypeSavesTheTypeFirst)
{
    view.reload();
    const int typesBefore = int(view.types().size());
    runWith(ItemCommand::Add, [this](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("宠物"));
        QTest::mouseClick(shown.categoryBoxes[1], Qt::LeftButton);
        type(F::Name, QStringLiteral("猫粮"));
        type(F::PlannedSpending, QStringLiteral("200"));
        type(F::ActualSpending, QStringLiteral("180"));
        pressOK(shown);
    });
    ASSERT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    const std::vector<store::ItemType> saved = typesNamed(QStringLiteral("宠物"));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].kind, QStringLiteral("0100"));
    EXPECT_EQ(saved[0].index, typesBefore + 1);

    const qint64 code = newestCode();
    EXPECT_EQ(row(code), QStringLiteral("宠物|猫粮||0|0|0|0|0|180|200"));
    EXPECT_GE(view.expenditure().rowOfKey(QStringLiteral("K%1").arg(code)), 0);

    // The next add finds the type known: it is not added a second time.
    runWith(ItemCommand::Add, [this](input::EntryDialog &shown) {
        EXPECT_FALSE(shown.form().isNewType());
        type(F::Name, QStringLiteral("猫砂"));
        pressOK(shown);
    });
    EXPECT_EQ(typesNamed(QStringLiteral("宠物")).size(), 1u);
    EXPECT_EQ(assetRows(), 2);
    EXPECT_TRUE(responder.shown().empty());
}

TEST_F(ItemCommandsLedger, SelectingTitlesTheWindowAndHandsTheMemoToThePanel)
{
    const qint64 code = insert(QStringLiteral("工资"), QStringLiteral("月薪"),
                               QStringLiteral("0,0,0,0,8000,0,0"), QStringLiteral("  基本工资  "));
    view.reload();
    const QString key = QStringLiteral("K%1").arg(code);

    commands.panelClick(view.income(), key);
    EXPECT_EQ(host.caption, QStringLiteral("Zambrel：你不理财，财不理你 活动编号：") + key + u' ');
    EXPECT_TRUE(host.itemSelected);
    EXPECT_EQ(view.income().memo(), QStringLiteral("基本工资"));

    commands.panelClick(view.income(), QString()); // a group row
    EXPECT_FALSE(host.itemSelected);
    EXPECT_TRUE(view.income().memo().isEmpty());

    EXPECT_FALSE(commands.selectItem(QStringLiteral("K99999")));
}

TEST_F(ItemCommandsLedger, UpdateLogsEachChangedAmountNewestFirst)
{
    const qint64 code = insert(QStringLiteral("房产"), QStringLiteral("住宅"),
                               QStringLiteral("1000,5000,4000,100,0,0,0"), QStringLiteral("旧备注"));
    view.reload();
    runWith(
        [&] {
            ASSERT_TRUE(commands.selectItem(QStringLiteral("K%1").arg(code)));
            commands.run(ItemCommand::Update);
        },
        [](input::EntryDialog &shown) {
            EXPECT_EQ(shown.nameBox->text(), QStringLiteral("住宅"));
            QTest::mouseClick(shown.cancelButton, Qt::LeftButton);
        });
    EXPECT_EQ(shownCaption, QStringLiteral("修改 理财活动 编号：%1").arg(code));
    EXPECT_EQ(row(code), QStringLiteral("房产|住宅|旧备注|1000|5000|4000|100|0|0|0"));

    commands.selectItem(QStringLiteral("K%1").arg(code));
    runWith(ItemCommand::Update, [this](input::EntryDialog &shown) {
        EXPECT_EQ(shown.downPaymentBox->text(), QStringLiteral("1000"));
        EXPECT_EQ(shown.memoBox->toPlainText(), QStringLiteral("旧备注"));
        type(F::DownPayment, QStringLiteral("1200"));
        type(F::LoanTotal, QStringLiteral("3800"));
        pressOK(shown);
    });
    EXPECT_EQ(shownCaption, QStringLiteral("修改 理财活动 编号：%1").arg(code));
    EXPECT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    EXPECT_FALSE(commands.isAdding());
    EXPECT_EQ(row(code, "memo"),
              QStringLiteral("【2026年12月05日 06:10】贷款总额 DT 4000 >3800\r\n"
                             "【2026年12月05日 06:10】首付（成本）FP 1000 >1200\r\n旧备注"));
    EXPECT_EQ(row(code, "FirstPay,Debet"), QStringLiteral("1200|3800"));
    const QString key = QStringLiteral("K%1").arg(code);
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 3800);
    EXPECT_GE(view.assets().rowOfKey(key), 0);

    // The month records still stand on the item: a second change edits it.
    runWith(ItemCommand::Update, [this](input::EntryDialog &shown) {
        type(F::Name, QStringLiteral("老宅"));
        pressOK(shown);
    });
    EXPECT_EQ(row(code, "name"), QStringLiteral("老宅"));
}

TEST_F(ItemCommandsLedger, UpdateThatClearsTheLoanLeavesNoLiabilitiesRow)
{
    const qint64 code = insert(QStringLiteral("汽车"), QStringLiteral("轿车"),
                               QStringLiteral("50000,150000,100000,3000,0,0,0"));
    view.reload();
    const QString key = QStringLiteral("K%1").arg(code);
    ASSERT_GE(view.liabilities().rowOfKey(key), 0);
    commands.selectItem(key);
    runWith(ItemCommand::Update, [this](input::EntryDialog &shown) {
        type(F::DownPayment, QStringLiteral("150000"));
        type(F::LoanTotal, QStringLiteral("0"));
        pressOK(shown);
    });
    EXPECT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    EXPECT_EQ(row(code, "Debet,DebetPerMonth"), QStringLiteral("0|0"));
    EXPECT_LT(view.liabilities().rowOfKey(key), 0);
    EXPECT_GE(view.assets().rowOfKey(key), 0);
}

TEST_F(ItemCommandsLedger, UpdateThatChangesTheTypeReloadsTheMonth)
{
    const qint64 code =
        insert(QStringLiteral("奖金"), QStringLiteral("年终"), QStringLiteral("0,0,0,0,3000,0,0"));
    view.reload();
    const QString key = QStringLiteral("K%1").arg(code);
    ASSERT_GE(view.income().rowOfKey(key), 0);
    commands.selectItem(key);
    runWith(ItemCommand::Update, [this](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("日常开销"));
        type(F::ActualSpending, QStringLiteral("100"));
        type(F::PlannedSpending, QStringLiteral("120"));
        pressOK(shown);
    });
    EXPECT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    EXPECT_EQ(row(code, "types,PayPerMonth"), QStringLiteral("日常开销|100"));
    EXPECT_LT(view.income().rowOfKey(key), 0);
    EXPECT_GE(view.expenditure().rowOfKey(key), 0);
}

TEST_F(ItemCommandsLedger, DeleteRemovesTheItemEverywhereAndCancelKeepsIt)
{
    const qint64 code =
        insert(QStringLiteral("房产"), QStringLiteral("住宅"), QStringLiteral("300,1000,700,10,0,0,0"));
    const qint64 other =
        insert(QStringLiteral("工资"), QStringLiteral("月薪"), QStringLiteral("0,0,0,0,8000,0,0"));
    view.reload();
    const QString key = QStringLiteral("K%1").arg(code);

    commands.selectItem(key);
    runWith(ItemCommand::Delete,
            [](input::EntryDialog &shown) { QTest::mouseClick(shown.cancelButton, Qt::LeftButton); });
    EXPECT_EQ(assetRows(), 2);
    EXPECT_GE(view.assets().rowOfKey(key), 0);

    commands.selectItem(key);
    runWith(ItemCommand::Delete, [this](input::EntryDialog &shown) { pressOK(shown); });
    EXPECT_EQ(shownCaption, QStringLiteral("删除 理财活动 编号：%1").arg(code));
    EXPECT_TRUE(row(code).isEmpty());
    EXPECT_FALSE(row(other).isEmpty());
    EXPECT_LT(view.assets().rowOfKey(key), 0);
    EXPECT_LT(view.liabilities().rowOfKey(key), 0);
    EXPECT_FALSE(host.itemSelected);
    // The assessment follows the deletion.
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 0);

    // Nothing selected any more: change and delete do nothing at all.
    runWith(ItemCommand::Delete, [this](input::EntryDialog &shown) { pressOK(shown); });
    EXPECT_EQ(assetRows(), 1);
}

TEST_F(ItemCommandsLedger, QuotesAndChinesePunctuationRoundTripAndBadAmountsAreRefused)
{
    view.reload();
    const QString name = QStringLiteral("O'Brien的“书”，；'); drop table Asset; --");
    const QString memoFirst = QStringLiteral("它's【备注】：''");
    const QString memoSecond = QStringLiteral("第二行");
    runWith(ItemCommand::Add, [&](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("工资"));
        type(F::Name, name);
        shown.memoBox->setFocus();
        typeInto(shown.memoBox, memoFirst);
        QTest::keyClick(shown.memoBox, Qt::Key_Return);
        typeInto(shown.memoBox, memoSecond);
        // Text that is no amount is refused on OK, not written as 0.
        type(F::Income, QStringLiteral("abc"));
        pressOK(shown);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.hintLabel->text(), QStringLiteral("请输入每月收入数"));
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_TRUE(responder.shown()[0].text.startsWith(QStringLiteral("表达式：abc 错误。 ")));
        type(F::Income, QStringLiteral("0"));
        pressOK(shown);
    });
    EXPECT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    const qint64 code = newestCode();
    EXPECT_EQ(row(code, "name"), name);
    EXPECT_EQ(row(code, "memo"), memoFirst + QStringLiteral("\r\n") + memoSecond);
    EXPECT_EQ(row(code, "InComePerMonth"), QStringLiteral("0"));

    // Changing it again keeps the quotes intact.
    commands.selectItem(QStringLiteral("K%1").arg(code));
    runWith(ItemCommand::Update, [this](input::EntryDialog &shown) {
        type(F::Income, QStringLiteral("5000"));
        pressOK(shown);
    });
    EXPECT_EQ(row(code, "name"), name);
    EXPECT_TRUE(
        row(code, "memo").endsWith(QStringLiteral("每月收入PR 0 >5000\r\n它's【备注】：''\r\n第二行")));
}

// A salary's income typed and cancelled stays in the kept dialog; an asset
// added next cannot show it, and must not store it.
TEST_F(ItemCommandsLedger, AnAmountTheTypeDoesNotUseIsNotWritten)
{
    view.reload();
    runWith(ItemCommand::Add, [this](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("工资"));
        type(F::Income, QStringLiteral("3x4"));
        QTest::keyClick(shown.incomeBox, Qt::Key_Return);
        QTest::mouseClick(shown.cancelButton, Qt::LeftButton);
    });
    EXPECT_EQ(assetRows(), 0);

    runWith(ItemCommand::Add, [this](input::EntryDialog &shown) {
        type(F::Type, QStringLiteral("房产"));
        EXPECT_FALSE(shown.incomeBox->isEnabled());
        EXPECT_EQ(shown.incomeBox->text(), QStringLiteral("0"));
        type(F::Name, QStringLiteral("住宅"));
        type(F::DownPayment, QStringLiteral("300000"));
        type(F::TotalCost, QStringLiteral("300000"));
        type(F::LoanTotal, QStringLiteral("0"));
        pressOK(shown);
    });
    ASSERT_TRUE(stuckHint.isEmpty()) << stuckHint.toStdString();
    EXPECT_EQ(row(newestCode()), QStringLiteral("房产|住宅||300000|300000|0|0|0|0|0"));
    EXPECT_TRUE(responder.shown().empty());
}

namespace {

// The ledger refuses the type "坏类型" and items named "坏", as a full disk
// or a broken table would refuse a write while reads go on.
class ItemCommandsRefusedWrites : public ItemCommandsLedger {
protected:
    static void SetUpTestSuite()
    {
        prepareLedger = [](const QString &file) {
            sqlite3 *raw = nullptr;
            ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &raw), SQLITE_OK);
            const int rc =
                sqlite3_exec(raw,
                             "CREATE TRIGGER refuseType BEFORE INSERT ON AssetType "
                             "WHEN new.types = '坏类型' BEGIN SELECT RAISE(ABORT, 'type refused'); END;"
                             "CREATE TRIGGER refuseItem BEFORE INSERT ON Asset "
                             "WHEN new.name = '坏' BEGIN SELECT RAISE(ABORT, 'item refused'); END",
                             nullptr, nullptr, nullptr);
            sqlite3_close(raw);
            ASSERT_EQ(rc, SQLITE_OK);
        };
    }
    static void TearDownTestSuite() { prepareLedger = {}; }

    /// Runs an add of `name` of `typeName` through the one catch of a
    /// toolbar command; returns the road its failure was reported on.
    std::optional<host::ErrorRoad> add(const QString &typeName, const QString &name)
    {
        std::optional<host::ErrorRoad> road;
        runWith(
            [&] {
                road = host::runReported(host::ErrorRoad::ToolbarCommand,
                                         [&] { commands.run(ItemCommand::Add); });
            },
            [&](input::EntryDialog &shown) {
                type(F::Type, typeName);
                if (shown.form().isNewType())
                    QTest::mouseClick(shown.categoryBoxes[0], Qt::LeftButton);
                type(F::Name, name);
                type(F::Income, QStringLiteral("100"));
                pressOK(shown);
            });
        return road;
    }
};

} // namespace

// A refused write is told once, on the statement's road, and leaves the
// panels as they were.
TEST_F(ItemCommandsRefusedWrites, ARefusedItemIsToldOnTheStatementsRoad)
{
    view.reload();
    const int incomeRows = view.income().rowCount();
    EXPECT_EQ(add(QStringLiteral("工资"), QStringLiteral("坏")), host::ErrorRoad::Statement);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.contains(QStringLiteral("item refused")));
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Information);
    EXPECT_EQ(assetRows(), 0);
    EXPECT_EQ(view.income().rowCount(), incomeRows);

    EXPECT_FALSE(add(QStringLiteral("工资"), QStringLiteral("好")));
    EXPECT_EQ(assetRows(), 1);
}

// A new type the ledger refuses is told on the batch write's road, and the
// item is not written: with its type missing from the type table it would
// vanish from the month once the month is read again.
TEST_F(ItemCommandsRefusedWrites, AnItemWhoseNewTypeIsRefusedIsNotWritten)
{
    view.reload();
    EXPECT_EQ(add(QStringLiteral("坏类型"), QStringLiteral("奖金")), host::ErrorRoad::BatchWrite);
    ASSERT_EQ(responder.shown().size(), 1u) << "told once";
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Critical);
    EXPECT_TRUE(responder.shown()[0].text.contains(QStringLiteral("type refused")));
    EXPECT_TRUE(typesNamed(QStringLiteral("坏类型")).empty());
    EXPECT_EQ(assetRows(), 0);
}
