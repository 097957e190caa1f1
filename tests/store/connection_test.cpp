#include "store_test_support.h"

#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::store;

namespace {

long openError(const QString &connectionString, QString *description = nullptr)
{
    Connection connection;
    try {
        connection.open(connectionString);
    } catch (const DbError &error) {
        if (description)
            *description = error.description();
        return error.number();
    }
    return 0;
}

QString memoOf(Connection &connection, int code)
{
    auto rows = connection.execute(QStringLiteral("select memo from asset where code=%1").arg(code));
    return rows->value(0).toString();
}

TEST(ConnectionOpen, RefusesWhatIsNotAnOpenableLedger)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mdb"));
    QString description;
    EXPECT_EQ(openError(ledgerConnectionString(missing, {}), &description), kErrGeneric);
    EXPECT_TRUE(description.contains(QStringLiteral("找不到账本文件")));
    EXPECT_FALSE(QFile::exists(missing)) << "a missing ledger must not be created";

    const QString text = dir.filePath(QStringLiteral("notes.mdb"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_EQ(openError(ledgerConnectionString(text, {}), &description), kErrGeneric);
    EXPECT_TRUE(description.contains(QStringLiteral("Wrong password or not a ledger file")));

    // An empty file is refused as it stands, not made a database.
    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    EXPECT_EQ(openError(ledgerConnectionString(empty, {}), &description), kErrGeneric);
    EXPECT_EQ(description, QStringLiteral("不是账本文件 Not a ledger file"));
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    EXPECT_EQ(openError(QStringLiteral("Provider=SQLOLEDB;Data Source=") + text), kErrGeneric);

    // Too short, or not whole pages: no database of any kind.
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    QFile noteFile(notes);
    ASSERT_TRUE(noteFile.open(QIODevice::WriteOnly));
    noteFile.write("household notes\n");
    noteFile.close();
    EXPECT_EQ(lookAtLedgerFile(notes), LedgerFileLook::NotADatabase);
    EXPECT_EQ(openError(ledgerConnectionString(notes, {}), &description), kErrGeneric);
    EXPECT_TRUE(description.startsWith(QStringLiteral("不是账本文件 Not a ledger file")))
        << description.toStdString();
    EXPECT_EQ(lookAtLedgerFile(dir.filePath(QStringLiteral("missing.mdb"))), LedgerFileLook::Missing);
}

TEST(ConnectionOpen, APasswordForALedgerWithoutOneIsWrong)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.mdb"));
    const QString keyed = dir.filePath(QStringLiteral("keyed.mdb"));
    createLedger(plain);
    createLedger(keyed, QStringLiteral("pw"));
    EXPECT_EQ(lookAtLedgerFile(plain), LedgerFileLook::Unencrypted);
    EXPECT_EQ(lookAtLedgerFile(keyed), LedgerFileLook::Encrypted);

    QString description;
    EXPECT_EQ(openError(ledgerConnectionString(plain, QStringLiteral("pw")), &description), kErrGeneric);
    EXPECT_TRUE(description.startsWith(QStringLiteral("密码不符 The password does not match")))
        << description.toStdString();
    EXPECT_EQ(openError(ledgerConnectionString(keyed, QStringLiteral("other")), &description), kErrGeneric);
    EXPECT_TRUE(description.contains(QStringLiteral("Wrong password"))) << description.toStdString();
    EXPECT_EQ(openError(ledgerConnectionString(plain, {})), 0);
}

TEST(ConnectionOpen, ConnectionStringForms)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a;b.mdb"));
    const QString password = QStringLiteral(" p;w\"d ");
    createLedger(path, password);
    const QString plain = ledgerConnectionString(path, password);
    EXPECT_EQ(openError(plain), 0);
    EXPECT_EQ(openError(QStringLiteral("Provider=MSDataShape;Data ") + plain), 0);

    // Keys in any letter case, in any order.
    const QString simple = dir.filePath(QStringLiteral("simple.mdb"));
    createLedger(simple, QStringLiteral("pw"));
    EXPECT_EQ(openError(QStringLiteral("jet oledb:DATABASE password=pw;DATA SOURCE=") + simple +
                        QStringLiteral(";provider=microsoft.jet.oledb.4.0")),
              0);

    Connection connection;
    connection.setConnectionString(plain);
    EXPECT_EQ(connection.state(), adStateClosed);
    connection.open();
    EXPECT_EQ(connection.state(), adStateOpen);
    EXPECT_EQ(connection.dataSource(), path);
    connection.close();
    EXPECT_EQ(connection.state(), adStateClosed);
    EXPECT_THROW(connection.execute(QStringLiteral("select 1")), DbError);
}

TEST(ConnectionLock, SecondOpenerInThisProcessFailsAtOnce)
{
    testkit::OpenLedger ledger;
    QElapsedTimer clock;
    clock.start();
    QString description;
    EXPECT_EQ(openError(ledger.connectionString, &description), kErrGeneric);
    EXPECT_EQ(description, QStringLiteral("账本正在使用中 The ledger is in use"));
    EXPECT_LT(clock.elapsed(), 5000) << "the second opener must not wait for the busy time-out";

    ledger.connection->close();
    EXPECT_EQ(openError(ledger.connectionString), 0) << "close releases the file";
}

TEST(ConnectionLock, AnotherProcessIsKeptOutAndKeepsUsOut)
{
    testkit::OpenLedger ledger(QStringLiteral("secret"));
    QProcess probe;
    probe.start(QStringLiteral(ZAMBREL_LOCK_PROBE), {QStringLiteral("try"), ledger.connectionString});
    ASSERT_TRUE(probe.waitForFinished(20000));
    EXPECT_EQ(probe.exitCode(), 1);
    EXPECT_TRUE(probe.readAllStandardOutput().startsWith("error 80004005 账本正在使用中"));

    ledger.connection->close();
    QProcess holder;
    holder.start(QStringLiteral(ZAMBREL_LOCK_PROBE), {QStringLiteral("hold"), ledger.connectionString});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("holding"));
    EXPECT_EQ(openError(ledger.connectionString), kErrGeneric);
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    EXPECT_EQ(openError(ledger.connectionString), 0);
}

TEST(ConnectionPassword, SetChangeAndClear)
{
    testkit::OpenLedger ledger;
    Connection &connection = *ledger.connection;
    const QString memo = QStringLiteral("保险箱密码在书架第三层 SECRET-MEMO-7781");
    connection.execute(
        QStringLiteral("insert into Asset(months,types,[name],[memo]) values('2026-03','存款','a','%1')")
            .arg(memo));

    connection.execute(QStringLiteral("Alter   Database   password    [new pass] NULL"));
    EXPECT_EQ(memoOf(connection, 1), memo) << "the connection stays usable after re-keying";
    connection.close();
    QFile file(ledger.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_FALSE(bytes.contains(memo.toUtf8()));
    EXPECT_FALSE(bytes.contains("SECRET-MEMO"));
    EXPECT_FALSE(bytes.contains("CREATE TABLE"));
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, {})), kErrGeneric);
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, QStringLiteral("wrong"))), kErrGeneric);

    connection.open(ledgerConnectionString(ledger.path, QStringLiteral("new pass")));
    connection.execute(QStringLiteral("alter database password [it's \"q\"] [new pass]"));
    connection.execute(QStringLiteral("insert into Asset(months,types) values('2026-04','存款')"));
    auto identity = connection.execute(QStringLiteral("SELECT  @@Identity  as   myid     from    asset"));
    EXPECT_EQ(identity->value(QStringLiteral("myid")).toLongLong(), 2) << "numbering survives re-keying";
    connection.close();
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, QStringLiteral("new pass"))), kErrGeneric);
    connection.open(ledgerConnectionString(ledger.path, QStringLiteral("it's \"q\"")));

    connection.execute(QStringLiteral("Alter Database password NULL [it's \"q\"]"));
    connection.close();
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, {})), 0);
    const QDir folder(ledger.dir.path());
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 1) << "no temporary files are left behind";
}

TEST(ConnectionPassword, WrongOldPasswordChangesNothing)
{
    testkit::OpenLedger ledger(QStringLiteral("old"));
    Connection &connection = *ledger.connection;
    for (const char *statement : {"Alter Database password new wrong", "Alter Database password new NULL",
                                  "Alter Database password NULL OLD"}) {
        try {
            connection.execute(QString::fromLatin1(statement));
            ADD_FAILURE() << statement;
        } catch (const DbError &error) {
            EXPECT_EQ(error.number(), kErrGeneric) << statement;
        }
    }
    EXPECT_EQ(connection.state(), adStateOpen);
    connection.close();
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, QStringLiteral("new"))), kErrGeneric);
    EXPECT_EQ(openError(ledgerConnectionString(ledger.path, QStringLiteral("old"))), 0);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

// The logon reads before it writes: a file it refuses is left exactly as it
// was, whatever password was typed.
TEST(ConnectionOpen, ARefusedFileIsNeverWritten)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty.mdb", {}},
        {"one.mdb", QByteArray("x")},
        {"tiny.mdb", QByteArray("SQLite format 3\0", 16)},
        {"text.mdb", QByteArray(4096, 'x')},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        for (const QString &password : {QString(), QStringLiteral("pw")}) {
            QString description;
            EXPECT_EQ(openError(ledgerConnectionString(path, password), &description), kErrGeneric) << c.name;
            EXPECT_TRUE(description.contains(QStringLiteral("not a ledger file"), Qt::CaseInsensitive))
                << c.name << ": " << qPrintable(description);
            EXPECT_EQ(bytesOf(path), c.bytes) << c.name << " was changed";
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4) << "nothing was made beside them";
}

// A ledger lacking a column the program uses is refused with one message
// naming it, and is left as it was.
TEST(ConnectionOpen, ALedgerMissingAColumnIsRefusedByName)
{
    // Each table is rebuilt with every column the program uses but one.
    for (const char *missing : {"Asset.memo", "Asset.code", "Asset.DebetPerMonth", "AssetType.kind",
                                "AssetType.index", "log.dates", "log.g9"}) {
        const QString table = QString::fromLatin1(missing).section(u'.', 0, 0);
        QStringList columns;
        for (const QString &required : requiredLedgerColumns()) {
            if (required.section(u'.', 0, 0) == table && required != QLatin1String(missing))
                columns << u'[' + required.section(u'.', 1) + u']';
        }
        testkit::OpenLedger ledger(QStringLiteral("pw"));
        ledger.connection->execute(QStringLiteral("DROP TABLE ") + table);
        ledger.connection->execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, columns.join(u',')));
        ledger.connection->close();
        const QByteArray before = bytesOf(ledger.path);
        QString description;
        EXPECT_EQ(openError(ledger.connectionString, &description), kErrGeneric) << missing;
        EXPECT_EQ(description, QStringLiteral("账本已损坏：缺少 %1 Ledger damaged: missing %1")
                                   .arg(QString::fromLatin1(missing)));
        EXPECT_EQ(bytesOf(ledger.path), before) << missing;
    }
    {
        testkit::OpenLedger ledger;
        ledger.connection->execute(QStringLiteral("DROP TABLE log"));
        ledger.connection->close();
        QString description;
        EXPECT_EQ(openError(ledger.connectionString, &description), kErrGeneric);
        EXPECT_EQ(description, QStringLiteral("账本已损坏：缺少 log Ledger damaged: missing log"));
    }

    // A database of other tables altogether is no ledger at all.
    testkit::OpenLedger foreign;
    for (const char *table : {"Asset", "AssetType", "log"})
        foreign.connection->execute(QStringLiteral("DROP TABLE ") + QLatin1String(table));
    foreign.connection->execute(QStringLiteral("CREATE TABLE notes (x TEXT)"));
    foreign.connection->close();
    QString description;
    EXPECT_EQ(openError(foreign.connectionString, &description), kErrGeneric);
    EXPECT_EQ(description, QStringLiteral("不是账本文件 Not a ledger file"));
}

// What the program's statements rely on from the engine, beyond the API.
TEST(ConnectionStatements, DialectErrorsAndOneStatementAtATime)
{
    testkit::OpenLedger ledger;
    Connection &connection = *ledger.connection;
    connection.execute(
        QStringLiteral("insert into Asset(months,types,[name]) values('2026-09','Salary','x')"));
    // Text "=" ignores ASCII letter case, as the statements expect.
    EXPECT_EQ(connection.execute(QStringLiteral("select * from asset where types='SALARY'"))->recordCount(),
              1);
    auto none =
        connection.execute(QStringLiteral("select SUM([TotalCost]) AS T from asset where months='x'"));
    ASSERT_EQ(none->recordCount(), 1);
    EXPECT_TRUE(none->value(QStringLiteral("t")).isNull()) << "no rows: a null the reader turns into 0";
    auto empty = connection.execute(QStringLiteral("select * from asset where 1=2"));
    EXPECT_TRUE(empty->eof() && empty->bof());
    EXPECT_EQ(empty->fieldCount(), 12);

    const QString day = QStringLiteral("insert into log (dates,g1) values('2026-04-01','a')");
    connection.execute(day);
    EXPECT_THROW(connection.execute(day), DbError) << "one row per day";
    try {
        connection.execute(QStringLiteral("selec * from asset"));
        ADD_FAILURE();
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), kErrSyntax);
    }
    // An unescaped quote cannot smuggle in a second statement.
    EXPECT_THROW(connection.execute(QStringLiteral("delete from asset where name='x'; delete from asset")),
                 DbError);
    EXPECT_EQ(connection.execute(QStringLiteral("select * from asset"))->recordCount(), 1);
    EXPECT_EQ(passwordWord(QString()), QStringLiteral("NULL"));
    EXPECT_EQ(passwordWord(QStringLiteral("a]b")), QStringLiteral("[a]]b]"));
}

TEST(LedgerSchema, CreateIsAtomicAndNeverOverwrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path);
    EXPECT_THROW(createLedger(path, QStringLiteral("x")), DbError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("books.mdb")});
    EXPECT_THROW(createLedger(dir.filePath(QStringLiteral("no/such/folder/x.mdb"))), DbError);
}

} // namespace
