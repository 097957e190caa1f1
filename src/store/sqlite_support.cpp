#include "sqlite_support.h"

#include "jet_sql.h"
#include "safe_file.h"

#include <QDate>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace zambrel::store {

void SqliteCloser::operator()(sqlite3 *db) const noexcept
{
    sqlite3_close_v2(db);
}

void StatementFinalizer::operator()(sqlite3_stmt *statement) const noexcept
{
    sqlite3_finalize(statement);
}

DbError inUseError()
{
    return DbError(kErrGeneric, QStringLiteral("账本正在使用中 The ledger is in use"));
}

DbError closedError()
{
    return DbError(kErrGeneric, QStringLiteral("连接已关闭 The connection is closed"));
}

DbError sqliteError(sqlite3 *db, int resultCode)
{
    const QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    // The engine says "database or disk is full"; the user needs to hear
    // which disk, and that nothing is wrong with what was typed.
    // The system error number is kept only for these codes (else it is stale).
    const int primary = resultCode & 0xff;
    const int systemError =
        db && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) ? sqlite3_system_errno(db) : 0;
    if (primary == SQLITE_FULL || isDiskFull(systemError)) {
        const char *file = db ? sqlite3_db_filename(db, "main") : nullptr;
        return fileError(ENOSPC, file ? QString::fromUtf8(file) : QString());
    }
    // The operating system's reason, where there is one.
    const QString reason =
        systemError != 0
            ? QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(systemError)) + QLatin1Char(')')
            : QString();
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return inUseError();
    case SQLITE_NOTADB:
        return DbError(kErrGeneric,
                       QStringLiteral("密码错误或不是账本文件 Wrong password or not a ledger file"));
    case SQLITE_CONSTRAINT:
        return DbError(kErrSyntax, QStringLiteral("数据违反了约束 The data breaks a constraint: ") + detail);
    case SQLITE_ERROR:
        return DbError(kErrSyntax, QStringLiteral("语句有误 Error in the statement: ") + detail);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return DbError(kErrGeneric, QStringLiteral("无法写入账本文件 The ledger file cannot be written: ") +
                                        detail + reason);
    default:
        return DbError(kErrGeneric, QStringLiteral("账本读写出错 Ledger access failed: ") + detail + reason);
    }
}

StatementHandle prepare(sqlite3 *db, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
    if (!statement)
        throw DbError(kErrSyntax, QStringLiteral("语句是空的 The statement is empty"));
    // One statement per call: a second one after ';' is refused, not run.
    for (const char *rest = tail; rest && *rest; ++rest) {
        if (*rest != ';' && !QChar::isSpace(uchar(*rest)))
            throw DbError(kErrSyntax, QStringLiteral("一次只能执行一条语句 Only one statement at a time"));
    }
    return statement;
}

void bindValue(sqlite3 *db, sqlite3_stmt *statement, int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(statement, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_double(statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

QueryResult runPrepared(sqlite3 *db, sqlite3_stmt *statement)
{
    QueryResult result;
    const int columns = sqlite3_column_count(statement);
    result.returnsRows = columns > 0;
    for (int c = 0; c < columns; ++c)
        result.names << QString::fromUtf8(sqlite3_column_name(statement, c));
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw sqliteError(db, rc);
        std::vector<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                row.emplace_back(qlonglong(sqlite3_column_int64(statement, c)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(statement, c));
                break;
            case SQLITE_TEXT:
                row.emplace_back(
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c)),
                                      sqlite3_column_bytes(statement, c)));
                break;
            case SQLITE_BLOB:
                row.emplace_back(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, c)),
                                            sqlite3_column_bytes(statement, c)));
                break;
            default:
                row.emplace_back();
                break;
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

QueryResult run(sqlite3 *db, const QString &sql)
{
    StatementHandle statement = prepare(db, sql);
    return runPrepared(db, statement.get());
}

ScopedTransaction::ScopedTransaction(sqlite3 *db) : m_db(db)
{
    const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

ScopedTransaction::~ScopedTransaction()
{
    if (!m_done)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void ScopedTransaction::commit()
{
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, rc);
    m_done = true;
}

namespace {

QString argumentText(sqlite3_value *value)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)),
                             sqlite3_value_bytes(value));
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    // The engine calls like(pattern, text[, escape]) for "text LIKE pattern".
    QChar escape;
    if (argc == 3) {
        const QString escapeText = argumentText(argv[2]);
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText[0];
    }
    sqlite3_result_int(context, jet::like(argumentText(argv[0]), argumentText(argv[1]), escape) ? 1 : 0);
}

void yearFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        // A day number counted from 1899-12-30, as stored dates are.
        const QDate day = QDate(1899, 12, 30).addDays(qint64(sqlite3_value_double(argv[0])));
        sqlite3_result_int(context, day.year());
        return;
    }
    case SQLITE_TEXT: {
        static const QRegularExpression leadingYear(QStringLiteral("^\\s*(\\d{4})\\s*[-/.年]"));
        const QRegularExpressionMatch match = leadingYear.match(argumentText(argv[0]));
        if (match.hasMatch()) {
            sqlite3_result_int(context, match.captured(1).toInt());
            return;
        }
        break;
    }
    default:
        break;
    }
    sqlite3_result_null(context);
}

} // namespace

void registerJetFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "year", 1, flags, nullptr, yearFunction, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

} // namespace zambrel::store
