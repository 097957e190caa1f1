// Ledger file maintenance on real ledger files: backups beside the ledger,
// and password changes with their messages.
#include "item_fixtures.h"
#include "base/clock.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/password_change.h"
#include "qstring_printer.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include <sys/stat.h>

using namespace zambrel;
using ledger::PasswordBoxes;
using ledger::PasswordChangeResult;
using testkit::bytesOf;
using testkit::opensWith;

namespace {

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

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> books;
    testkit::ScriptedResponder responder;
};

// (Two backups on one day leave the later one, under the ledger's password:
// the backup command's road; a FIFO given to --to and a replaced file: the
// command line's test.) Here the day's name taken by a FIFO, a folder or a
// link: nothing there is opened.
TEST_F(Maintenance, ABackupReplacesOnlyAFileAndNeverOpensWhatElseIsThere)
{
    open(QStringLiteral("Zambrel.mdb"));
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
        {folder, QStringLiteral("The backup target is a folder, not a regular file: ")},
        {link, QStringLiteral("The backup target is a symbolic link, not a regular file: ")},
        {QString(),
         QStringLiteral("备份的目标是管道，不是普通文件 The backup target is a FIFO, not a regular file: ")},
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
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(dated).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO is still there, not a copy";
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(elsewhere), QByteArray());
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
        {"right", "new", "new", "fail:rekey-renamed",
         "无法读写文件 Cannot read or write the file: test failure at rekey-renamed"},
        {"wrong", "new", "New", nullptr, "新密码和确认密码不一致，请重新指定！"},
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
    books->addItem(QStringLiteral("2026-12"),
                   testkit::itemOf(QStringLiteral("工资"), QStringLiteral("still open")));
    books.reset();
    EXPECT_FALSE(opensWith(path, QStringLiteral("new")));
    EXPECT_TRUE(opensWith(path, QStringLiteral("right")));
}

} // namespace
