#include "ledger_copy.h"

#include "connection.h"
#include "key_derivation.h"
#include "safe_file.h"
#include "sqlite_support.h"
#include "statement.h"

#include "base/scope_guard.h"

#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zambrel::store {
namespace {

using namespace std::chrono_literals;

// The bytes the engine locks (its PENDING byte, the RESERVED byte after it
// and the 510 bytes of the SHARED range): a write lock on them keeps every
// other process's engine out of the file.
constexpr off_t kLockBytesStart = 0x40000000;
constexpr off_t kLockBytesLength = 512;

// How long a new ledger file waits, before it is locked, for a reader that
// opened it in the moment between the rename and the lock and is leaving:
// the bytes above keep it from writing, not from looking.
constexpr std::chrono::milliseconds kLockWait = 10s;

int headerValue(sqlite3 *db, const char *pragma)
{
    Statement read(db, pragma);
    return read.step() ? int(read.integer(0)) : 0;
}

void lockAsTheEngineDoes(int fd, const QString &path)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kLockBytesStart;
    lock.l_len = kLockBytesLength;
    if (::fcntl(fd, F_SETLK, &lock) != 0)
        throw fileError(errno, path);
}

QString uniqueName(const QString &path, const char *marker)
{
    return path + QLatin1String(marker) + QString::number(QRandomGenerator::global()->generate(), 16);
}

} // namespace

void copyLedgerFile(const Connection &connection, PendingFile &copy)
{
    sqlite3 *db = connection.handle();
    if (!sqlite3_get_autocommit(db))
        throw DbError(ErrorKind::Failed, QStringLiteral("事务未完成 A transaction is under way"));
    const EngineFile file(db);
    const qint64 size = file.size();
    constexpr qint64 kPiece = qint64(1) << 20;
    for (qint64 offset = 0; offset < size; offset += kPiece) {
        copy.write(file.read(offset, kPiece));
        testPoint("backup-writing");
    }
}

void copyLedgerInto(const Connection &connection, const QString &file, const QString &password,
                    LedgerKeys *keys, const QString &shownPath)
{
    sqlite3 *db = connection.handle();
    {
        QByteArray secret = password.toUtf8();
        const base::ScopeGuard wipeSecret([&secret] { wipe(secret); });
        attachFile(db, file, "copy", secret, {}, keys);
    }
    base::ScopeGuard detach([db] { sqlite3_exec(db, "DETACH DATABASE copy", nullptr, nullptr, nullptr); });
    // A copy that fails half-way is thrown away whole: it needs no journal.
    runSql(db, "PRAGMA copy.journal_mode=OFF", shownPath);
    const int userVersion = headerValue(db, "PRAGMA main.user_version");
    const int applicationId = headerValue(db, "PRAGMA main.application_id");
    runSql(db, "SELECT sqlcipher_export('copy')", shownPath);
    // PRAGMA takes no bound values; these are numbers read just above.
    runSql(db, QByteArray("PRAGMA copy.user_version=" + QByteArray::number(userVersion)).constData(),
           shownPath);
    runSql(db, QByteArray("PRAGMA copy.application_id=" + QByteArray::number(applicationId)).constData(),
           shownPath);
    detach.dismiss();
    runSql(db, "DETACH DATABASE copy", shownPath);
}

void rekeyLedger(Connection &connection, const QString &newPassword, LedgerKeys *keys)
{
    const QString ledger = connection.file();
    const QByteArray ledgerName = QFile::encodeName(ledger);

    // The copy under the new key, complete on disk, and locked as the engine
    // locks a ledger before it takes the ledger's name.
    PendingFile copy(ledger, ".rekey-");
    copyLedgerInto(connection, copy.path(), newPassword, keys, ledger);
    copy.sync();
    lockAsTheEngineDoes(copy.fd(), ledger);
    testPoint("rekey-copied");

    // A second name for the old file, so that a failure from here on can put
    // it back; the connection keeps it open (and locked) meanwhile.
    const QString oldFile = uniqueName(ledger, ".old-");
    const QByteArray oldName = QFile::encodeName(oldFile);
    if (::link(ledgerName.constData(), oldName.constData()) != 0)
        throw fileError(errno, ledger);
    base::ScopeGuard dropOld([&oldName] { ::unlink(oldName.constData()); });
    testPoint("rekey-linked");

    if (std::rename(QFile::encodeName(copy.path()).constData(), ledgerName.constData()) != 0)
        throw fileError(errno, ledger);
    // The copy is the ledger now: its descriptor holds the locks until the
    // new connection holds them too, and must outlive that connection.
    FileDescriptor lockHolder = copy.release();
    syncFolderOf(ledger);
    try {
        testPoint("rekey-renamed");
        Connection rekeyed(connection.path(), newPassword, Access::ReadWrite, kLockWait, keys);
        if (rekeyed.file() != ledger)
            throw DbError(ErrorKind::Other,
                          QStringLiteral("账本文件被换掉了 The ledger file was replaced: ") +
                              connection.path());
        rekeyed.keepOpenAfterClose(std::move(lockHolder));
        testPoint("rekey-reopened");
        connection = std::move(rekeyed);
    } catch (...) {
        // The old file back under its name; the connection never let it go.
        if (std::rename(oldName.constData(), ledgerName.constData()) == 0)
            syncFolderOf(ledger);
        else
            dropOld.dismiss(); // keep the old file under its second name rather than lose it
        throw;
    }
    dropOld.dismiss();
    ::unlink(oldName.constData());
    syncFolderOf(ledger);
}

} // namespace zambrel::store
