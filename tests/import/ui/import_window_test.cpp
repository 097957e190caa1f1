// The import command through the real main window: the bill chosen, its
// rows shown new, duplicate or skipped, an item chosen and remembered, the
// import written as one step and the month shown; a file that is no bill.
#include "bill_files.h"
#include "ledger_fixture.h"
#include "sample_ledger.h"
#include "widget_helpers.h"

#include "app/feature_list.h"
#include "base/clock.h"
#include "import/bill_reader.h"
#include "import/books/bill_import.h"
#include "import/books/ui/bank_mapping_window.h"
#include "import/books/ui/import_window.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/flat_button.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

using namespace zambrel;

namespace {

/// A WeChat Pay bill (CSV, UTF-8): a payment, a failed payment, an income
/// and a row without an amount, in May 2026.
QString writeBill(const QString &path)
{
    return testkit::writeFile(
        path,
        bills::fixtures::weChatCsv(
            {QStringLiteral(
                 "2026-05-02 08:00:00,商户消费,菜市场,蔬菜,支出,¥12.50,零钱,支付成功,4200001,m1,/"),
             QStringLiteral("2026-05-03 08:00:00,商户消费,书店,杂志,支出,¥9.00,零钱,支付失败,4200002,m2,/"),
             QStringLiteral("2026-05-04 08:00:00,转账,朋友,还钱,收入,¥100.00,零钱,已收钱,4200003,m3,/"),
             QStringLiteral("2026-05-05 08:00:00,商户消费,书店,杂志,支出,,零钱,支付成功,4200004,m4,/")}));
}

class ImportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Today in the newest month: no month-end question on opening.
        base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(10, 0)); });
        store::ensureDefaultLedger();
        testkit::writeSampleMonth(QStringLiteral("2026-04"));
        testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.1);
        window = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
        window->load();
        app::registerFeatures(*window);
        window->show();
        window->showMonth(QStringLiteral("2026-04"));
    }
    void TearDown() override
    {
        store::setOpenFileResponder({});
        window->setSwitchingLedger(true);
        window->close();
        window.reset();
        base::setClock({});
    }

    bills::ImportWindow *openImport(const QString &file)
    {
        store::setOpenFileResponder([file](QWidget *, const QString &, const QString &) { return file; });
        window->command(QStringLiteral("importBill"))->trigger();
        auto *shown = window->findChild<bills::ImportWindow *>();
        if (shown)
            shown->browse();
        return shown;
    }

    double groceries() const
    {
        return testkit::itemIn(window->ledger(), QStringLiteral("2026-05"), QStringLiteral("超市买菜"))
            .actualSpending;
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    std::unique_ptr<ledger::MainWindow> window;
};

TEST_F(ImportCommand, RowsArePreviewedPlacedAndImportedAsOneStep)
{
    const QString bill = writeBill(folder.file(QStringLiteral("wechat.csv")));
    bills::ImportWindow *import = openImport(bill);
    ASSERT_NE(import, nullptr);
    QTreeWidget *rows = import->transactionList;
    // Each row's amount, month, item and state, ticked (x) or not, greyed (g) or not.
    const QBrush greyed = rows->palette().brush(QPalette::Disabled, QPalette::Text);
    QStringList listed;
    for (int at = 0; at < rows->topLevelItemCount(); ++at) {
        const QTreeWidgetItem *row = rows->topLevelItem(at);
        listed << QStringList{row->text(3), row->text(4), row->text(5), row->text(6)}.join(u'|') +
                      (row->checkState(0) == Qt::Checked ? u'x' : u' ') +
                      (row->foreground(1) == greyed ? u'g' : u' ');
    }
    EXPECT_EQ(listed, (QStringList{QStringLiteral("-12.50|2026-05|未归类 Unassigned|新 Newx "),
                                   QStringLiteral("-9.00|2026-05|未归类 Unassigned|跳过 Skipped g"),
                                   QStringLiteral("+100.00|2026-05|未归类 Unassigned|新 Newx ")}));
    EXPECT_EQ(rows->topLevelItem(0)->text(1), QStringLiteral("菜市场"));
    EXPECT_TRUE(import->problemLabel->text().contains(QStringLiteral("Line 21 not read")))
        << import->problemLabel->text().toStdString();

    // The first row goes to the groceries, and is remembered.
    const double before = groceries();
    rows->setCurrentItem(rows->topLevelItem(0));
    const int choice = import->itemBox->findText(QStringLiteral("日常开销 / 超市买菜"));
    ASSERT_GE(choice, 0);
    Q_EMIT import->itemBox->activated(choice);
    EXPECT_EQ(rows->topLevelItem(0)->text(5), QStringLiteral("日常开销 / 超市买菜"));
    ASSERT_TRUE(import->rememberButton->isEnabled());
    import->rememberButton->click();
    ASSERT_EQ(import->summaryList->topLevelItemCount(), 2);
    EXPECT_EQ(import->summaryList->topLevelItem(0)->text(1), QStringLiteral("日常开销 / 超市买菜"));
    EXPECT_EQ(import->summaryList->topLevelItem(0)->text(2), QStringLiteral("12.50"));
    EXPECT_EQ(import->summaryList->topLevelItem(1)->text(3), QStringLiteral("100.00"));

    // Unticking the income leaves it out of the summary; ticking it again brings it back.
    rows->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(import->summaryList->topLevelItemCount(), 1);
    rows->topLevelItem(2)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(import->summaryList->topLevelItemCount(), 2);

    const std::size_t steps = window->ledger().historySteps().size();
    import->importButton->click();
    for (const base::MessageRequest &shown : responder.shown())
        ADD_FAILURE() << "shown: " << shown.text.toStdString();
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-05")) << "the month imported into is shown";
    EXPECT_DOUBLE_EQ(groceries(), before + 12.5);
    ASSERT_EQ(window->ledger().historySteps().size(), steps + 1);
    EXPECT_EQ(window->ledger().historySteps(1).front().action, store::StepAction::ImportBill);
    EXPECT_EQ(window->ledger().importRules().size(), 1u) << "the remembered rule is kept with the import";

    // The same bill again: nothing new (the command line's and the preview's
    // tests), and placed by the remembered rule.
    ASSERT_EQ(rows->topLevelItemCount(), 3);
    EXPECT_EQ(rows->topLevelItem(0)->text(5), QStringLiteral("日常开销 / 超市买菜")) << "placed by the rule";
    EXPECT_FALSE(import->importButton->isEnabled());

    // The import undone in the main window: back in the import window, its
    // rows are new again and can be imported once more.
    window->command(QStringLiteral("undo"))->trigger();
    EXPECT_DOUBLE_EQ(groceries(), before);
    QEvent activated(QEvent::WindowActivate);
    QApplication::sendEvent(import, &activated);
    EXPECT_EQ(rows->topLevelItem(0)->text(6), QStringLiteral("新 New"));
    EXPECT_EQ(rows->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_TRUE(import->importButton->isEnabled());
}

// A rule remembered on a bill with nothing left to import is not lost: Import
// writes it alone, as a step of its own.
TEST_F(ImportCommand, ARuleRememberedWithNothingToImportIsWrittenByImportAlone)
{
    const QString bill = writeBill(folder.file(QStringLiteral("wechat.csv")));
    bills::ImportWindow *import = openImport(bill);
    ASSERT_NE(import, nullptr);
    import->importButton->click();
    QTreeWidget *rows = import->transactionList;
    ASSERT_EQ(rows->topLevelItemCount(), 3);
    ASSERT_FALSE(import->importButton->isEnabled()) << "every row imported before";

    rows->setCurrentItem(rows->topLevelItem(0));
    const int choice = import->itemBox->findText(QStringLiteral("日常开销 / 超市买菜"));
    ASSERT_GE(choice, 0);
    Q_EMIT import->itemBox->activated(choice);
    import->rememberButton->click();
    ASSERT_TRUE(import->importButton->isEnabled());
    const double before = groceries();
    const std::size_t steps = window->ledger().historySteps().size();
    import->importButton->click();
    for (const base::MessageRequest &shown : responder.shown())
        ADD_FAILURE() << "shown: " << shown.text.toStdString();
    EXPECT_EQ(window->ledger().importRules().size(), 1u);
    EXPECT_DOUBLE_EQ(groceries(), before) << "no transaction written";
    ASSERT_EQ(window->ledger().historySteps().size(), steps + 1);
    EXPECT_EQ(window->ledger().historySteps(1).front().action, store::StepAction::ImportRules);
    EXPECT_EQ(window->statusPanelText(1), QStringLiteral("已记住规则 Rules remembered"));
    EXPECT_FALSE(import->importButton->isEnabled()) << "nothing more to write";
}

TEST_F(ImportCommand, AFileThatIsNoBillIsNamedAndNothingChanges)
{
    // Asked whether to read it as a bank statement, the person says no.
    bills::ImportWindow *import =
        openImport(testkit::writeFile(folder.file(QStringLiteral("noise.csv")), "a,b\n1,2\n"));
    ASSERT_NE(import, nullptr);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown().front().text.startsWith(bills::unrecognisedBillText()));
    EXPECT_EQ(responder.shown().front().buttons, base::MessageButtons::YesNo);
    EXPECT_EQ(testkit::shownWindow<bills::BankMappingWindow>(), nullptr);
    EXPECT_EQ(import->transactionList->topLevelItemCount(), 0);
    EXPECT_FALSE(import->importButton->isEnabled());
    EXPECT_TRUE(import->fileBox->text().isEmpty());

    // A workbook that is no bill cannot be read by a column mapping: no question.
    responder.clear();
    QByteArray zip("PK\x03\x04", 4);
    import->openBill(
        testkit::writeFile(folder.file(QStringLiteral("noise.xlsx")), zip + QByteArray(64, 'x')));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown().front().buttons, base::MessageButtons::Ok);
}

/// A bank's statement: account lines, debit and credit columns, a balance
/// and a total line last.
QByteArray bankStatement(const QStringList &rows)
{
    return (QStringList{QStringLiteral("某银行交易明细"), QStringLiteral("账号：6225 1234,,,,,"),
                        QStringLiteral("交易日期,摘要,对方户名,支出金额,收入金额,余额")} +
            rows + QStringList{QStringLiteral("合计,,,,,")})
        .join(QStringLiteral("\r\n"))
        .toUtf8();
}

TEST_F(ImportCommand, ABankStatementsMappingIsSetUpOnceAndKeptForItsSource)
{
    const QString may =
        testkit::writeFile(folder.file(QStringLiteral("may.csv")),
                           bankStatement({QStringLiteral("20260502,消费,永辉超市,126.40,,8873.60"),
                                          QStringLiteral("20260505,代发工资,某某公司,,12000.00,20873.60")}));
    responder.answer(base::MessageAnswer::Yes);
    // The mapping window comes guessed from the header; it asks for the
    // source's name, and the total line below is set aside.
    QStringList told;
    QTimer::singleShot(0, window.get(), [&told] {
        auto *mapping = testkit::shownWindow<bills::BankMappingWindow>();
        if (!mapping)
            return;
        told << mapping->checkLabel->text();
        told << QString::number(mapping->okButton->isEnabled());
        told << mapping->columnBoxes[0]->currentText() + u'|' + mapping->columnBoxes[5]->currentText() +
                    u'|' + mapping->columnBoxes[6]->currentText() + u'|' +
                    mapping->columnBoxes[4]->currentText();
        testkit::typeInto(mapping->sourceBox->lineEdit(), QStringLiteral("某银行"));
        mapping->trailingBox->setValue(1);
        told << mapping->checkLabel->text();
        mapping->okButton->click();
    });
    bills::ImportWindow *import = openImport(may);
    ASSERT_NE(import, nullptr);
    ASSERT_EQ(told.size(), 4);
    EXPECT_EQ(told[0], QStringLiteral("读出 2 笔交易，1 行未能读取 2 transactions read, 1 lines not read\n"
                                      "第 6 行 Line 6: 日期无法识别 Unreadable date: 合计\n"
                                      "请填写来源的名称 Enter the source's name"));
    EXPECT_EQ(told[1], QStringLiteral("0"));
    EXPECT_EQ(told[2], QStringLiteral("交易日期|支出金额|收入金额|（无）None"));
    EXPECT_EQ(told[3], QStringLiteral("读出 2 笔交易，0 行未能读取 2 transactions read, 0 lines not read"));
    EXPECT_EQ(window->ledger().bankMappingSources(), QStringList(QStringLiteral("某银行")));
    EXPECT_EQ(testkit::columnTexts(import->transactionList, 3),
              (QStringList{QStringLiteral("-126.40"), QStringLiteral("+12000.00")}));
    EXPECT_EQ(import->sourceLabel->text(), bills::readWithMappingText(QStringLiteral("某银行")));
    EXPECT_TRUE(import->problemLabel->text().isEmpty());
    import->importButton->click();
    EXPECT_EQ(
        testkit::itemIn(window->ledger(), QStringLiteral("2026-05"), QStringLiteral("未归类收入")).income,
        12000);

    // June's statement from the same bank is read through the kept mapping, unasked.
    responder.clear();
    const QString june =
        testkit::writeFile(folder.file(QStringLiteral("june.csv")),
                           bankStatement({QStringLiteral("20260603,消费,京东商城,89.00,,8784.60")}));
    ASSERT_TRUE(import->openBill(june));
    EXPECT_TRUE(responder.shown().empty());
    EXPECT_EQ(testkit::columnTexts(import->transactionList, 1), QStringList(QStringLiteral("京东商城")));

    // "列对应 Mapping…" shows the kept mapping; cancelled, nothing changes.
    QStringList shown;
    QTimer::singleShot(0, window.get(), [&shown] {
        auto *mapping = testkit::shownWindow<bills::BankMappingWindow>();
        if (!mapping)
            return;
        shown << mapping->sourceBox->currentText() << QString::number(mapping->trailingBox->value())
              << mapping->encodingBox->currentText();
        mapping->cancelButton->click();
    });
    ASSERT_TRUE(import->mappingButton->isEnabled());
    import->mappingButton->click();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("某银行"), QStringLiteral("1"), QStringLiteral("UTF-8")}));
    EXPECT_EQ(testkit::columnTexts(import->transactionList, 1), QStringList(QStringLiteral("京东商城")));

    // 删除来源 Remove Source forgets the source's mapping after a question;
    // read again, the statement is offered a new one (declined here).
    QStringList removing;
    QTimer::singleShot(0, window.get(), [&removing] {
        auto *mapping = testkit::shownWindow<bills::BankMappingWindow>();
        if (!mapping)
            return;
        removing << QString::number(mapping->removeButton->isEnabled());
        mapping->removeButton->click();
        removing << QString::number(mapping->removeButton->isEnabled()) << mapping->sourceBox->currentText();
        mapping->cancelButton->click();
    });
    responder.clear();
    responder.answer(base::MessageAnswer::Yes);
    import->mappingButton->click();
    EXPECT_EQ(removing, (QStringList{QStringLiteral("1"), QStringLiteral("0"), QString()}));
    EXPECT_TRUE(window->ledger().bankMappingSources().isEmpty());
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].text,
              QStringLiteral("删除来源“某银行”的列对应吗？\nRemove the column mapping "
                             "kept for “某银行”?"));
    EXPECT_TRUE(responder.shown()[1].text.startsWith(bills::unrecognisedBillText()));
    EXPECT_EQ(testkit::columnTexts(import->transactionList, 1), QStringList(QStringLiteral("京东商城")))
        << "the rows read stay";
    EXPECT_TRUE(import->sourceLabel->text().isEmpty()) << "the source removed is named no more";

    // A payment app's bill needs no mapping.
    ASSERT_TRUE(import->openBill(writeBill(folder.file(QStringLiteral("wechat.csv")))));
    EXPECT_FALSE(import->mappingButton->isEnabled());
    EXPECT_TRUE(import->sourceLabel->text().isEmpty());
}

} // namespace
