#pragma once

// Internal to the store library: the SQLCipher handle and the few helpers
// that connection.cpp, record_set.cpp and ledger_schema.cpp share.

#include "db_error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zambrel::store {

struct SqliteCloser {
    void operator()(sqlite3 *db) const noexcept;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const noexcept;
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

/// What a Connection is; record sets keep a weak reference to it.
struct ConnectionImpl {
    SqliteHandle db;
    QString connectionString;
    int commandTimeout = 30;
    QString path;
    /// Salted digest of the password the ledger was opened with, so that the
    /// password statement can check the old one without keeping it.
    QByteArray passwordDigest;
    QByteArray digestSalt;
};

/// The rows of one statement, read completely.
struct QueryResult {
    QStringList names;
    std::vector<std::vector<QVariant>> rows;
    bool returnsRows = false;
};

/// DbError for a failed SQLite call, by result code (busy -> in use,
/// constraint and statement errors -> kErrSyntax, not a database -> wrong
/// password or foreign file).
DbError sqliteError(sqlite3 *db, int resultCode);

/// Prepares exactly one statement (engine dialect). @throws DbError.
StatementHandle prepare(sqlite3 *db, const QString &sql);
/// Binds `value` to the 1-based parameter `index`. @throws DbError.
void bindValue(sqlite3 *db, sqlite3_stmt *statement, int index, const QVariant &value);
/// Steps a prepared statement to its end, collecting rows. @throws DbError.
QueryResult runPrepared(sqlite3 *db, sqlite3_stmt *statement);
/// prepare + runPrepared.
QueryResult run(sqlite3 *db, const QString &sql);

/// A transaction that rolls back unless committed; never throws on the way out.
class ScopedTransaction {
public:
    explicit ScopedTransaction(sqlite3 *db);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;
    void commit();

private:
    sqlite3 *m_db = nullptr;
    bool m_done = false;
};

/// Registers the Jet functions (like with 2 and 3 arguments, year).
void registerJetFunctions(sqlite3 *db);

DbError inUseError();
DbError closedError();

} // namespace zambrel::store
