// The item commands on a real ledger file and the month logic with its four
// panels. The entry dialog is its real form without a window: each test
// works the form while the dialog is "shown" (the window itself has its own
// tests, and the main window's road runs it for real).
#include "base/clock.h"
#include "base/number_format.h"
#include "host/error_report.h"
#include "item_fixtures.h"
#include "ledger/commands/item_commands.h"
#include "ledger/commands/item_dialog.h"
#include "ledger/commands/log_change.h"
#include "ledger/month_view.h"
#include "raw_ledger_writes.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <optional>

using namespace zambrel;
using ledger::ItemCommand;
using F = input::EntryField;

namespace {

const QString kMonth = QStringLiteral("2026-12");

class RecordingHost : public ledger::MonthViewHost {
public:
    void setItemSelected(bool selected) override { itemSelected = selected; }
    bool itemSelected = false;
};

// The dialog as the commands see it: `act` works the form while it is shown;
// OK is the form's own confirm(), so its checks run as in the window.
class ScriptedDialog : public ledger::ItemDialog {
public:
    input::EntryForm &form() override { return m_form; }
    void setTypeLookup(input::TypeLookup lookup) override { m_form.setTypeLookup(std::move(lookup)); }
    void setCaptions(const QString &, const QString &) override {}
    bool showModal() override
    {
        ++showings;
        if (act)
            act(m_form);
        act = {};
        return m_form.isConfirmed();
    }

    std::function<void(input::EntryForm &)> act;
    int showings = 0;

private:
    input::EntryForm m_form;
};

class ItemCommandsLedger : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(6, 10)); });
        view.setCurrentMonth(kMonth);
    }
    void TearDown() override { base::setClock({}); }

    // Amounts as testkit::itemOf() takes them.
    qint64 insert(const char *type, const char *name, const std::vector<double> &amounts,
                  const char *memo = "")
    {
        return books.addItem(kMonth, testkit::itemOf(QString::fromUtf8(type), QString::fromUtf8(name),
                                                     amounts, QString::fromUtf8(memo)));
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

    std::vector<store::ItemType> typesNamed(const char *name)
    {
        std::vector<store::ItemType> found = books.itemTypes();
        std::erase_if(found,
                      [name](const store::ItemType &type) { return type.name != QString::fromUtf8(name); });
        return found;
    }

    // Runs a command while `act` works the form; returns the hint OK left
    // when the form stayed unconfirmed (act ending without OK is Cancel).
    QString runWith(ItemCommand command, std::function<void(input::EntryForm &)> act)
    {
        QString stuck;
        dialog.act = [&stuck, act = std::move(act)](input::EntryForm &form) {
            act(form);
            stuck = form.isConfirmed() ? QString() : form.hint();
        };
        commands.run(command);
        dialog.act = {};
        return stuck;
    }

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
    ScriptedDialog dialog;
    ledger::ItemCommands commands{view, [this]() -> ledger::ItemDialog & { return dialog; }};
};

} // namespace

// Which amounts get a line, newest first, is the change road's test below;
// here the text compared is the one typed, and hours run to 24.
TEST(ChangeLog, TheTypedTextCountsAndHoursRunTo24)
{
    EXPECT_EQ(ledger::memoWithChange({}, QStringLiteral("首付（成本）FP"), QStringLiteral("1000"),
                                     QStringLiteral("1000.00"), QDateTime(QDate(2026, 1, 2), QTime(18, 5))),
              QStringLiteral("【2026年01月02日 18:05】首付（成本）FP 1000 >1000.00\r\n"));
}

// A salary's income typed and cancelled first stays in the kept form; the
// house added next cannot show it, and must not store it.
TEST_F(ItemCommandsLedger, AddWritesTheItemAndShowsItInItsPanels)
{
    view.reload();
    runWith(ItemCommand::Add, [](input::EntryForm &form) {
        form.setText(F::Type, QStringLiteral("工资"));
        form.setText(F::Income, QStringLiteral("3x4"));
        form.pressEnter(F::Income);
    });
    EXPECT_EQ(assetRows(), 0);

    const QString stuck = runWith(ItemCommand::Add, [](input::EntryForm &form) {
        form.setText(F::Type, QStringLiteral("房产"));
        EXPECT_FALSE(form.isEnabled(F::Income));
        form.setText(F::Name, QStringLiteral("住宅"));
        form.setText(F::DownPayment, QStringLiteral("300000"));
        form.setText(F::TotalCost, QStringLiteral("1000000"));
        form.setText(F::LoanTotal, QStringLiteral("700000"));
        form.setText(F::MonthlyRepayment, QStringLiteral("4000+1000"));
        form.pressEnter(F::MonthlyRepayment);
        form.confirm();
    });
    EXPECT_TRUE(stuck.isEmpty()) << stuck.toStdString();
    EXPECT_TRUE(responder.shown().empty());

    const qint64 code = newestCode();
    EXPECT_EQ(row(code), QStringLiteral("房产|住宅||300000|1000000|700000|5000|0|0|0"));
    const QString key = QStringLiteral("K%1").arg(code);
    EXPECT_GE(view.assets().rowOfKey(key), 0);
    EXPECT_GE(view.liabilities().rowOfKey(key), 0);
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 700000);
}

TEST_F(ItemCommandsLedger, AddWithANewTypeSavesTheTypeFirst)
{
    view.reload();
    const QString stuck = runWith(ItemCommand::Add, [](input::EntryForm &form) {
        form.setText(F::Type, QStringLiteral("宠物"));
        form.clickCategory(1, true);
        form.setText(F::Name, QStringLiteral("猫粮"));
        form.setText(F::PlannedSpending, QStringLiteral("200"));
        form.setText(F::ActualSpending, QStringLiteral("180"));
        form.confirm();
    });
    ASSERT_TRUE(stuck.isEmpty()) << stuck.toStdString();
    const std::vector<store::ItemType> saved = typesNamed("宠物");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].kind, QStringLiteral("0100"));

    const qint64 code = newestCode();
    EXPECT_EQ(row(code), QStringLiteral("宠物|猫粮||0|0|0|0|0|180|200"));
    EXPECT_GE(view.expenditure().rowOfKey(QStringLiteral("K%1").arg(code)), 0);

    // The next add finds the type known: it is not added a second time.
    runWith(ItemCommand::Add, [](input::EntryForm &form) {
        EXPECT_FALSE(form.isNewType());
        form.setText(F::Name, QStringLiteral("猫砂"));
        form.confirm();
    });
    EXPECT_EQ(typesNamed("宠物").size(), 1u);
    EXPECT_EQ(assetRows(), 2);
    EXPECT_TRUE(responder.shown().empty());
}

TEST_F(ItemCommandsLedger, UpdateLogsEachChangedAmountNewestFirst)
{
    const qint64 code = insert("房产", "住宅", {0, 0, 0, 1000, 5000, 4000, 100}, "旧备注");
    view.reload();
    ASSERT_TRUE(commands.selectItem(QStringLiteral("K%1").arg(code)));
    runWith(ItemCommand::Update,
            [](input::EntryForm &form) { EXPECT_EQ(form.text(F::Name), QStringLiteral("住宅")); });
    EXPECT_EQ(row(code), QStringLiteral("房产|住宅|旧备注|1000|5000|4000|100|0|0|0")) << "cancelled";

    const QString stuck = runWith(ItemCommand::Update, [](input::EntryForm &form) {
        EXPECT_EQ(form.text(F::DownPayment), QStringLiteral("1000"));
        EXPECT_EQ(form.text(F::Memo), QStringLiteral("旧备注"));
        form.setText(F::DownPayment, QStringLiteral("1200"));
        form.setText(F::LoanTotal, QStringLiteral("3800"));
        form.confirm();
    });
    EXPECT_TRUE(stuck.isEmpty()) << stuck.toStdString();
    EXPECT_EQ(row(code, "memo"),
              QStringLiteral("【2026年12月05日 06:10】贷款总额 DT 4000 >3800\r\n"
                             "【2026年12月05日 06:10】首付（成本）FP 1000 >1200\r\n旧备注"));
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 3800);

    // The month records still stand on the item: a second change edits it.
    runWith(ItemCommand::Update, [](input::EntryForm &form) {
        form.setText(F::Name, QStringLiteral("老宅"));
        form.confirm();
    });
    EXPECT_EQ(row(code, "name"), QStringLiteral("老宅"));
}

// Only a loan above nothing shows among the liabilities, after a change as
// after a reload.
TEST_F(ItemCommandsLedger, ALoanChangedToNothingOrLessLeavesTheLiabilities)
{
    const qint64 code = insert("房产", "住宅", {0, 0, 0, 1000, 5000, 4000, 100});
    const QString key = QStringLiteral("K%1").arg(code);
    for (const char *loan : {"-4000", "0", "4000"}) {
        view.reload();
        ASSERT_TRUE(commands.selectItem(key));
        const QString stuck = runWith(ItemCommand::Update, [loan](input::EntryForm &form) {
            form.setText(F::LoanTotal, QString::fromLatin1(loan));
            if (form.isEnabled(F::MonthlyRepayment))
                form.setText(F::MonthlyRepayment, QStringLiteral("100"));
            form.confirm();
        });
        ASSERT_TRUE(stuck.isEmpty()) << loan << ": " << stuck.toStdString();
        const bool shown = view.liabilities().rowOfKey(key) >= 0;
        const double total = view.liabilities().lastTotal();
        view.reload();
        EXPECT_EQ(shown, view.liabilities().rowOfKey(key) >= 0) << loan;
        EXPECT_DOUBLE_EQ(total, view.liabilities().lastTotal()) << loan;
    }
    EXPECT_GE(view.liabilities().rowOfKey(key), 0);
}

TEST_F(ItemCommandsLedger, DeleteRemovesTheItemEverywhereAndCancelKeepsIt)
{
    const qint64 code = insert("房产", "住宅", {0, 0, 0, 300, 1000, 700, 10});
    const qint64 other = insert("工资", "月薪", {8000});
    view.reload();
    const QString key = QStringLiteral("K%1").arg(code);

    commands.selectItem(key);
    runWith(ItemCommand::Delete, [](input::EntryForm &) {});
    EXPECT_EQ(assetRows(), 2);
    EXPECT_GE(view.assets().rowOfKey(key), 0);

    runWith(ItemCommand::Delete, [](input::EntryForm &form) { form.confirm(); });
    EXPECT_TRUE(row(code).isEmpty());
    EXPECT_FALSE(row(other).isEmpty());
    EXPECT_LT(view.assets().rowOfKey(key), 0);
    EXPECT_FALSE(host.itemSelected);
    // The assessment follows the deletion.
    EXPECT_DOUBLE_EQ(view.liabilities().lastTotal(), 0);

    // Nothing selected any more: change and delete do not even show the dialog.
    const int showings = dialog.showings;
    runWith(ItemCommand::Delete, [](input::EntryForm &form) { form.confirm(); });
    runWith(ItemCommand::Update, [](input::EntryForm &form) { form.confirm(); });
    EXPECT_EQ(dialog.showings, showings);
    EXPECT_EQ(assetRows(), 1);
}

namespace {

// The ledger refuses the type "坏类型" and items named "坏", as a full disk
// or a broken table would refuse a write while reads go on.
class ItemCommandsRefusedWrites : public ItemCommandsLedger {
protected:
    static void SetUpTestSuite()
    {
        prepareLedger = [](const QString &file) {
            testkit::runRaw(file, "CREATE TRIGGER refuseType BEFORE INSERT ON AssetType "
                                  "WHEN new.types = '坏类型' BEGIN SELECT RAISE(ABORT, 'type refused'); END;"
                                  "CREATE TRIGGER refuseItem BEFORE INSERT ON Asset "
                                  "WHEN new.name = '坏' BEGIN SELECT RAISE(ABORT, 'item refused'); END");
        };
    }
    static void TearDownTestSuite() { prepareLedger = {}; }

    /// Runs an add of `name` of `typeName` through the one catch of a
    /// toolbar command; returns the road its failure was reported on.
    std::optional<host::ErrorRoad> add(const QString &typeName, const QString &name)
    {
        dialog.act = [&](input::EntryForm &form) {
            form.setText(F::Type, typeName);
            if (form.isNewType())
                form.clickCategory(0, true);
            form.setText(F::Name, name);
            form.setText(F::Income, QStringLiteral("100"));
            form.confirm();
        };
        return host::runReported(host::ErrorRoad::ToolbarCommand, [&] { commands.run(ItemCommand::Add); });
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
    EXPECT_TRUE(typesNamed("坏类型").empty());
    EXPECT_EQ(assetRows(), 0);
}
