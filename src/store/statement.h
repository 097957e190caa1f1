#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace zambrel::store {

class Connection;

/// One prepared statement in SQLite's own dialect: prepared by the
/// constructor, finalized by the destructor; values are bound by their
/// 1-based index ("?1"). A statement is run by step() until it returns
/// false, and can then be bound and run again.
///
/// Neither copies nor moves; must not outlive its connection.
class Statement {
public:
    /// Prepares exactly one statement. @throws DbError
    Statement(const Connection &connection, const char *sql);
    /// The same on a handle that is no Connection yet (a ledger being made).
    Statement(sqlite3 *db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QString &text);
    /// Text already in UTF-8; the engine keeps a copy of its own.
    void bindUtf8(int index, const QByteArray &text);
    void bind(int index, double value);
    void bind(int index, qint64 value);
    void bindNull(int index);

    /// The next row: true while there is one. At the end, or when it throws,
    /// the statement is reset (its values stay bound). @throws DbError
    bool step();
    /// Steps a statement that returns no rows to its end. @throws DbError
    void run();
    /// Leaves the rows not read yet and clears the bound values.
    void reset() noexcept;

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    /// A number; text that reads as one gives its value, anything else 0.
    double number(int column) const;
    /// The value as it is stored: qlonglong, double, QString, QByteArray, or
    /// a null QVariant.
    QVariant value(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
};

/// A write transaction: begun by the constructor, rolled back by the
/// destructor unless committed. The destructor never throws.
class Transaction {
public:
    /// @throws DbError
    explicit Transaction(const Connection &connection);
    explicit Transaction(sqlite3 *db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    /// @throws DbError (the transaction is then rolled back).
    void commit();

private:
    sqlite3 *m_db = nullptr;
    bool m_open = true;
};

} // namespace zambrel::store
