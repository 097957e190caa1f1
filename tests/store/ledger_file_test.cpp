// The ledger file as a whole: backups and password changes through the open
// connection, which never let the file go, and every failure road of a
// password change, after which the ledger stays open under its old password.
#include "ledger_fixture.h"
#include "raw_ledger_writes.h"

#include <QDir>
#include <QFileInfo>

using namespace zambrel;
using namespace zambrel::store;
using testkit::bytesOf;
using testkit::kInUse;

namespace {

const QString kMemo = QStringLiteral("保险箱密码在书架第三层 SAFE-BEHIND-SHELF");

Item itemNamed(const QString &name)
{
    Item item = testkit::item(QStringLiteral("存款"), name);
    item.memo = kMemo;
    item.totalCost = 1000;
    return item;
}

std::size_t itemsIn(const QString &path, const QString &password, const QString &month)
{
    return Ledger(path, password).monthItems(month).size();
}

/// The header's version number, read without a writable open (which would stamp it).
int versionIn(const QString &path, const QString &password)
{
    return testkit::valueOf(Connection(path, password, Access::ReadOnly), "PRAGMA user_version").toInt();
}

class LedgerFile : public testkit::LedgerFixture {
protected:
    void SetUp() override {}

    /// A ledger of 50 items in May, its version set ahead of the first writable open.
    void start(const QString &key, const QString &name = QStringLiteral("books.mdb"))
    {
        password = key;
        path = dir.filePath(name);
        createLedger(path, password);
        Connection(path, password).execute(QStringLiteral("PRAGMA user_version=%1").arg(kLedgerVersion));
        open();
        for (int n = 0; n < 50; ++n)
            ledger->addItem(QStringLiteral("2026-05"), itemNamed(QStringLiteral("item %1").arg(n)));
    }

    /// The files in the ledger's folder, but for the engine's journal.
    QString filesBeside() const
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll(QStringLiteral("books.mdb-journal"));
        return files.join(u' ');
    }
};

class Backup : public LedgerFile, public ::testing::WithParamInterface<const char *> {};

TEST_P(Backup, HoldsEveryRowOpensWithThePasswordAndKeepsTheLock)
{
    start(QString::fromUtf8(GetParam()));
    const QString target = dir.filePath(QStringLiteral("books_bak.mdb"));
    ledger->addItem(QStringLiteral("2026-06"), itemNamed(QStringLiteral("the last one")));
    ledger->backupTo(target);
    EXPECT_EQ(testkit::secondProcessTries(path, password), kInUse) << "the backup let the ledger go";
    EXPECT_EQ(filesBeside(), QStringLiteral("books.mdb books_bak.mdb"));
    EXPECT_EQ(versionIn(target, password), kLedgerVersion) << "the header's version travels with the copy";
    {
        // The rows and the password: the maintenance test's; here the numbering and the history.
        Ledger copy(target, password);
        EXPECT_EQ(copy.addItem(QStringLiteral("2026-06"), itemNamed(QStringLiteral("x"))), 52);
        EXPECT_EQ(copy.historySteps().size(), 52u) << "the history travels with the copy";
    }

    // Never over the ledger itself, whichever way it is named.
    const QString linkedFolder = dir.filePath(QStringLiteral("linked"));
    ASSERT_TRUE(QFile::link(dir.path(), linkedFolder));
    for (const QString &self : {path, linkedFolder + QStringLiteral("/books.mdb")})
        EXPECT_THROW(ledger->backupTo(self), DbError) << qPrintable(self);
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-05")).size(), 50u);
}

INSTANTIATE_TEST_SUITE_P(EncryptedAndPlain, Backup, ::testing::Values("pw 密码", ""));

TEST_F(LedgerFile, PasswordsSetChangedAndClearedWhileTheLedgerStaysHeld)
{
    start({});
    const QString steps[] = {QStringLiteral("first one"), QStringLiteral(" 二 'o\"k' [x]] "), QString()};
    QString current;
    QList<QByteArray> salts;
    for (const QString &next : steps) {
        ledger->changePassword(current, next);
        EXPECT_EQ(testkit::secondProcessTries(path, next), kInUse) << "the re-key let the ledger go";
        ledger->addItem(QStringLiteral("2026-06"), itemNamed(next));
        ASSERT_TRUE(ledger->undo() && ledger->redo()) << "the history's statements follow the new handle";
        EXPECT_EQ(filesBeside(), QStringLiteral("books.mdb")) << "nothing left beside it";
        ledger.reset();
        if (!next.isEmpty()) {
            EXPECT_FALSE(bytesOf(path).contains("SAFE-BEHIND-SHELF")) << "the file on disk is not plain text";
            // The store keys the copy itself; what it wrote must be what the
            // engine derives from the password and the salt the file took.
            EXPECT_EQ(testkit::itemsReadByTheEngineAlone(path, next.toUtf8()), 50 + salts.size() + 1);
            const QByteArray salt = bytesOf(path).left(16);
            EXPECT_FALSE(salts.contains(salt)) << "every re-keyed file draws a salt of its own";
            salts << salt;
        }
        EXPECT_EQ(versionIn(path, next), kLedgerVersion) << "the header's version travels with the re-key";
        EXPECT_THROW(Ledger(path, current), DbError);
        ledger = std::make_unique<Ledger>(path, next);
        current = next;
    }
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-06")).size(), 3u);
    EXPECT_EQ(ledger->addItem(QStringLiteral("2026-07"), itemNamed(QStringLiteral("next"))), 54);
    EXPECT_EQ(ledger->historySteps().size(), 54u);
}

// Through a symbolic link the real file is re-keyed; the link stays a link.
TEST_F(LedgerFile, ThroughALinkTheRealFileTakesTheNewPassword)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    start(QStringLiteral("old"), QStringLiteral("real/books.mdb"));
    const QString real = path;
    const QString link = dir.filePath(QStringLiteral("books.mdb"));
    ASSERT_TRUE(QFile::link(real, link));
    ledger.reset();
    ledger = std::make_unique<Ledger>(link, QStringLiteral("old"));
    ledger->changePassword(QStringLiteral("old"), QStringLiteral("new"));
    EXPECT_EQ(ledger->path(), link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(testkit::secondProcessTries(link, QStringLiteral("new")), kInUse);
    ledger->addItem(QStringLiteral("2026-06"), itemNamed(QStringLiteral("after")));
    ledger.reset();
    EXPECT_THROW(Ledger(real, QStringLiteral("old")), DbError);
    EXPECT_EQ(itemsIn(real, QStringLiteral("new"), QStringLiteral("2026-06")), 1u);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("real"))).entryList({QStringLiteral("books.mdb.*")}),
              QStringList());
}

// A failure at any step leaves the ledger open and usable under its old
// password, held against other programs, with nothing left beside it.
TEST_F(LedgerFile, AFailedPasswordChangeLeavesTheLedgerOpenUnderTheOldPassword)
{
    start(QStringLiteral("old"));
    int written = 0;
    for (const char *step : {"rekey-copied", "rekey-linked", "rekey-renamed", "rekey-reopened"}) {
        qputenv("ZAMBREL_TEST_POINT", QByteArray("fail:") + step);
        EXPECT_EQ(
            testkit::kindOf([&] { ledger->changePassword(QStringLiteral("old"), QStringLiteral("new")); }),
            ErrorKind::InputOutput)
            << step;
        qunsetenv("ZAMBREL_TEST_POINT");
        EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("old")), kInUse) << step;
        EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("new")), kInUse) << step;
        ledger->addItem(QStringLiteral("2026-06"), itemNamed(QString::fromLatin1(step)));
        ++written;
        EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-06")).size(), std::size_t(written)) << step;
        EXPECT_EQ(filesBeside(), QStringLiteral("books.mdb")) << step;
    }
    ledger.reset();
    EXPECT_THROW(Ledger(path, QStringLiteral("new")), DbError);
    EXPECT_EQ(itemsIn(path, QStringLiteral("old"), QStringLiteral("2026-06")), 4u);
}

} // namespace
