#include "record_set.h"

#include "connection.h"
#include "db_error.h"
#include "jet_sql.h"
#include "record_set_impl.h"
#include "sqlite_support.h"

#include <sqlite3.h>

namespace zambrel::store {
namespace {

DbError noCurrentRow()
{
    return DbError(kErrGeneric, QStringLiteral("没有当前记录 There is no current row"));
}

DbError unknownField(const QString &name)
{
    return DbError(kErrGeneric, QStringLiteral("找不到字段 No such field: ") + name);
}

QString quotedName(const QString &name)
{
    QString text = name;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

struct TableColumns {
    QStringList names;  ///< as declared
    QString integerKey; ///< the INTEGER PRIMARY KEY column, if any
};

TableColumns tableColumns(sqlite3 *db, const QString &table)
{
    const QueryResult info = run(db, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table)));
    TableColumns columns;
    for (const auto &row : info.rows) {
        // cid, name, type, notnull, dflt_value, pk
        columns.names << row.at(1).toString();
        if (row.at(5).toInt() == 1 &&
            row.at(2).toString().compare(QLatin1String("integer"), Qt::CaseInsensitive) == 0)
            columns.integerKey = row.at(1).toString();
    }
    if (columns.names.isEmpty())
        throw DbError(kErrGeneric, QStringLiteral("找不到要更新的表 No table to update: ") + table);
    return columns;
}

int indexIn(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

void RecordSetImpl::load(QueryResult &&result, const QString &sql)
{
    names = std::move(result.names);
    rows.clear();
    rows.reserve(result.rows.size());
    for (auto &values : result.rows)
        rows.push_back(
            RecordRow{std::move(values), std::vector<bool>(names.size(), false), RowState::Unchanged});
    baseTable = jet::baseTable(sql);
    position = 0;
    state = adStateOpen;
}

RecordSet::RecordSet() : m_impl(std::make_unique<RecordSetImpl>()) {}
RecordSet::~RecordSet() = default;
RecordSet::RecordSet(RecordSet &&) noexcept = default;
RecordSet &RecordSet::operator=(RecordSet &&) noexcept = default;

void RecordSet::setLockType(int type)
{
    m_impl->lockType = type;
}
int RecordSet::lockType() const
{
    return m_impl->lockType;
}

void RecordSet::open(const QString &sql, Connection &connection)
{
    if (m_impl->state == adStateOpen)
        throw DbError(kErrGeneric, QStringLiteral("记录集已经打开 The record set is already open"));
    if (connection.state() != adStateOpen)
        throw closedError();
    sqlite3 *db = connection.m_impl->db.get();
    QueryResult result = run(db, jet::translate(sql));
    if (!result.returnsRows)
        throw DbError(kErrGeneric, QStringLiteral("语句没有返回记录 The statement returns no rows"));
    m_impl->connection = connection.m_impl;
    m_impl->load(std::move(result), sql);
}

void RecordSet::setActiveConnection(Connection *connection)
{
    if (connection)
        m_impl->connection = connection->m_impl;
    else
        m_impl->connection.reset();
}

bool RecordSet::isAttached() const
{
    return !m_impl->connection.expired();
}

int RecordSet::state() const
{
    return m_impl->state;
}

void RecordSet::close() noexcept
{
    m_impl->state = adStateClosed;
    m_impl->rows.clear();
    m_impl->names.clear();
    m_impl->position = 0;
    m_impl->connection.reset();
}

int RecordSet::fieldCount() const
{
    return int(m_impl->names.size());
}

QString RecordSet::fieldName(int index) const
{
    if (index < 0 || index >= m_impl->names.size())
        throw unknownField(QString::number(index));
    return m_impl->names[index];
}

int RecordSet::fieldIndex(const QString &name) const
{
    return indexIn(m_impl->names, name);
}

const QVariant &RecordSet::value(int index) const
{
    if (index < 0 || index >= m_impl->names.size())
        throw unknownField(QString::number(index));
    if (eof())
        throw noCurrentRow();
    return m_impl->rows[size_t(m_impl->position)].values[size_t(index)];
}

QVariant RecordSet::value(const QString &name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw unknownField(name);
    return value(index);
}

bool RecordSet::isNull(const QString &name) const
{
    const QVariant field = value(name);
    return !field.isValid() || field.isNull();
}

void RecordSet::moveFirst()
{
    m_impl->position = 0;
}

void RecordSet::moveNext()
{
    if (eof())
        throw DbError(kErrGeneric, QStringLiteral("已经在最后一条记录之后 Already past the last row"));
    ++m_impl->position;
}

bool RecordSet::eof() const
{
    return m_impl->state != adStateOpen || m_impl->position >= int(m_impl->rows.size());
}

bool RecordSet::bof() const
{
    return m_impl->state != adStateOpen || m_impl->rows.empty() || m_impl->position < 0;
}

int RecordSet::recordCount() const
{
    return int(m_impl->rows.size());
}
int RecordSet::position() const
{
    return m_impl->position;
}

void RecordSet::addNew()
{
    if (m_impl->state != adStateOpen)
        throw DbError(kErrGeneric, QStringLiteral("记录集没有打开 The record set is not open"));
    if (m_impl->lockType == adLockReadOnly)
        throw DbError(kErrGeneric, QStringLiteral("记录集是只读的 The record set is read-only"));
    const size_t width = size_t(m_impl->names.size());
    m_impl->rows.push_back(
        RecordRow{std::vector<QVariant>(width), std::vector<bool>(width, false), RowState::Added});
    m_impl->position = int(m_impl->rows.size()) - 1;
}

void RecordSet::setValue(const QString &name, const QVariant &newValue)
{
    if (m_impl->lockType == adLockReadOnly)
        throw DbError(kErrGeneric, QStringLiteral("记录集是只读的 The record set is read-only"));
    const int index = fieldIndex(name);
    if (index < 0)
        throw unknownField(name);
    if (eof())
        throw noCurrentRow();
    RecordRow &row = m_impl->rows[size_t(m_impl->position)];
    row.values[size_t(index)] = newValue;
    row.changed[size_t(index)] = true;
    if (row.state == RowState::Unchanged)
        row.state = RowState::Modified;
}

int RecordSet::pendingCount() const
{
    int pending = 0;
    for (const auto &row : m_impl->rows)
        pending += row.state != RowState::Unchanged ? 1 : 0;
    return pending;
}

void RecordSet::updateBatch(int)
{
    RecordSetImpl &impl = *m_impl;
    if (impl.state != adStateOpen)
        throw DbError(kErrGeneric, QStringLiteral("记录集没有打开 The record set is not open"));
    if (impl.lockType == adLockReadOnly)
        throw DbError(kErrGeneric, QStringLiteral("记录集是只读的 The record set is read-only"));
    const std::shared_ptr<ConnectionImpl> connection = impl.connection.lock();
    if (!connection || !connection->db)
        throw DbError(kErrGeneric, QStringLiteral("记录集没有连接到账本 The record set is not connected"));
    if (pendingCount() == 0)
        return;
    if (impl.baseTable.isEmpty())
        throw DbError(kErrGeneric, QStringLiteral("找不到要更新的表 No table to update"));

    sqlite3 *db = connection->db.get();
    const TableColumns table = tableColumns(db, impl.baseTable);
    const int keyField = table.integerKey.isEmpty() ? -1 : indexIn(impl.names, table.integerKey);
    // Identities are handed to the rows only after the commit: a failed batch
    // leaves the record set as it was.
    std::vector<std::pair<size_t, qlonglong>> identities;

    ScopedTransaction transaction(db);
    for (size_t r = 0; r < impl.rows.size(); ++r) {
        const RecordRow &row = impl.rows[r];
        if (row.state == RowState::Unchanged)
            continue;
        QStringList columns;
        std::vector<QVariant> values;
        for (int f = 0; f < impl.names.size(); ++f) {
            if (!row.changed[size_t(f)] || f == keyField)
                continue;
            const int column = indexIn(table.names, impl.names[f]);
            if (column < 0)
                throw DbError(kErrGeneric,
                              QStringLiteral("字段不能更新 The field cannot be updated: ") + impl.names[f]);
            columns << quotedName(table.names[column]);
            values.push_back(row.values[size_t(f)]);
        }
        QString sql;
        if (row.state == RowState::Added) {
            if (columns.isEmpty()) {
                sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(impl.baseTable));
            } else {
                QStringList marks;
                for (int i = 0; i < columns.size(); ++i)
                    marks << QStringLiteral("?");
                sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(quotedName(impl.baseTable), columns.join(QLatin1Char(',')),
                               marks.join(QLatin1Char(',')));
            }
        } else {
            if (keyField < 0 || row.values[size_t(keyField)].isNull())
                throw DbError(
                    kErrGeneric,
                    QStringLiteral("没有主键，不能更新已有的行 Rows without a key cannot be updated"));
            if (columns.isEmpty())
                continue;
            sql = QStringLiteral("UPDATE %1 SET %2=? WHERE %3=?")
                      .arg(quotedName(impl.baseTable), columns.join(QStringLiteral("=?,")),
                           quotedName(table.integerKey));
            values.push_back(row.values[size_t(keyField)]);
        }
        StatementHandle statement = prepare(db, sql);
        for (size_t i = 0; i < values.size(); ++i)
            bindValue(db, statement.get(), int(i) + 1, values[i]);
        runPrepared(db, statement.get());
        if (row.state == RowState::Added && keyField >= 0)
            identities.emplace_back(r, qlonglong(sqlite3_last_insert_rowid(db)));
    }
    transaction.commit();

    for (const auto &[row, identity] : identities)
        impl.rows[row].values[size_t(keyField)] = identity;
    for (auto &row : impl.rows) {
        row.state = RowState::Unchanged;
        std::fill(row.changed.begin(), row.changed.end(), false);
    }
}

std::unique_ptr<RecordSet> RecordSet::clone() const
{
    auto copy = std::make_unique<RecordSet>();
    *copy->m_impl = *m_impl;
    copy->m_impl->connection.reset();
    copy->m_impl->position = 0;
    return copy;
}

} // namespace zambrel::store
