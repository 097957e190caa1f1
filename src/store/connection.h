#pragma once

#include "safe_file.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

struct sqlite3;

namespace zambrel::store {

class LedgerKeys;

struct SqliteCloser {
    void operator()(sqlite3 *db) const noexcept;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

/// How a ledger is held while it is open.
enum class Access {
    ReadWrite, ///< locked exclusively: no other process reads or writes it
    ReadOnly,  ///< opened read-only and locked for reading: others may read, none may write
};

/// An open ledger file (SQLCipher underneath). The file must exist and is
/// never created here. Before anything can be written, it is checked by
/// reading: what the path names (a file, not a folder, pipe or device), the
/// header, the password, and every table and column the program uses. Then
/// it is locked (see Access) until the connection is destroyed; a second
/// opener, in this process or another, is refused at once with InUse.
///
/// Moves, does not copy. Keeps no password, only a salted digest of it.
class Connection {
public:
    /// @throws DbError Missing, NotALedger (naming what the path is instead),
    /// WrongPassword, Damaged (naming what is missing), InUse, ReadOnly (a
    /// file that cannot be written, opened ReadWrite), InputOutput.
    /// `lockWait` is how long to wait for a reader that holds the file for a
    /// moment before the lock is taken (none: refused at once).
    /// The key comes through `keys` when given (see LedgerKeys).
    Connection(const QString &path, const QString &password, Access access = Access::ReadWrite,
               std::chrono::milliseconds lockWait = {}, LedgerKeys *keys = nullptr);
    ~Connection();
    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const noexcept { return m_db.get(); }
    /// The path as given, made absolute (a symbolic link stays a link).
    QString path() const { return m_path; }
    /// The file itself, links resolved: what the engine has open.
    QString file() const { return m_file; }
    Access access() const { return m_access; }

    /// The row id of the row the last INSERT on this connection added.
    qint64 lastInsertedRow() const;
    /// The number of rows the last INSERT, UPDATE or DELETE wrote.
    int changedRows() const;

    /// True when `password` is the one this ledger was opened with.
    bool opensWith(const QString &password) const;

    /// Runs one statement that takes no values and returns no rows: set-up,
    /// and the raw writes of tests that damage a ledger. @throws DbError
    void execute(const QString &sql);

    /// Keeps `descriptor` open until the handle has been closed. Closing any
    /// descriptor of a file drops every lock this process holds on it, so a
    /// descriptor that held the file's locks before the handle took them
    /// must live as long as the handle.
    void keepOpenAfterClose(FileDescriptor descriptor);

private:
    void checkFile(const QString &password, bool plain);

    // Declared before the handle so that it is closed after it.
    FileDescriptor m_lockKeeper;
    SqliteHandle m_db;
    QString m_path;
    QString m_file;
    Access m_access = Access::ReadWrite;
    QByteArray m_salt;
    QByteArray m_passwordDigest;
};

} // namespace zambrel::store
