#include "sqlite_support.h"

#include "key_derivation.h"
#include "safe_file.h"
#include "statement.h"
#include "vector_registers.h"

#include "base/scope_guard.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace zambrel::store {

DbError engineError(sqlite3 *db, int resultCode, const QString &path)
{
    int primary = resultCode & 0xff;
    if (primary == SQLITE_ERROR && db) {
        // A failure inside a function (the export of a copy) reaches the
        // caller as a plain error in the engine's own words for what it was.
        const char *words = sqlite3_errmsg(db);
        for (const int code : {SQLITE_FULL, SQLITE_IOERR, SQLITE_READONLY, SQLITE_CORRUPT, SQLITE_NOTADB}) {
            if (std::strcmp(words, sqlite3_errstr(code)) == 0)
                primary = code;
        }
    }
    const char *mainFile = db ? sqlite3_db_filename(db, "main") : nullptr;
    const QString file = !path.isEmpty() ? path : mainFile ? QString::fromUtf8(mainFile) : QString();
    // The system's error number is current only after these codes.
    const int systemError =
        db && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) ? sqlite3_system_errno(db) : 0;
    if (primary == SQLITE_FULL || isDiskFull(systemError))
        return DbError(ErrorKind::DiskFull, file);
    const QString engineWords =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError(ErrorKind::InUse);
    case SQLITE_READONLY:
        return DbError(ErrorKind::ReadOnly, file);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return DbError(ErrorKind::InputOutput,
                       file + QStringLiteral(" (") +
                           (systemError ? QString::fromLocal8Bit(std::strerror(systemError)) : engineWords) +
                           QLatin1Char(')'));
    case SQLITE_CONSTRAINT:
        return DbError(ErrorKind::Constraint, engineWords);
    case SQLITE_CORRUPT:
        return DbError(ErrorKind::Damaged, QStringLiteral("数据页读不出来"),
                       QStringLiteral("pages do not read back: ") + file + QStringLiteral(" (") +
                           engineWords + QLatin1Char(')'));
    case SQLITE_NOTADB:
        return DbError(ErrorKind::NotALedger, file);
    default:
        return DbError(ErrorKind::Failed, engineWords);
    }
}

void runSql(sqlite3 *db, const char *sql, const QString &path)
{
    clearVectorUpperHalves();
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw engineError(db, rc, path);
}

QByteArray engineKey(const QByteArray &password, const QByteArray &head)
{
    if (password.isEmpty())
        return {};
    if (head.isEmpty())
        return rawLedgerKey(password, newLedgerSalt(), true);
    if (head.size() == kLedgerSaltBytes && !isPlainHeader(head))
        return rawLedgerKey(password, head);
    return password;
}

LedgerKeys::~LedgerKeys()
{
    forget();
}

QByteArray LedgerKeys::engineKey(const QByteArray &password, const QByteArray &head)
{
    const bool newFile = head.isEmpty();
    // Only a salt has a key to keep: an encrypted file's, or one drawn for a
    // new file (which is opened again under it once written).
    if (password.isEmpty() || (!newFile && (head.size() != kLedgerSaltBytes || isPlainHeader(head))))
        return store::engineKey(password, head);
    // Held while a key is derived: a second thread opening another copy
    // waits for the key it would otherwise derive a second time.
    const std::lock_guard lock(m_mutex);
    if (!newFile) {
        for (const Kept &kept : m_kept) {
            if (kept.password == password && kept.salt == head)
                return kept.key;
        }
    }
    // A few are enough (the ledger's own, a backup under another password);
    // wrong passwords tried on copies must not pile up.
    constexpr std::size_t kKeysKept = 8;
    if (m_kept.size() == kKeysKept) {
        wipe(m_kept.front().password);
        wipe(m_kept.front().key);
        m_kept.erase(m_kept.begin());
    }
    // A new file takes its salt from the form the engine is given; the key
    // kept is the same form without it.
    const QByteArray salt = newFile ? newLedgerSalt() : head;
    const QByteArray form = rawLedgerKey(password, salt, newFile);
    m_kept.push_back({password, salt, newFile ? form.left(2 + 2 * kLedgerKeyBytes) + '\'' : form});
    return form;
}

void LedgerKeys::forget()
{
    const std::lock_guard lock(m_mutex);
    for (Kept &kept : m_kept) {
        wipe(kept.password);
        wipe(kept.key);
    }
    m_kept.clear();
}

namespace {

QByteArray engineKeyThrough(LedgerKeys *keys, const QByteArray &password, const QByteArray &head)
{
    return keys ? keys->engineKey(password, head) : engineKey(password, head);
}

} // namespace

void attachFile(sqlite3 *db, const QString &file, const char *schema, const QByteArray &password,
                const QByteArray &head, LedgerKeys *keys)
{
    QByteArray key = engineKeyThrough(keys, password, head);
    const base::ScopeGuard wipeKey([&key] { wipe(key); });
    Statement attach(db, (QByteArray("ATTACH DATABASE ?1 AS ") + schema + " KEY ?2").constData());
    attach.bind(1, QString::fromLocal8Bit(QFile::encodeName(file)));
    attach.bindUtf8(2, key);
    attach.run();
}

namespace {

/// Gives the handle the ledger's key, as engineKey() says from the file's
/// first bytes, through `keys` when given.
void keyHandle(sqlite3 *db, const QString &password, const QString &path, LedgerKeys *keys)
{
    const QByteArray head = EngineFile(db).read(0, kLedgerSaltBytes);
    QByteArray secret = password.toUtf8();
    const base::ScopeGuard wipeSecret([&secret] { wipe(secret); });
    QByteArray key = engineKeyThrough(keys, secret, head);
    const int rc = sqlite3_key(db, key.constData(), int(key.size()));
    wipe(key);
    if (rc != SQLITE_OK)
        throw engineError(db, SQLITE_ERROR, path);
}

} // namespace

SqliteHandle openHandle(const QString &path, const QString &password, bool readOnly, LedgerKeys *keys)
{
    sqlite3 *raw = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing file must never become a new, empty
    // ledger. One thread uses a handle at a time, so it needs no mutex of its own.
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw engineError(db.get(), rc, path);
    if (!password.isEmpty())
        keyHandle(db.get(), password, path, keys);
    sqlite3_busy_timeout(db.get(), 0);
    return db;
}

EngineFile::EngineFile(sqlite3 *db) : m_db(db)
{
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &m_file) != SQLITE_OK || !m_file ||
        !m_file->pMethods)
        throw engineError(db, SQLITE_CANTOPEN);
}

qint64 EngineFile::size() const
{
    sqlite3_int64 size = 0;
    if (m_file->pMethods->xFileSize(m_file, &size) != SQLITE_OK)
        throw engineError(m_db, SQLITE_IOERR);
    return size;
}

QByteArray EngineFile::read(qint64 offset, qint64 count) const
{
    QByteArray bytes(qsizetype(std::max<qint64>(0, std::min(count, size() - offset))), '\0');
    if (!bytes.isEmpty() &&
        m_file->pMethods->xRead(m_file, bytes.data(), int(bytes.size()), offset) != SQLITE_OK)
        throw engineError(m_db, SQLITE_IOERR);
    return bytes;
}

void testPoint(const char *point)
{
    const char *wanted = std::getenv("ZAMBREL_TEST_POINT");
    if (!wanted)
        return;
    const char *colon = std::strchr(wanted, ':');
    if (!colon || std::strcmp(colon + 1, point) != 0)
        return;
    if (std::strncmp(wanted, "fail:", 5) == 0)
        throw DbError(ErrorKind::InputOutput, QStringLiteral("test failure at ") + QLatin1String(point));
    if (std::strncmp(wanted, "pause:", 6) == 0) {
        std::printf("paused %s\n", point);
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
}

} // namespace zambrel::store
