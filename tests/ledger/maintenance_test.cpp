// Ledger file maintenance on real ledger files: backups beside the ledger,
// password changes with their messages, and what the month picker's answer
// does to the month shown.
#include "../panel/qstring_printer.h"
#include "base/clock.h"
#include "input/month_picker/look_back.h"
#include "input/month_picker/month_choice.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/password_change.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace zambrel;
using ledger::PasswordBoxes;
using ledger::PasswordChangeResult;

namespace {

const QDate kToday(2026, 12, 5);
const QString kMemo = QStringLiteral("保险箱在书架后面 SAFE-BEHIND-SHELF-4471");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Maintenance : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(kToday, QTime(21, 15)); });
    }
    void TearDown() override { base::setClock({}); }

    void open(const QString &name, const QString &password = {})
    {
        path = dir.filePath(name);
        store::createLedger(path, password);
        books = std::make_unique<store::Ledger>(path, password);
    }

    void addItem(const QString &month, const QString &name, const QString &memo = {})
    {
        store::Item item;
        item.type = QStringLiteral("工资");
        item.name = name;
        item.memo = memo;
        item.income = 9000;
        books->addItem(month, item);
    }

    // The backups and any temporary files left beside the ledger.
    QStringList backupsAndLeftovers() const
    {
        return QDir(dir.path())
            .entryList({QStringLiteral("*_bak*"), QStringLiteral("*.tmp-*")}, QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> books;
    testkit::ScriptedResponder responder;
};

TEST_F(Maintenance, BackupTwiceOnOneDayLeavesOneCompleteEncryptedCopyTheLaterOne)
{
    const QString password = QStringLiteral("家 庭's [账本]");
    open(QStringLiteral("Zambrel.mdb"), password);
    addItem(QStringLiteral("2026-11"), QStringLiteral("salary"), kMemo);
    const QString first = ledger::backUpLedger(*books);
    EXPECT_EQ(first, dir.filePath(QStringLiteral("Zambrel_2026-12-05_bak.mdb")));

    addItem(QStringLiteral("2026-12"), QStringLiteral("bonus"));
    EXPECT_EQ(ledger::backUpLedger(*books), first);
    EXPECT_EQ(backupsAndLeftovers(), QStringList{QStringLiteral("Zambrel_2026-12-05_bak.mdb")});
    EXPECT_FALSE(bytesOf(first).contains("SAFE-BEHIND-SHELF"));
    EXPECT_FALSE(bytesOf(first).contains(kMemo.toUtf8()));

    // The ledger stays open and usable; the copy is a ledger with the same
    // password and the rows of the second backup.
    addItem(QStringLiteral("2027-01"), QStringLiteral("after"));
    EXPECT_THROW(store::Ledger(first, QString()), store::DbError);
    store::Ledger copy(first, password);
    EXPECT_EQ(copy.allMonthsTable().rows.size(), 2u);
    ASSERT_EQ(copy.monthItems(QStringLiteral("2026-11")).size(), 1u);
    EXPECT_EQ(copy.monthItems(QStringLiteral("2026-11"))[0].memo, kMemo);
    EXPECT_EQ(copy.monthItems(QStringLiteral("2026-12")).size(), 1u);
    EXPECT_TRUE(responder.shown().empty()) << "the message is the command's, not the backup's";
}

TEST_F(Maintenance, BackupNamesFollowTheLedgerWhateverItsExtension)
{
    const struct {
        const char *ledger, *backup;
    } cases[] = {
        {"Family.MDB", "Family_2026-12-05_bak.mdb"},
        {"family.books", "family_2026-12-05_bak.books"},
        {"家庭账本", "家庭账本_2026-12-05_bak"},
    };
    for (const auto &c : cases) {
        open(QString::fromUtf8(c.ledger));
        addItem(QStringLiteral("2026-12"), QString::fromUtf8(c.ledger));
        const QString backup = ledger::backUpLedger(*books);
        EXPECT_EQ(backup, dir.filePath(QString::fromUtf8(c.backup)));
        books.reset();
        store::Ledger copy(backup, QString());
        EXPECT_EQ(copy.monthItems(QStringLiteral("2026-12")).size(), 1u) << c.ledger;
    }
}

// The password window's OK on a real ledger, with the messages it has the
// window show.
class PasswordChange : public Maintenance {
protected:
    PasswordChangeResult change(const QString &oldPassword, const QString &newPassword,
                                const QString &confirmation)
    {
        const ledger::PasswordChange done =
            ledger::changeLedgerPassword(*books, PasswordBoxes{oldPassword, newPassword, confirmation});
        shown = done.message;
        return done.result;
    }

    /// The refusal's message, empty when the ledger did not refuse.
    QString refusal(const QString &oldPassword, const QString &newPassword)
    {
        try {
            ledger::changeLedgerPassword(*books, PasswordBoxes{oldPassword, newPassword, newPassword});
        } catch (const store::DbError &error) {
            shown = ledger::refusalMessage(error);
            return shown.text;
        }
        return {};
    }

    QString shownText() const { return shown.text; }

    void expectInformation() const
    {
        EXPECT_EQ(shown.icon, base::MessageIcon::Information);
        EXPECT_EQ(shown.buttons, base::MessageButtons::Ok);
        EXPECT_TRUE(shown.title.isEmpty()) << "the program's name";
        EXPECT_TRUE(responder.shown().empty()) << "the window shows it";
    }

    base::MessageRequest shown;
};

TEST_F(PasswordChange, NoneToPasswordToPasswordToNoneReopeningWithTheNewOneOnly)
{
    open(QStringLiteral("Zambrel.mdb"));
    addItem(QStringLiteral("2026-12"), QStringLiteral("salary"), kMemo);
    const QString tricky = QStringLiteral(" 二 'o\"k' [x]] ");
    const struct {
        QString from, to;
    } steps[] = {
        {QString(), QStringLiteral("first one")}, {QStringLiteral("first one"), tricky}, {tricky, QString()}};
    for (const auto &step : steps) {
        EXPECT_EQ(change(step.from, step.to, step.to), PasswordChangeResult::Changed);
        expectInformation();
        EXPECT_EQ(shownText(), QStringLiteral("密码修改成功，请记住你的新密码！"));
        EXPECT_TRUE(books->connectionString().contains(path));
        books.reset();
        if (!step.to.isEmpty()) {
            EXPECT_FALSE(bytesOf(path).contains("SAFE-BEHIND-SHELF"));
        }
        EXPECT_THROW(store::Ledger(path, step.from), store::DbError) << step.from.toStdString();
        books = std::make_unique<store::Ledger>(path, step.to);
        ASSERT_EQ(books->monthItems(QStringLiteral("2026-12")).size(), 1u);
        EXPECT_EQ(books->monthItems(QStringLiteral("2026-12"))[0].memo, kMemo);
    }
}

TEST_F(PasswordChange, AWrongOldPasswordChangesNothing)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
    const QString before = books->connectionString();
    const QByteArray file = bytesOf(path);
    for (const QString &wrong : {QString(), QStringLiteral("wrong"), QStringLiteral("Right")}) {
        EXPECT_FALSE(refusal(wrong, QStringLiteral("new")).isEmpty());
        expectInformation();
        EXPECT_TRUE(shownText().startsWith(QStringLiteral("旧密码不正确，请重新指定！")))
            << shownText().toStdString();
        EXPECT_GT(shownText().size(), QStringLiteral("旧密码不正确，请重新指定！").size())
            << "the description follows";
        EXPECT_EQ(books->connectionString(), before);
    }
    EXPECT_EQ(bytesOf(path), file);
    addItem(QStringLiteral("2026-12"), QStringLiteral("still open"));
    books.reset();
    EXPECT_THROW(store::Ledger(path, QStringLiteral("new")), store::DbError);
    store::Ledger reopened(path, QStringLiteral("right"));
    EXPECT_EQ(reopened.monthItems(QStringLiteral("2026-12")).size(), 1u);
}

TEST_F(PasswordChange, AMismatchTriesNothing)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
    const QString before = books->connectionString();
    const struct {
        QString next, confirmation;
    } cases[] = {{QStringLiteral("new"), QStringLiteral("New")},
                 {QStringLiteral("new"), QString()},
                 {QString(), QStringLiteral("new")},
                 {QStringLiteral("new "), QStringLiteral("new")}};
    for (const auto &c : cases) {
        // Even with a wrong old password the mismatch is what is reported.
        EXPECT_EQ(change(QStringLiteral("wrong"), c.next, c.confirmation), PasswordChangeResult::Mismatch);
        expectInformation();
        EXPECT_EQ(shownText(), QStringLiteral("新密码和确认密码不一致，请重新指定！"));
        EXPECT_EQ(books->connectionString(), before);
    }
    books.reset();
    EXPECT_NO_THROW(store::Ledger(path, QStringLiteral("right")));
}

TEST(LookBack, WhatTheMainWindowMakesOfTheAnswer)
{
    base::setClock([] { return QDateTime(kToday, QTime(8, 0)); });
    const struct {
        bool clicked;
        const char *row;
        bool confirmed;
        const char *current;
        std::optional<QString> shown;
    } cases[] = {
        {true, "2025-03", false, "2026-12", std::nullopt},             // Cancel
        {true, "2026-12", true, "2026-12", std::nullopt},              // the month shown: no refresh
        {true, "2025-03", true, "2026-12", QStringLiteral("2025-03")}, // another month
        {true, "NULL", true, "2025-03", QStringLiteral("2026-12")},    // the null row: today's month
        {true, "NULL", true, "2026-12", QStringLiteral("2026-12")},    // ... refreshed even when shown
        {false, "", true, "2025-03", QStringLiteral("2026-12")},       // OK with nothing chosen
        {false, "", false, "2025-03", std::nullopt},                   // closed at once
    };
    for (const auto &c : cases) {
        input::MonthChoice choice;
        if (c.clicked)
            choice.clickRow(QString::fromUtf8(c.row));
        if (c.confirmed)
            choice.confirm();
        EXPECT_EQ(ledger::lookBackMonth(choice, QString::fromUtf8(c.current)), c.shown)
            << c.row << " " << c.current;
    }
    base::setClock({});
}

} // namespace
