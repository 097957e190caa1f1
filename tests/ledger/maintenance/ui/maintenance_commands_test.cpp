// The ledger file commands and the month picker through the real main
// window and start routine: backup, another ledger, change password and
// look back, on real ledger files.
#include "item_fixtures.h"
#include "widget_helpers.h"
#include "main_window_fixture.h"
#include "qstring_printer.h"
#include "read_only_folder.h"

#include "app/feature_list.h"
#include "app/program.h"
#include "base/app_paths.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "logon/logon_window.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/flat_button.h"
#include "store/connection_string.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QToolButton>

using namespace zambrel;
using testkit::itemRows;
using testkit::opensWith;

namespace {

// The main window over the default ledger with every feature registered.
class Maintenance : public ::testing::Test, public testkit::WindowFixture {
protected:
    void open(std::shared_ptr<store::Ledger> books = {})
    {
        WindowFixture::open(app::registerFeatures, true, std::move(books));
    }
    void run(const char *command) { window->command(QString::fromLatin1(command))->trigger(); }

    // Runs `command`, whose window is shown modally, while `act` works it
    // once the window is up (filling a list lets timers run before that).
    // A window left open by a failed act is closed after a while.
    template <typename Act> void runModal(const char *command, Act act)
    {
        whenModal(std::function<void()>(act), 1000);
        QTimer::singleShot(20000, window.get(), [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal window was left open: " << modal->objectName().toStdString();
                modal->close();
            }
        });
        run(command);
    }

    // Runs `act` once a modal window is up, looking again every few
    // milliseconds (without blocking what is running meanwhile).
    void whenModal(const std::function<void()> &act, int triesLeft)
    {
        QTimer::singleShot(5, window.get(), [this, act, triesLeft] {
            if (QApplication::activeModalWidget())
                act();
            else if (triesLeft > 0)
                whenModal(act, triesLeft - 1);
            else
                ADD_FAILURE() << "no modal window came up";
        });
    }

    input::MonthPickerWindow *picker() const { return window->findChild<input::MonthPickerWindow *>(); }
    ledger::ChangePasswordWindow *passwordWindow() const
    {
        return window->findChild<ledger::ChangePasswordWindow *>();
    }

    void pickMonth(const QString &month)
    {
        QTreeWidget *list = picker()->monthList;
        const QList<QTreeWidgetItem *> found = list->findItems(month, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << month.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
        picker()->okButton->click();
    }
};

TEST_F(Maintenance, ABackupThatCannotBeWrittenSaysSoKeepsTheEarlierOneAndTheViewWorks)
{
    testkit::ReadOnlyFolder books(folder.file(QStringLiteral("books")));
    if (!books.isReady())
        GTEST_SKIP() << books.reason().toStdString();
    // The ledger itself lives outside the folder that turns read-only.
    const QString real = folder.file(QStringLiteral("family.mdb"));
    store::createLedger(real, QStringLiteral("pw"));
    testkit::writeItems(real, QStringLiteral("2026-05"), testkit::sampleItems(), QStringLiteral("pw"));
    const QString path = books.path() + QStringLiteral("/family.mdb");
    ASSERT_TRUE(QFile::link(real, path));
    open(std::make_shared<store::Ledger>(path, QStringLiteral("pw")));
    run("backup");
    const QString backup = books.path() + QStringLiteral("/family_2026-05-15_bak.mdb");
    const QByteArray earlier = testkit::bytesOf(backup);
    ASSERT_FALSE(earlier.isEmpty());
    responder.clear();

    ASSERT_TRUE(books.makeReadOnly()) << books.reason().toStdString();
    run("backup");
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].title, QStringLiteral("出错了"));
    EXPECT_TRUE(responder.shown()[0].text.contains(backup)) << responder.shown()[0].text.toStdString();
    EXPECT_EQ(testkit::bytesOf(backup), earlier);
    EXPECT_EQ(QDir(books.path()).entryList(QDir::Files | QDir::System).size(), 2) << "no copy left half-made";

    const int incomeItems = itemRows(window->incomePanel);
    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1));
    run("refresh");
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems + 1);
    EXPECT_EQ(responder.shown().size(), 1u) << "nothing more went wrong";
}

// The password window's checks and messages are its own tests'; here the
// road: the ledger stays open through a change of password, and a backup
// made afterwards replaces the day's earlier one, says so, refreshes the
// month and has the new password.
TEST_F(Maintenance, BackupsBeforeAndAfterAPasswordChange)
{
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    open();
    const QString path = window->ledger().path();
    const QString backup = folder.file(QStringLiteral("Zambrel_2026-05-15_bak.mdb"));
    const QString next = QStringLiteral("我们的 'books' [2026]");
    run("backup");
    runModal("changePWD", [&] {
        ledger::ChangePasswordWindow *form = passwordWindow();
        ASSERT_NE(form, nullptr);
        form->passwordBoxes[1]->setText(next);
        form->passwordBoxes[2]->setText(next);
        QTest::keyClick(form->passwordBoxes[2], Qt::Key_Return);
    });
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("密码修改成功，请记住你的新密码！"));

    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1)); // one more salary
    const int incomeItems = itemRows(window->incomePanel);
    run("backup");
    ASSERT_EQ(responder.shown().size(), 3u);
    for (const std::size_t each : {0u, 2u})
        EXPECT_EQ(responder.shown()[each].text, path + QStringLiteral("备份成功\n备份名称为：") + backup);
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems + 1) << "the month view was reloaded";
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*_bak*"), QStringLiteral("*.tmp-*")}),
              QStringList{QFileInfo(backup).fileName()});
    EXPECT_TRUE(opensWith(backup, next));
    closeWindow();
    EXPECT_FALSE(opensWith(path));
    EXPECT_TRUE(opensWith(path, next));
}

// The picker's own choices are its tests'; here the road from the menu to
// the month shown. A picker closed by its caption bar cancels and is made
// afresh with the months as they are then.
TEST_F(Maintenance, LookBackShowsTheChosenMonthAndAClosedPickerIsMadeAfresh)
{
    for (const char *month : {"2025-11", "2026-03", "2026-05"})
        testkit::writeSampleMonth(QString::fromLatin1(month));
    open();
    runModal("find", [&] {
        EXPECT_EQ(testkit::columnTexts(picker()->monthList), (QStringList{"2026-05", "2026-03", "2025-11"}));
        pickMonth(QStringLiteral("2025-11"));
    });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2025-11"));

    testkit::addItems(window->ledger(), QStringLiteral("2026-01"), testkit::manyItems(1));
    QPointer<input::MonthPickerWindow> kept = picker();
    runModal("find", [&] { picker()->close(); }); // by the caption bar: counts as Cancel
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2025-11"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return kept.isNull(); }));
    runModal("find", [&] { pickMonth(QStringLiteral("2026-01")); });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-01"));
    EXPECT_EQ(itemRows(window->incomePanel), 1);
}

// Another ledger, through the start routine as the program runs it.
class OtherLedger : public ::testing::Test, public testkit::WindowFixture {
protected:
    void SetUp() override
    {
        testkit::writeSampleMonth(QStringLiteral("2026-05"));
        app::startProgram(*qApp);
        first = logOn();
        ASSERT_NE(first, nullptr);
    }
    void TearDown() override
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<ledger::MainWindow *>(widget))
                main->setSwitchingLedger(true);
            widget->close();
        }
        QTest::qWait(0);
    }

    // Logs on in the logon window shown; the main window that follows, or null.
    ledger::MainWindow *logOn(const QString &password = {})
    {
        store::LogonWindow *logon = testkit::shownWindow<store::LogonWindow>();
        if (!logon)
            return nullptr;
        logon->passwordBox->setText(password);
        QTest::keyClick(logon->passwordBox, Qt::Key_Return);
        const bool settled = QTest::qWaitFor([this] {
            return testkit::shownWindow<ledger::MainWindow>() != nullptr || !responder.shown().empty();
        });
        return settled ? testkit::shownWindow<ledger::MainWindow>() : nullptr;
    }

    // Chooses `path` in the open-file dialog of "another ledger".
    void choose(const QString &path)
    {
        const store::OpenFileResponder previous =
            store::setOpenFileResponder([path](QWidget *, const QString &, const QString &) { return path; });
        first->command(QStringLiteral("sother"))->trigger();
        store::setOpenFileResponder(previous);
    }

    QPointer<ledger::MainWindow> first;
};

TEST_F(OtherLedger, TheChosenLedgerOpensInANewMainWindow)
{
    const QString other = folder.file(QStringLiteral("parents.mdb"));
    store::createLedger(other, QStringLiteral("两位 老人"));
    std::vector<store::Item> items = testkit::sampleItems(2.0);
    items.resize(1);
    items[0].name = QStringLiteral("退休金");
    testkit::writeItems(other, QStringLiteral("2026-05"), items, QStringLiteral("两位 老人"));
    const QString firstPath = first->ledger().path();

    choose(other);
    ASSERT_TRUE(QTest::qWaitFor([this] { return first.isNull(); }));
    EXPECT_TRUE(responder.shown().empty()) << "closing for another ledger asks nothing";
    store::LogonWindow *logon = testkit::shownWindow<store::LogonWindow>();
    ASSERT_NE(logon, nullptr);
    EXPECT_EQ(logon->ledgerPath(), other);
    EXPECT_TRUE(opensWith(firstPath)) << "the first ledger is let go";

    ledger::MainWindow *second = logOn(QStringLiteral("两位 老人"));
    ASSERT_NE(second, nullptr) << (responder.shown().empty() ? "" : responder.shown()[0].text.toStdString());
    EXPECT_EQ(second->ledger().path(), other);
    EXPECT_EQ(second->currentMonth(), QStringLiteral("2026-05"));
    EXPECT_EQ(itemRows(second->incomePanel), 1);
    EXPECT_TRUE(second->command(QStringLiteral("backup"))->isEnabled())
        << "the features are registered again";
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), other);
}

// Which files are refused, and that they are left as they were, is the
// ledger's own test; here the road: the logon says so and stays for another
// try, which succeeds once the other process lets the ledger go.
TEST_F(OtherLedger, ALedgerAnotherProcessHoldsIsReportedInUse)
{
    const QString other = folder.file(QStringLiteral("shared.mdb"));
    store::createLedger(other);
    QProcess holder;
    holder.start(QStringLiteral(ZAMBREL_LOCK_PROBE),
                 {QStringLiteral("hold"), store::ledgerConnectionString(other, {})});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("holding"));

    choose(other);
    ASSERT_TRUE(QTest::qWaitFor([this] { return first.isNull(); }));
    EXPECT_EQ(logOn(), nullptr);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.contains(QStringLiteral("账本正在使用中")))
        << responder.shown()[0].text.toStdString();
    EXPECT_NE(testkit::shownWindow<store::LogonWindow>(), nullptr);
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), base::defaultLedgerPath());

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    responder.clear();
    ledger::MainWindow *second = logOn();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ledger().path(), other);
}

} // namespace
