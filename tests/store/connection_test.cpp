// Opening a ledger file: what is refused, and how (with the kind and the
// words the user reads), that a refused file is never written, and how the
// file is held against other openers once it is open.
#include "ledger_fixture.h"
#include "raw_ledger_writes.h"

#include <QDir>
#include <QElapsedTimer>

#include <sys/stat.h>

using namespace zambrel;
using namespace zambrel::store;
using testkit::bytesOf;
using testkit::kInUse;
using testkit::writeFile;

namespace {

std::optional<DbError> openError(const QString &path, const QString &password = {},
                                 Access access = Access::ReadWrite)
{
    return testkit::errorOf([&] { const Connection connection(path, password, access); });
}

} // namespace

// The logon reads before it writes: a file it refuses is left exactly as it
// was, whatever password was typed, and what is not a file is never opened.
TEST(LedgerOpening, RefusesWhatIsNoLedgerSayingWhatItIs)
{
    QTemporaryDir dir;
    const auto at = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    writeFile(at("empty.mdb"), {});
    writeFile(at("notes.mdb"), "household notes\n");
    writeFile(at("noise.mdb"), QByteArray(4096, 'x'));
    writeFile(at("header.mdb"), QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'x'));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mdb")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe.mdb")).constData(), 0600), 0);
    createLedger(at("plain.mdb"));
    createLedger(at("keyed.mdb"), QStringLiteral("pw"));

    const QString notALedger = QStringLiteral("不是账本文件 Not a ledger file: %1");
    const QString wrong = QStringLiteral("密码不符 The password does not match: %1 (%2)");
    const QString orNoLedger =
        wrong.arg(QStringLiteral("%1"), QStringLiteral("或者不是账本文件 or it is no ledger file"));
    const struct {
        const char *name, *password;
        ErrorKind kind;
        QString text;
    } cases[] = {
        {"missing.mdb", "", ErrorKind::Missing, QStringLiteral("找不到账本文件 Ledger file not found: %1")},
        {"folder.mdb", "", ErrorKind::NotALedger, notALedger + QStringLiteral(" (文件夹 a folder)")},
        {"pipe.mdb", "", ErrorKind::NotALedger, notALedger + QStringLiteral(" (管道 a pipe)")},
        {"/dev/zero", "", ErrorKind::NotALedger, notALedger + QStringLiteral(" (设备 a device)")},
        {"empty.mdb", "", ErrorKind::NotALedger, notALedger},
        {"notes.mdb", "pw", ErrorKind::NotALedger, notALedger},
        {"header.mdb", "", ErrorKind::NotALedger, notALedger},
        {"noise.mdb", "", ErrorKind::WrongPassword, orNoLedger},
        {"noise.mdb", "pw", ErrorKind::WrongPassword, orNoLedger},
        {"keyed.mdb", "other", ErrorKind::WrongPassword, orNoLedger},
        {"plain.mdb", "pw", ErrorKind::WrongPassword,
         wrong.arg(QStringLiteral("%1"), QStringLiteral("这个账本没有密码 this ledger has no password"))},
    };
    for (const auto &c : cases) {
        const QString path = *c.name == '/' ? QString::fromLatin1(c.name) : at(c.name);
        const QByteArray before = QFileInfo(path).isFile() ? bytesOf(path) : QByteArray();
        QElapsedTimer clock;
        clock.start();
        const auto error = openError(path, QString::fromUtf8(c.password));
        ASSERT_TRUE(error) << qPrintable(path);
        EXPECT_EQ(error->kind(), c.kind) << qPrintable(path);
        EXPECT_EQ(error->description(), c.text.arg(path));
        EXPECT_LT(clock.elapsed(), 5000) << "never blocked on " << qPrintable(path);
        if (QFileInfo(path).isFile()) {
            EXPECT_EQ(bytesOf(path), before) << qPrintable(path) << " was changed";
        }
    }
    EXPECT_FALSE(QFile::exists(at("missing.mdb"))) << "a missing ledger is never created";
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).join(u' '),
        QStringLiteral("empty.mdb folder.mdb header.mdb keyed.mdb noise.mdb notes.mdb pipe.mdb plain.mdb"))
        << "nothing was made beside them";
    EXPECT_EQ(lookAtLedgerFile(at("plain.mdb")), LedgerFileLook::Unencrypted);
    EXPECT_EQ(lookAtLedgerFile(at("keyed.mdb")), LedgerFileLook::Encrypted);
    EXPECT_EQ(lookAtLedgerFile(at("pipe.mdb")), LedgerFileLook::Pipe);
    EXPECT_EQ(lookAtLedgerFile(at("missing.mdb")), LedgerFileLook::Missing);
}

// A ledger lacking a column the program uses is refused with one message
// naming it, and is left as it was.
TEST(LedgerOpening, ALedgerMissingColumnsIsRefusedNamingThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path, QStringLiteral("pw"));
    const auto run = [](const QString &file, const QString &password,
                        std::initializer_list<const char *> sql) {
        Connection raw(file, password);
        for (const char *statement : sql)
            raw.execute(QString::fromLatin1(statement));
    };
    run(path, QStringLiteral("pw"),
        {"DROP TABLE AssetType", "CREATE TABLE AssetType (types TEXT)", "DROP TABLE log"});
    const QByteArray before = bytesOf(path);
    const auto error = openError(path, QStringLiteral("pw"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ErrorKind::Damaged);
    EXPECT_EQ(error->description(),
              QStringLiteral("账本已损坏：缺少 AssetType.kind、AssetType.index、log Ledger damaged: missing "
                             "AssetType.kind, AssetType.index, log"));
    EXPECT_EQ(bytesOf(path), before);

    // A database of other tables altogether is no ledger at all.
    const QString foreign = dir.filePath(QStringLiteral("foreign.mdb"));
    createLedger(foreign);
    run(foreign, {},
        {"DROP TABLE Asset", "DROP TABLE AssetType", "DROP TABLE log", "CREATE TABLE notes (x)"});
    EXPECT_EQ(openError(foreign)->description(),
              QStringLiteral("不是账本文件 Not a ledger file: ") + foreign);
}

// While open, the file is held: a second opener is refused at once, and the
// first keeps its hold (a holder in another process: the other-ledger test).
TEST(LedgerHold, ASecondOpenerIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path, QStringLiteral("secret"));
    const Ledger ledger(path, QStringLiteral("secret"));
    QElapsedTimer clock;
    clock.start();
    const auto error = openError(path, QStringLiteral("secret"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ErrorKind::InUse);
    EXPECT_EQ(error->description(), QStringLiteral("账本正在使用中 The ledger is in use"));
    EXPECT_LT(clock.elapsed(), 5000) << "the second opener must not wait";
    EXPECT_EQ(lookAtLedgerFile(path), LedgerFileLook::Encrypted);
    // Neither the refused opener nor the look at the file let go of the hold.
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("secret")), kInUse);
}

// Opened read-only, a ledger reads as usual, refuses every write with our
// own words naming it, and keeps other programs from writing meanwhile.
TEST(LedgerHold, ReadOnlyReadsRefusesWritesAndKeepsWritersOut)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path);
    const Item item = testkit::item(QStringLiteral("工资"), QStringLiteral("pay"));
    Ledger(path, {}).addItem(QStringLiteral("2026-01"), item);
    const QByteArray before = bytesOf(path);
    auto reader = std::make_unique<Ledger>(path, QString(), Access::ReadOnly);
    Ledger &ledger = *reader;
    EXPECT_EQ(ledger.monthItems(QStringLiteral("2026-01")).size(), 1u);
    ledger.backupTo(dir.filePath(QStringLiteral("copy.mdb")));
    const QString readOnly = QStringLiteral("账本是只读的 The ledger is read-only: ") + path;
    for (const auto &write : std::initializer_list<std::function<void()>>{
             [&] { ledger.addItem(QStringLiteral("2026-02"), item); },
             [&] { ledger.carryForward(QStringLiteral("2026-01"), QStringLiteral("2026-02")); },
             [&] { ledger.changePassword({}, QStringLiteral("x")); },
             [&] { ledger.restoreFrom(dir.filePath(QStringLiteral("copy.mdb")), {}); }}) {
        const auto error = testkit::errorOf(write);
        ASSERT_TRUE(error) << "a read-only ledger was written";
        EXPECT_EQ(error->kind(), ErrorKind::ReadOnly);
        EXPECT_EQ(error->description(), readOnly);
    }
    EXPECT_EQ(testkit::secondProcessTries(path), kInUse) << "no writer while it is read";
    EXPECT_FALSE(openError(path, {}, Access::ReadOnly)) << "other readers are welcome";
    reader.reset();
    EXPECT_EQ(bytesOf(path), before);
}

// A new ledger's key is derived by the store with a salt it draws: another
// program keying the file with the password alone must read it.
TEST(LedgerSchema, NewLedgersDrawTheirOwnSaltAndOpenWithThePasswordAlone)
{
    QTemporaryDir dir;
    QList<QByteArray> salts;
    for (const QString &name : {QStringLiteral("one.mdb"), QStringLiteral("two.mdb")}) {
        const QString path = dir.filePath(name);
        createLedger(path, QStringLiteral("同一个密码"));
        EXPECT_EQ(testkit::itemsReadByTheEngineAlone(path, QStringLiteral("同一个密码").toUtf8()), 0);
        EXPECT_EQ(testkit::itemsReadByTheEngineAlone(path, "another"), -1);
        salts << testkit::bytesOf(path).left(16);
    }
    EXPECT_NE(salts[0], salts[1]);
    EXPECT_FALSE(salts[0].startsWith("SQLite format 3"));
}

TEST(LedgerSchema, CreateIsAtomicAndNeverOverwrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path);
    EXPECT_THROW(createLedger(path, QStringLiteral("x")), DbError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("books.mdb")});
}
