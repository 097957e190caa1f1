// The item commands inside the real main window: toolbar buttons and the
// category panels reach them, on a real ledger.
#include "item_fixtures.h"
#include "widget_helpers.h"
#include "main_window_fixture.h"

#include "input/ui/entry_dialog.h"
#include "ledger/commands/ui/register_item_commands.h"
#include "skin/flat_button.h"

#include <QComboBox>
#include <QTimer>
#include <QToolButton>

using namespace zambrel;

namespace {

// Works the entry window once it shows; cancels it if OK did not close it.
void whenShown(const std::function<void(input::EntryDialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        input::EntryDialog *dialog = testkit::shownWindow<input::EntryDialog>();
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        if (dialog->isVisible())
            QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    });
}

int rowNamed(const panel::CategoryPanel *panel, const QString &name)
{
    return int(testkit::columnTexts(panel->list, 1).indexOf(name));
}

class MainWindowItems : public ::testing::Test, public testkit::WindowFixture {
protected:
    void SetUp() override
    {
        testkit::addItems(*testkit::openDefaultLedger(), QStringLiteral("2026-05"),
                          {testkit::itemOf(QStringLiteral("工资"), QStringLiteral("月薪"), {8000},
                                           QStringLiteral("基本工资"))});
        open();
    }
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
