// Ledger file maintenance on real ledger files: backups beside the ledger,
// and password changes with their messages.
#include "a_fixtures.h"
#include "base/clock.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/password_change.h"
#include "qstring_printer.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

using namespace zambrel;
using ledger::PasswordBoxes;
using ledger::PasswordChangeResult;
using testkit::bytesOf;
using testkit::opensWith;

namespace {

const QString kMemo = QStringLiteral("保险箱在书架后面 SAFE-BEHIND-SHELF-4471");

class Maintenance : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(21, 15)); });
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
        books->addItem(month, testkit::itemOf(QStringLiteral("工资"), name, {9000}, memo));
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
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*_bak*"), QStringLiteral("*.tmp-*")}),
              QStringList{QStringLiteral("Zambrel_2026-12-05_bak.mdb")});
    EXPECT_FALSE(bytesOf(first).contains("SAFE-BEHIND-SHELF"));

    // The ledger stays open and usable; the copy holds the rows of the second
    // backup (that a backup holds every row under the password is the store's test).
    addItem(QStringLiteral("2027-01"), QStringLiteral("after"));
    EXPECT_EQ(store::Ledger(first, password).allMonthsTable().rows.size(), 2u);
    EXPECT_TRUE(responder.shown().empty()) << "the message is the command's, not the backup's";
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

// The password window's OK on a real ledger (its success is the window's
// test). Only a wrong old password is called one; any other failure says
// what it is; a mismatch tries nothing, whatever the old password. The
// ledger stays open under its old password.
TEST_F(Maintenance, ARefusedPasswordChangeSaysWhyAndKeepsTheOldPassword)
{
    open(QStringLiteral("Zambrel.mdb"), QStringLiteral("right"));
    const QByteArray file = bytesOf(path);
    const QString wrongOld = QStringLiteral("旧密码不正确，请重新指定！");
    const struct {
        QString oldPassword, next, confirmation;
        const char *failPoint, *says;
    } cases[] = {
        {QString(), "new", "new", nullptr, nullptr},
        {"wrong", "new", "new", nullptr, nullptr},
        {"Right", "new", "new", nullptr, nullptr},
        {"right", "new", "new", "fail:rekey-renamed",
         "无法读写文件 Cannot read or write the file: test failure at rekey-renamed"},
        {"wrong", "new", "New", nullptr, "新密码和确认密码不一致，请重新指定！"},
        {"wrong", "new ", "new", nullptr, "新密码和确认密码不一致，请重新指定！"},
        {"wrong", "", "new", nullptr, "新密码和确认密码不一致，请重新指定！"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.oldPassword.toStdString() + " " + c.next.toStdString() + "/" +
                     c.confirmation.toStdString());
        if (c.failPoint)
            qputenv("ZAMBREL_TEST_POINT", c.failPoint);
        base::MessageRequest shown;
        try {
            shown = ledger::changeLedgerPassword(*books, PasswordBoxes{c.oldPassword, c.next, c.confirmation})
                        .message;
        } catch (const store::DbError &error) {
            shown = ledger::refusalMessage(error);
        }
        qunsetenv("ZAMBREL_TEST_POINT");
        EXPECT_EQ(shown.icon, base::MessageIcon::Information);
        EXPECT_TRUE(shown.title.isEmpty()) << "the program's name";
        if (c.says) {
            EXPECT_EQ(shown.text, QString::fromUtf8(c.says));
            continue;
        }
        EXPECT_TRUE(shown.text.startsWith(wrongOld)) << shown.text.toStdString();
        EXPECT_GT(shown.text.size(), wrongOld.size()) << "the description follows";
        EXPECT_EQ(bytesOf(path), file);
    }
    EXPECT_TRUE(responder.shown().empty()) << "the window shows it";
    addItem(QStringLiteral("2026-12"), QStringLiteral("still open"));
    books.reset();
    EXPECT_FALSE(opensWith(path, QStringLiteral("new")));
    EXPECT_TRUE(opensWith(path, QStringLiteral("right")));
}

} // namespace
