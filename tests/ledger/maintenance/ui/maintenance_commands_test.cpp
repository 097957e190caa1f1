// The ledger file commands and the month picker through the real main
// window and start routine: backup, another ledger, change password and
// look back, on real ledger files.
#include "qstring_printer.h"
#include "read_only_folder.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "app/feature_list.h"
#include "app/program.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "panel/ui/category_panel.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/flat_button.h"
#include "store/connection_string.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zambrel;

namespace {

const QDate kToday(2026, 5, 15);

int itemRows(const panel::CategoryPanel *panel)
{
    int items = 0;
    for (int row = 0; row < panel->list->topLevelItemCount(); ++row)
        items += panel->list->topLevelItem(row)->text(1).isEmpty() ? 0 : 1;
    return items;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool opensWith(const QString &path, const QString &password)
{
    try {
        store::Ledger probe(path, password);
        return true;
    } catch (const store::DbError &) {
        return false;
    }
}

template <typename Window> Window *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

/// Answers the open-file dialog with `answer` and records what it was asked.
class ScriptedFileChooser {
public:
    explicit ScriptedFileChooser(QString answer)
    {
        m_previous = store::setOpenFileResponder(
            [this, answer = std::move(answer)](QWidget *, const QString &title, const QString &filter) {
                titles << title;
                filters << filter;
                return answer;
            });
    }
    ~ScriptedFileChooser() { store::setOpenFileResponder(m_previous); }
    ScriptedFileChooser(const ScriptedFileChooser &) = delete;
    ScriptedFileChooser &operator=(const ScriptedFileChooser &) = delete;

    QStringList titles;
    QStringList filters;

private:
    store::OpenFileResponder m_previous;
};

// A program folder with a fixed date, scripted answers and the main window
// over a ledger with every feature registered.
class Maintenance : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(kToday, QTime(10, 0)); });
    }
    void TearDown() override
    {
        if (window) {
            window->setSwitchingLedger(true);
            window->close();
        }
        window.reset();
        base::setClock({});
    }

    void open(std::shared_ptr<store::Ledger> books)
    {
        window = std::make_unique<ledger::MainWindow>(std::move(books));
        window->load();
        app::registerFeatures(*window);
        window->show();
    }
    void openDefault() { open(testkit::openDefaultLedger()); }

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

    QStringList pickerRows() const
    {
        QStringList rows;
        for (int index = 0; index < picker()->monthList->topLevelItemCount(); ++index)
            rows << picker()->monthList->topLevelItem(index)->text(0);
        return rows;
    }

    void clickPickerRow(const QString &month)
    {
        QTreeWidget *list = picker()->monthList;
        const QList<QTreeWidgetItem *> found = list->findItems(month, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << month.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    std::unique_ptr<ledger::MainWindow> window;
};

TEST_F(Maintenance, TheFourCommandsAreInTheMonthMenuAndAvailable)
{
    openDefault();
    for (const char *command : {"find", "changePWD", "sother", "backup"}) {
        QAction *action = window->command(QString::fromLatin1(command));
        ASSERT_NE(action, nullptr) << command;
        EXPECT_TRUE(action->isEnabled()) << command;
        EXPECT_TRUE(window->monthMenu()->actions().contains(action)) << command;
    }
}

TEST_F(Maintenance, BackupReportsTheCopyAndRefreshesTheMonth)
{
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    openDefault();
    const QString path = window->ledger().path();
    const QString backup = folder.file(QStringLiteral("Zambrel_2026-05-15_bak.mdb"));
    run("backup");
    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1)); // one more salary
    const int incomeItems = itemRows(window->incomePanel);
    run("backup");

    ASSERT_EQ(responder.shown().size(), 2u);
    for (const base::MessageRequest &shown : responder.shown()) {
        EXPECT_EQ(shown.text, path + QStringLiteral("备份成功\n备份名称为：") + backup);
        EXPECT_EQ(shown.title, QStringLiteral("备份"));
        EXPECT_EQ(shown.icon, base::MessageIcon::Information);
    }
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems + 1) << "the month view was reloaded";
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*_bak*"), QStringLiteral("*.tmp-*")}),
              QStringList{QFileInfo(backup).fileName()});
    store::Ledger copy(backup, QString());
    EXPECT_EQ(copy.monthItems(QStringLiteral("2026-05")).size(),
              window->ledger().monthItems(QStringLiteral("2026-05")).size());
}

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
    const QByteArray earlier = bytesOf(backup);
    ASSERT_FALSE(earlier.isEmpty());
    responder.clear();

    ASSERT_TRUE(books.makeReadOnly()) << books.reason().toStdString();
    run("backup");
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].title, QStringLiteral("出错了"));
    EXPECT_TRUE(responder.shown()[0].text.contains(backup)) << responder.shown()[0].text.toStdString();
    EXPECT_EQ(bytesOf(backup), earlier);
    EXPECT_EQ(QDir(books.path()).entryList(QDir::Files | QDir::System).size(), 2) << "no copy left half-made";

    const int incomeItems = itemRows(window->incomePanel);
    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1));
    run("refresh");
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems + 1);
    EXPECT_EQ(responder.shown().size(), 1u) << "nothing more went wrong";
}

TEST_F(Maintenance, ChangingThePasswordKeepsTheLedgerOpenAndItsBackupsWorking)
{
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    openDefault();
    const QString path = window->ledger().path();
    const QString next = QStringLiteral("我们的 'books' [2026]");
    const auto type = [](QLineEdit *box, const QString &text) {
        box->setFocus();
        box->setText(text); // typing is the window test's subject; here the road counts
    };

    // A mismatch first, then the change, in one showing of the window.
    runModal("changePWD", [&] {
        ledger::ChangePasswordWindow *form = passwordWindow();
        ASSERT_NE(form, nullptr);
        type(form->passwordBoxes[1], next);
        type(form->passwordBoxes[2], QStringLiteral("other"));
        form->okButton->click();
        EXPECT_TRUE(form->isVisible());
        type(form->passwordBoxes[2], next);
        QTest::keyClick(form->passwordBoxes[2], Qt::Key_Return);
    });
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].text, QStringLiteral("新密码和确认密码不一致，请重新指定！"));
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("密码修改成功，请记住你的新密码！"));
    EXPECT_FALSE(passwordWindow()->isVisible());
    EXPECT_EQ(window->ledger().path(), path);

    // The window is kept and comes back empty; a wrong old password changes nothing.
    QPointer<ledger::ChangePasswordWindow> kept = passwordWindow();
    runModal("changePWD", [&] {
        EXPECT_EQ(passwordWindow(), kept.data());
        for (QLineEdit *box : kept->passwordBoxes)
            EXPECT_TRUE(box->text().isEmpty());
        type(kept->passwordBoxes[0], QStringLiteral("wrong"));
        kept->okButton->click();
        EXPECT_TRUE(kept->isVisible());
        kept->cancelButton->click();
    });
    ASSERT_EQ(responder.shown().size(), 3u);
    EXPECT_TRUE(responder.shown()[2].text.startsWith(QStringLiteral("旧密码不正确，请重新指定！")));

    // The open ledger works on: a refresh and a backup, which has the new password.
    run("refresh");
    run("backup");
    const QString backup = folder.file(QStringLiteral("Zambrel_2026-05-15_bak.mdb"));
    EXPECT_EQ(responder.shown().back().title, QStringLiteral("备份"));
    EXPECT_TRUE(opensWith(backup, next));

    window->setSwitchingLedger(true);
    window->close();
    window.reset();
    EXPECT_FALSE(opensWith(path, QString()));
    EXPECT_TRUE(opensWith(path, next));
}

TEST_F(Maintenance, AClosedPasswordWindowIsMadeAfresh)
{
    openDefault();
    runModal("changePWD", [&] { passwordWindow()->close(); });
    ASSERT_TRUE(QTest::qWaitFor([this] { return passwordWindow() == nullptr; }));
    runModal("changePWD", [&] {
        ASSERT_NE(passwordWindow(), nullptr);
        EXPECT_TRUE(passwordWindow()->isVisible());
        passwordWindow()->cancelButton->click();
    });
}

TEST_F(Maintenance, LookBackOnAnEmptyLedgerGivesTodaysMonth)
{
    openDefault();
    window->showMonth(QStringLiteral("2025-01"));
    runModal("find", [&] {
        EXPECT_EQ(picker()->windowTitle(), QStringLiteral("月份 Months"));
        EXPECT_EQ(pickerRows(), QStringList{QStringLiteral("没有记录。")});
        picker()->okButton->click();
    });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-05"));
    EXPECT_EQ(window->button(QStringLiteral("refresh"))->text(), QStringLiteral("2026-05"));
}

TEST_F(Maintenance, LookBackShowsTheChosenMonthAndLeavesTheSameOneAlone)
{
    for (const char *month : {"2025-11", "2026-03", "2026-05"})
        testkit::writeSampleMonth(QString::fromLatin1(month));
    openDefault();
    ASSERT_EQ(window->currentMonth(), QStringLiteral("2026-05"));

    runModal("find", [&] {
        EXPECT_EQ(pickerRows(), (QStringList{QStringLiteral("2026-05"), QStringLiteral("2026-03"),
                                             QStringLiteral("2025-11")}));
        clickPickerRow(QStringLiteral("2025-11"));
        picker()->okButton->click();
    });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2025-11"));
    EXPECT_EQ(window->button(QStringLiteral("refresh"))->text(), QStringLiteral("2025-11"));
    const int incomeItems = itemRows(window->incomePanel);
    EXPECT_GT(incomeItems, 0);
}

TEST_F(Maintenance, ThePickerKeepsItsFirstListUntilItIsClosed)
{
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    openDefault();
    runModal("find", [&] { picker()->cancelButton->click(); });
    testkit::addItems(window->ledger(), QStringLiteral("2026-01"), testkit::manyItems(1));
    QPointer<input::MonthPickerWindow> kept = picker();
    runModal("find", [&] {
        EXPECT_EQ(picker(), kept.data());
        EXPECT_EQ(pickerRows(), QStringList{QStringLiteral("2026-04")});
        picker()->close(); // by the caption bar: counts as Cancel
    });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-05"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return kept.isNull(); }));
    runModal("find", [&] {
        EXPECT_EQ(pickerRows(), (QStringList{QStringLiteral("2026-04"), QStringLiteral("2026-01")}));
        clickPickerRow(QStringLiteral("2026-01"));
        QTest::mouseDClick(
            picker()->monthList->viewport(), Qt::LeftButton, {},
            picker()->monthList->visualItemRect(picker()->monthList->topLevelItem(1)).center());
    });
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-01"));
    EXPECT_EQ(itemRows(window->incomePanel), 1);
}

// Another ledger, through the start routine as the program runs it.
class OtherLedger : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(kToday, QTime(10, 0)); });
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
        base::setClock({});
    }

    // Logs on in the logon window shown; the main window that follows, or null.
    ledger::MainWindow *logOn(const QString &password = {})
    {
        store::LogonWindow *logon = topLevel<store::LogonWindow>();
        if (!logon)
            return nullptr;
        logon->passwordBox->setText(password);
        QTest::keyClick(logon->passwordBox, Qt::Key_Return);
        const bool settled = QTest::qWaitFor(
            [this] { return topLevel<ledger::MainWindow>() != nullptr || !responder.shown().empty(); });
        return settled ? topLevel<ledger::MainWindow>() : nullptr;
    }

    void choose(const QString &path)
    {
        ScriptedFileChooser chooser(path);
        first->command(QStringLiteral("sother"))->trigger();
        EXPECT_EQ(chooser.titles, QStringList{QStringLiteral("选择另外一个帐本")});
        EXPECT_EQ(chooser.filters, QStringList{store::ledgerFileFilter()});
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    QPointer<ledger::MainWindow> first;
};

TEST_F(OtherLedger, TheSameFileOrNoChoiceDoesNothing)
{
    const QString path = first->ledger().path();
    const QFileInfo file(path);
    ASSERT_TRUE(QDir(file.path()).mkdir(QStringLiteral("sub")));
    const QString link = folder.file(QStringLiteral("link.mdb"));
    ASSERT_TRUE(QFile::link(path, link));
    const QString dotted = file.path() + QStringLiteral("/sub/../") + file.fileName();
    for (const QString &chosen : {path, dotted, link, QString()}) {
        choose(chosen);
        EXPECT_TRUE(first && first->isVisible()) << chosen.toStdString();
        EXPECT_EQ(topLevel<store::LogonWindow>(), nullptr);
    }
    EXPECT_TRUE(responder.shown().empty());
}

// A name that differs only in letter case is another file, and another
// ledger.
TEST_F(OtherLedger, TheNameInOtherLetterCaseIsAnotherLedger)
{
    const QFileInfo file(first->ledger().path());
    const QString otherCase = file.path() + QLatin1Char('/') + file.fileName().toUpper();
    store::createLedger(otherCase);
    choose(otherCase);
    ASSERT_TRUE(QTest::qWaitFor([this] { return first.isNull(); }));
    store::LogonWindow *logon = topLevel<store::LogonWindow>();
    ASSERT_NE(logon, nullptr);
    EXPECT_EQ(logon->ledgerPath(), otherCase);
}

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
    store::LogonWindow *logon = topLevel<store::LogonWindow>();
    ASSERT_NE(logon, nullptr);
    EXPECT_EQ(logon->ledgerPath(), other);
    EXPECT_TRUE(opensWith(firstPath, QString())) << "the first ledger is let go";

    ledger::MainWindow *second = logOn(QStringLiteral("两位 老人"));
    ASSERT_NE(second, nullptr) << (responder.shown().empty() ? "" : responder.shown()[0].text.toStdString());
    EXPECT_EQ(second->ledger().path(), other);
    EXPECT_EQ(second->currentMonth(), QStringLiteral("2026-05"));
    EXPECT_EQ(itemRows(second->incomePanel), 1);
    EXPECT_TRUE(second->command(QStringLiteral("backup"))->isEnabled())
        << "the features are registered again";
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), other);
}

TEST_F(OtherLedger, AFileThatIsNoLedgerIsRefusedAtLogon)
{
    // Text, and an empty file; the second is chosen in the logon window.
    const QString files[] = {folder.file(QStringLiteral("notes.mdb")),
                             folder.file(QStringLiteral("empty.mdb"))};
    const QByteArray contents[] = {QByteArrayLiteral("shopping list: rice, tea\n"), QByteArray()};
    for (int index = 0; index < 2; ++index) {
        QFile file(files[index]);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents[index]);
    }

    choose(files[0]);
    ASSERT_TRUE(QTest::qWaitFor([this] { return first.isNull(); }));
    EXPECT_EQ(logOn(), nullptr);
    {
        ScriptedFileChooser chooser(files[1]);
        topLevel<store::LogonWindow>()->chooseOtherLedger();
    }
    EXPECT_EQ(logOn(), nullptr);

    ASSERT_EQ(responder.shown().size(), 2u);
    for (int index = 0; index < 2; ++index) {
        const QString text = responder.shown()[size_t(index)].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Zambrel 登录 Zambrel Logon"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("不是账本文件"))) << text.toStdString();
        EXPECT_EQ(bytesOf(files[index]), contents[index]);
    }
    EXPECT_NE(topLevel<store::LogonWindow>(), nullptr) << "the logon stays for another try";
    EXPECT_EQ(topLevel<ledger::MainWindow>(), nullptr);
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), base::defaultLedgerPath());
}

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
    EXPECT_NE(topLevel<store::LogonWindow>(), nullptr);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    responder.clear();
    ledger::MainWindow *second = logOn();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ledger().path(), other);
}

} // namespace
