// The item commands inside the real main window: toolbar buttons and the
// category panels reach them, on a real ledger.
#include "base/clock.h"
#include "input/ui/entry_dialog.h"
#include "ledger/commands/ui/register_item_commands.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"
#include "skin/flat_button.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

// The entry window while it is shown modally (it is made on first use).
input::EntryDialog *shownEntryWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<input::EntryDialog *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Works the entry window once it shows; cancels it if OK did not close it.
void whenShown(const std::function<void(input::EntryDialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        input::EntryDialog *dialog = shownEntryWindow();
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        if (dialog->isVisible())
            QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    });
}

int rowNamed(const panel::CategoryPanel *panel, const QString &name)
{
    for (int row = 0; row < panel->list->topLevelItemCount(); ++row) {
        if (panel->list->topLevelItem(row)->text(1) == name)
            return row;
    }
    return -1;
}

class MainWindowItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(6, 10)); });
        const QString path = folder.file(QStringLiteral("books.mdb"));
        store::createLedger(path);
        auto books = std::make_shared<store::Ledger>(path, QString());
        store::Item salary;
        salary.type = QStringLiteral("工资");
        salary.name = QStringLiteral("月薪");
        salary.memo = QStringLiteral("基本工资");
        salary.income = 8000;
        books->addItem(QStringLiteral("2026-12"), salary);
        window = std::make_unique<ledger::MainWindow>(books);
        window->load();
    }
    void TearDown() override
    {
        window.reset();
        base::setClock({});
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder{base::MessageAnswer::No};
    std::unique_ptr<ledger::MainWindow> window;
};

} // namespace

TEST_F(MainWindowItems, ButtonsAndPanelsRunTheCommands)
{
    EXPECT_FALSE(window->button(QStringLiteral("add"))->isEnabled());
    ledger::registerItemCommands(*window);
    EXPECT_TRUE(window->button(QStringLiteral("add"))->isEnabled());
    EXPECT_FALSE(window->button(QStringLiteral("update"))->isEnabled());

    // Add through the toolbar: the item shows in its panel at once.
    whenShown([](input::EntryDialog &dialog) {
        QTest::keyClicks(dialog.nameBox, QStringLiteral("Bonus"));
        dialog.typeBox->setCurrentIndex(dialog.typeBox->findText(QStringLiteral("奖金")));
        dialog.incomeBox->setFocus();
        dialog.incomeBox->selectAll();
        QTest::keyClicks(dialog.incomeBox, QStringLiteral("1000*2"));
        QTest::keyClick(dialog.incomeBox, Qt::Key_Return);
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    });
    QTest::mouseClick(window->button(QStringLiteral("add")), Qt::LeftButton);
    const int added = rowNamed(window->incomePanel, QStringLiteral("Bonus"));
    ASSERT_GE(added, 0);
    EXPECT_EQ(window->incomePanel->list->topLevelItem(added)->text(2), QStringLiteral("2000"));

    // Space on an item selects it: change and delete become available.
    const int salary = rowNamed(window->incomePanel, QStringLiteral("月薪"));
    ASSERT_GE(salary, 0);
    window->incomePanel->list->setCurrentItem(window->incomePanel->list->topLevelItem(salary));
    QTest::keyClick(window->incomePanel->list, Qt::Key_Space);
    EXPECT_TRUE(window->button(QStringLiteral("update"))->isEnabled());
    EXPECT_TRUE(window->button(QStringLiteral("delete"))->isEnabled());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("活动编号：K")));
    EXPECT_EQ(window->incomePanel->rows()->memo(), QStringLiteral("基本工资"));

    // Enter opens it for a change.
    QString shownName;
    whenShown([&shownName](input::EntryDialog &dialog) {
        shownName = dialog.nameBox->text();
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
    });
    QTest::keyClick(window->incomePanel->list, Qt::Key_Return);
    EXPECT_EQ(shownName, QStringLiteral("月薪"));
}
