#pragma once

// Internal to the store library: the SQLCipher handle and the few helpers
// that the connection, the statements, the schema and the file copies share.

#include "connection.h"
#include "db_error.h"
#include "ledger_schema.h"

#include <QByteArray>
#include <QString>

#include <mutex>
#include <optional>
#include <vector>

struct sqlite3_file;

namespace zambrel::store {

/// The DbError for a failed SQLite call, by its result code: busy or locked
/// -> InUse, read-only -> ReadOnly, full -> DiskFull, I/O -> InputOutput,
/// constraint -> Constraint, corrupt -> Damaged, not a database ->
/// NotALedger, anything else -> Failed. `path` names the file (by default
/// the handle's main database).
DbError engineError(sqlite3 *db, int resultCode, const QString &path = {});

/// Runs one statement that takes no values and returns no rows. A failure
/// names `path` (by default the handle's main database). @throws DbError
void runSql(sqlite3 *db, const char *sql, const QString &path = {});

/// What the engine is given as the key for `password` (UTF-8) on a file that
/// begins with `head` (its first kLedgerSaltBytes bytes, or fewer): for an
/// encrypted file, the key derived here from the salt it begins with; for an
/// empty file, the key with a new salt, which the file takes at its first
/// write; otherwise (a plain database's header is no salt, and the engine
/// refuses the password later) the password itself. Nothing for no password.
/// The engine's own derivation of the same key takes several times as long.
/// The caller wipes it after use. @throws DbError
QByteArray engineKey(const QByteArray &password, const QByteArray &head);

/// The keys engineKey() derived for the files of one ledger: its backups and
/// safety copies are copies of its file, salt and all, and open with the key
/// the ledger opened with. Shared by a ledger and the copies it opens, from
/// any thread; the keys are wiped when the last of them goes (or on forget()).
class LedgerKeys {
public:
    LedgerKeys() = default;
    ~LedgerKeys();
    LedgerKeys(const LedgerKeys &) = delete;
    LedgerKeys &operator=(const LedgerKeys &) = delete;

    /// engineKey(password, head), derived once for each password and salt.
    /// @throws DbError
    QByteArray engineKey(const QByteArray &password, const QByteArray &head);
    /// Wipes every key kept (the ledger's password has changed).
    void forget();

private:
    struct Kept {
        QByteArray password;
        QByteArray salt;
        QByteArray key;
    };
    std::mutex m_mutex;
    std::vector<Kept> m_kept;
};

/// Attaches `file` to the handle as `schema`, keyed for `password` as
/// engineKey() says from `head`, the file's first bytes (empty for a new,
/// empty file), through `keys` when given. @throws DbError
void attachFile(sqlite3 *db, const QString &file, const char *schema, const QByteArray &password,
                const QByteArray &head, LedgerKeys *keys = nullptr);

/// The handle on `path` (which must exist: never created here), keyed with
/// `password` when not empty; nothing is read yet. Other openers are refused
/// at once, never waited for. The key comes through `keys` when given.
/// @throws DbError
SqliteHandle openHandle(const QString &path, const QString &password, bool readOnly,
                        LedgerKeys *keys = nullptr);

/// The handle's main file as the engine has it open, read through the
/// descriptor the engine already holds: a second descriptor of the file would
/// drop every lock of the process on it when closed.
class EngineFile {
public:
    /// @throws DbError when the handle has no open file.
    explicit EngineFile(sqlite3 *db);
    /// @throws DbError
    qint64 size() const;
    /// Up to `count` bytes from `offset` (fewer at the end). @throws DbError
    QByteArray read(qint64 offset, qint64 count) const;

private:
    sqlite3 *m_db;
    sqlite3_file *m_file = nullptr;
};

/// What lookAtLedgerFile() tells from the path alone, without opening the
/// file (a pipe or a device could block or never end when read); nothing
/// for a file of whole pages, whose header tells the rest.
std::optional<LedgerFileLook> lookAtPath(const QString &path);
/// True when `head` is the engine's own 16-byte header: the beginning of a
/// database without a password (an encrypted one begins with its salt).
bool isPlainHeader(const QByteArray &head);
/// True when the handle's file begins with the engine's own header.
bool hasPlainHeader(sqlite3 *db);

/// A named moment of a backup or re-key, for tests only. When the
/// environment variable ZAMBREL_TEST_POINT is "pause:POINT", says "paused
/// POINT" on the standard output and waits to be killed, so that a crash test
/// ends the process at exactly that moment; when it is "fail:POINT", throws
/// there, so that a test takes that failure road. Otherwise does nothing.
void testPoint(const char *point);

} // namespace zambrel::store
