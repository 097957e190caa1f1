#include "statement.h"

#include "connection.h"
#include "sqlite_support.h"
#include "vector_registers.h"

#include <QByteArray>

#include <sqlite3.h>

#include <cctype>

namespace zambrel::store {
namespace {

void check(sqlite3 *db, int resultCode)
{
    if (resultCode != SQLITE_OK)
        throw engineError(db, resultCode);
}

} // namespace

Statement::Statement(const Connection &connection, const char *sql) : Statement(connection.handle(), sql) {}

Statement::Statement(sqlite3 *db, const char *sql) : m_db(db)
{
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql, -1, &m_statement, &tail);
    if (rc != SQLITE_OK)
        throw engineError(m_db, rc);
    // One statement each: a second one after ';' is refused, never run.
    for (const char *rest = tail; rest && *rest; ++rest) {
        if (*rest != ';' && !std::isspace(static_cast<unsigned char>(*rest))) {
            sqlite3_finalize(m_statement);
            throw DbError(ErrorKind::Failed, QStringLiteral("一次只能执行一条语句 One statement at a time"));
        }
    }
    if (!m_statement)
        throw DbError(ErrorKind::Failed, QStringLiteral("语句是空的 The statement is empty"));
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::bind(int index, const QString &text)
{
    bindUtf8(index, text.toUtf8());
}

void Statement::bindUtf8(int index, const QByteArray &text)
{
    check(m_db, sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT));
}

void Statement::bind(int index, double value)
{
    check(m_db, sqlite3_bind_double(m_statement, index, value));
}

void Statement::bind(int index, qint64 value)
{
    check(m_db, sqlite3_bind_int64(m_statement, index, value));
}

void Statement::bindNull(int index)
{
    check(m_db, sqlite3_bind_null(m_statement, index));
}

bool Statement::step()
{
    clearVectorUpperHalves();
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(m_statement);
        return false;
    }
    const DbError error = engineError(m_db, rc);
    sqlite3_reset(m_statement);
    throw error;
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset() noexcept
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    // The pointer first, then the size, as the engine asks.
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double Statement::number(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_TEXT:
        // Text written by other programs: its value when all of it reads as a number.
        return text(column).toDouble();
    default:
        return 0;
    }
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_TEXT:
        return text(column);
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QByteArray(data, sqlite3_column_bytes(m_statement, column));
    }
    default:
        return {};
    }
}

Transaction::Transaction(const Connection &connection) : Transaction(connection.handle()) {}

Transaction::Transaction(sqlite3 *db) : m_db(db)
{
    runSql(m_db, "BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    runSql(m_db, "COMMIT");
    m_open = false;
}

} // namespace zambrel::store
