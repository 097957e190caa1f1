// Ledger file maintenance on real ledger files: backups beside the ledger,
// and password changes with their messages.
#include "base/clock.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/password_change.h"
#include "qstring_printer.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

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
    const ledger::BackupCopy made = ledger::backUpLedger(*books);
    const QString first = made.path;
    EXPECT_EQ(first, dir.filePath(QStringLiteral("Zambrel_2026-12-05_bak.mdb")));
    EXPECT_FALSE(made.replaced);

    addItem(QStringLiteral("2026-12"), QStringLiteral("bonus"));
    const ledger::BackupCopy again = ledger::backUpLedger(*books);
    EXPECT_EQ(again.path, first);
    EXPECT_TRUE(again.replaced);
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
        const QString backup = ledger::backUpLedger(*books).path;
        EXPECT_EQ(backup, dir.filePath(QString::fromUtf8(c.backup)));
        books.reset();
        store::Ledger copy(backup, QString());
        EXPECT_EQ(copy.monthItems(QStringLiteral("2026-12")).size(), 1u) << c.ledger;
    }
}

TEST_F(Maintenance, ABackupReplacesOnlyAFileAndNeverOpensWhatElseIsThere)
{
    open(QStringLiteral("Zambrel.mdb"));
    addItem(QStringLiteral("2026-12"), QStringLiteral("salary"));
    const QString fifo = dir.filePath(QStringLiteral("fifo.mdb"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.mdb"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.mdb"));
    ASSERT_TRUE(QFile(elsewhere).open(QIODevice::WriteOnly));
    const QString link = dir.filePath(QStringLiteral("link.mdb"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    const QString dated = dir.filePath(QStringLiteral("Zambrel_2026-12-05_bak.mdb"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dated).constData(), 0600), 0);

    const struct {
        QString target, says;
    } refused[] = {
        {fifo,
         QStringLiteral("备份的目标是管道，不是普通文件 The backup target is a FIFO, not a regular file: ")},
        {folder, QStringLiteral("The backup target is a folder, not a regular file: ")},
        {link, QStringLiteral("The backup target is a symbolic link, not a regular file: ")},
        {QString(), QStringLiteral("The backup target is a FIFO, not a regular file: ")},
    };
    for (const auto &each : refused) {
        try {
            ledger::backUpLedger(*books, each.target);
            ADD_FAILURE() << "backed up to " << each.target.toStdString();
        } catch (const store::DbError &error) {
            const QString target = each.target.isEmpty() ? dated : each.target;
            EXPECT_TRUE(error.description().endsWith(each.says + target))
                << error.description().toStdString();
        }
    }
    for (const QString &pipe : {fifo, dated}) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO is still there, not a copy";
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(elsewhere), QByteArray());

    const ledger::BackupCopy fresh = ledger::backUpLedger(*books, dir.filePath(QStringLiteral("copy.mdb")));
    EXPECT_FALSE(fresh.replaced);
    EXPECT_TRUE(ledger::backUpLedger(*books, elsewhere).replaced);
    EXPECT_EQ(store::Ledger(elsewhere, {}).latestMonth(), QStringLiteral("2026-12"));
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

TEST_F(PasswordChange, ASuccessIsToldAndTheNewPasswordOpensTheLedger)
{
    open(QStringLiteral("Zambrel.mdb"));
    addItem(QStringLiteral("2026-12"), QStringLiteral("salary"), kMemo);
    const QString tricky = QStringLiteral(" 二 'o\"k' [x]] ");
    EXPECT_EQ(change(QString(), tricky, tricky), PasswordChangeResult::Changed);
    expectInformation();
    EXPECT_EQ(shownText(), QStringLiteral("密码修改成功，请记住你的新密码！"));
    EXPECT_EQ(books->path(), path);
    books.reset();
    EXPECT_THROW(store::Ledger(path, QString()), store::DbError);
    store::Ledger reopened(path, tricky);
    ASSERT_EQ(reopened.monthItems(QStringLiteral("2026-12")).size(), 1u);
    EXPECT_EQ(reopened.monthItems(QStringLiteral("2026-12"))[0].memo, kMemo);
}

TEST_F(PasswordChange, AWrongOldPasswordChangesNothing)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
    const QByteArray file = bytesOf(path);
    for (const QString &wrong : {QString(), QStringLiteral("wrong"), QStringLiteral("Right")}) {
        EXPECT_FALSE(refusal(wrong, QStringLiteral("new")).isEmpty());
        expectInformation();
        EXPECT_TRUE(shownText().startsWith(QStringLiteral("旧密码不正确，请重新指定！")))
            << shownText().toStdString();
        EXPECT_GT(shownText().size(), QStringLiteral("旧密码不正确，请重新指定！").size())
            << "the description follows";
    }
    EXPECT_EQ(bytesOf(path), file);
    addItem(QStringLiteral("2026-12"), QStringLiteral("still open"));
    books.reset();
    EXPECT_THROW(store::Ledger(path, QStringLiteral("new")), store::DbError);
    store::Ledger reopened(path, QStringLiteral("right"));
    EXPECT_EQ(reopened.monthItems(QStringLiteral("2026-12")).size(), 1u);
}

// Any other failure says what it is; only a wrong old password is called one.
TEST_F(PasswordChange, AFailedReKeySaysWhatFailed)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
    qputenv("ZAMBREL_TEST_POINT", "fail:rekey-renamed");
    EXPECT_FALSE(refusal(QStringLiteral("right"), QStringLiteral("new")).isEmpty());
    qunsetenv("ZAMBREL_TEST_POINT");
    expectInformation();
    EXPECT_EQ(shownText(),
              QStringLiteral("无法读写文件 Cannot read or write the file: test failure at rekey-renamed"));
    addItem(QStringLiteral("2026-12"), QStringLiteral("still open"));
    books.reset();
    EXPECT_THROW(store::Ledger(path, QStringLiteral("new")), store::DbError);
    EXPECT_NO_THROW(store::Ledger(path, QStringLiteral("right")));
}

TEST_F(PasswordChange, AMismatchTriesNothing)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
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
    }
    books.reset();
    EXPECT_NO_THROW(store::Ledger(path, QStringLiteral("right")));
}

} // namespace
