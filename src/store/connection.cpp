#include "connection.h"

#include "ledger_schema.h"
#include "sqlite_support.h"
#include "statement.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <optional>
#include <utility>

namespace zambrel::store {
namespace {

QByteArray passwordDigest(const QString &password, const QByteArray &salt)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

/// Refuses, without opening it, what cannot be a ledger file, naming what
/// the path is instead.
void checkPath(const QString &path)
{
    const std::optional<LedgerFileLook> look = lookAtPath(path);
    if (!look)
        return;
    switch (*look) {
    case LedgerFileLook::Missing:
        throw DbError(ErrorKind::Missing, path);
    case LedgerFileLook::Folder:
        throw DbError(ErrorKind::NotALedger, path + QStringLiteral(" (文件夹 a folder)"));
    case LedgerFileLook::Device:
        throw DbError(ErrorKind::NotALedger, path + QStringLiteral(" (设备 a device)"));
    case LedgerFileLook::Pipe:
        throw DbError(ErrorKind::NotALedger, path + QStringLiteral(" (管道 a pipe)"));
    case LedgerFileLook::Special:
        throw DbError(ErrorKind::NotALedger, path + QStringLiteral(" (不是普通文件 not a regular file)"));
    case LedgerFileLook::NotADatabase:
        throw DbError(ErrorKind::NotALedger, path);
    case LedgerFileLook::Unreadable: // opening it says why
    case LedgerFileLook::Unencrypted:
    case LedgerFileLook::Encrypted:
        break;
    }
}

} // namespace

void SqliteCloser::operator()(sqlite3 *db) const noexcept
{
    sqlite3_close_v2(db);
}

Connection::Connection(const QString &path, const QString &password, Access access,
                       std::chrono::milliseconds lockWait, LedgerKeys *keys)
    : m_access(access)
{
    if (path.isEmpty())
        throw DbError(ErrorKind::Other, QStringLiteral("没有指定账本文件 No ledger file given"));
    m_path = QFileInfo(path).absoluteFilePath();
    checkPath(m_path);
    // The engine opens the file itself, so that its journal lies beside the
    // file under the file's own name whichever link was followed to it.
    m_file = QFileInfo(m_path).canonicalFilePath();
    if (m_file.isEmpty())
        m_file = m_path;

    const bool readOnly = access == Access::ReadOnly;
    m_db = openHandle(m_file, password, readOnly, keys);
    if (!readOnly && sqlite3_db_readonly(m_db.get(), "main") == 1)
        throw DbError(ErrorKind::ReadOnly, m_path);
    sqlite3_busy_timeout(m_db.get(), int(lockWait.count()));
    // The header is read through this handle: a handle opened only to look
    // would drop, when closed, locks this process holds on the file.
    checkFile(password, hasPlainHeader(m_db.get()));
    if (!readOnly) {
        // Share-deny-read/write: the exclusive lock is held from now on.
        runSql(m_db.get(), "BEGIN EXCLUSIVE");
        runSql(m_db.get(), "COMMIT");
    }
    sqlite3_busy_timeout(m_db.get(), 0);
    // Up to 32 MiB of decrypted pages stay in memory. The file is locked
    // while it is open, so they never go stale, and a read of a whole table
    // (a journal search) decrypts each page once, not on every read.
    runSql(m_db.get(), "PRAGMA cache_size=-32768");
    m_salt = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    m_passwordDigest = passwordDigest(password, m_salt);
}

void Connection::checkFile(const QString &password, bool plain)
{
    // The header told a plain ledger (the engine's own header) from an
    // encrypted one (random bytes), before any password is tried.
    if (plain && !password.isEmpty())
        throw DbError(ErrorKind::WrongPassword,
                      m_path + QStringLiteral(" (这个账本没有密码 this ledger has no password)"));
    // Random bytes are what an encrypted ledger looks like, and noise too.
    const QString orNoLedger = m_path + QStringLiteral(" (或者不是账本文件 or it is no ledger file)");
    if (!plain && password.isEmpty())
        throw DbError(ErrorKind::WrongPassword, orNoLedger);

    // Every read from here on keeps the file locked for reading (a writer
    // takes the exclusive lock on top), so no other process can change it
    // between the checks and the lock.
    runSql(m_db.get(), "PRAGMA locking_mode=EXCLUSIVE");
    // The first read proves the password. Only a journal left by a crash,
    // in a file that took the password, is played back by it.
    const int rc = sqlite3_exec(m_db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if ((rc & 0xff) == SQLITE_NOTADB)
        throw plain ? DbError(ErrorKind::NotALedger, m_path) : DbError(ErrorKind::WrongPassword, orNoLedger);
    if (rc != SQLITE_OK)
        throw engineError(m_db.get(), rc, m_path);
    checkLedgerSchema(*this);
}

Connection::~Connection() = default;

Connection::Connection(Connection &&other) noexcept = default;

Connection &Connection::operator=(Connection &&other) noexcept
{
    if (this != &other) {
        // The handle goes before any descriptor kept for its locks.
        m_db.reset();
        m_lockKeeper = std::move(other.m_lockKeeper);
        m_db = std::move(other.m_db);
        m_path = std::move(other.m_path);
        m_file = std::move(other.m_file);
        m_access = other.m_access;
        m_salt = std::move(other.m_salt);
        m_passwordDigest = std::move(other.m_passwordDigest);
    }
    return *this;
}

qint64 Connection::lastInsertedRow() const
{
    return sqlite3_last_insert_rowid(m_db.get());
}

int Connection::changedRows() const
{
    return sqlite3_changes(m_db.get());
}

bool Connection::opensWith(const QString &password) const
{
    return passwordDigest(password, m_salt) == m_passwordDigest;
}

void Connection::execute(const QString &sql)
{
    Statement(*this, sql.toUtf8().constData()).run();
}

void Connection::keepOpenAfterClose(FileDescriptor descriptor)
{
    m_lockKeeper = std::move(descriptor);
}

} // namespace zambrel::store
