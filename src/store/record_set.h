#pragma once

#include "connection.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace zambrel::store {

class Connection;
struct RecordSetImpl;

/// A client-side record set: all rows are held in the program.
///
/// Values are QVariant: a null is an invalid (or null) QVariant, told apart
/// from 0 and from empty text; integers come as qlonglong, amounts as double,
/// texts as QString. Field names match without regard to letter case.
///
/// An updatable record set (keyset, batch optimistic) collects rows added
/// with addNew()/setValue() and writes them with updateBatch() in one
/// transaction, values bound as parameters. The base table is the single
/// table named after FROM in the statement that opened it.
class RecordSet {
public:
    RecordSet();
    ~RecordSet();
    RecordSet(RecordSet &&) noexcept;
    RecordSet &operator=(RecordSet &&) noexcept;
    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    void setLockType(int type);
    int lockType() const;

    /// Runs `sql` (Jet SQL) on `connection` and holds its rows; positioned
    /// on the first row. Stays attached to the connection.
    /// @throws DbError
    void open(const QString &sql, Connection &connection);
    /// Attaches to `connection`, or detaches when nullptr. Rows stay readable.
    void setActiveConnection(Connection *connection);
    bool isAttached() const;
    /// adStateOpen (1) while open.
    int state() const;
    void close() noexcept;

    int fieldCount() const;
    QString fieldName(int index) const;
    /// Index of a field by name, any letter case; -1 when there is none.
    int fieldIndex(const QString &name) const;
    /// Value on the current row. @throws DbError unknown field, no current row.
    const QVariant &value(int index) const;
    QVariant value(const QString &name) const;
    bool isNull(const QString &name) const;

    void moveFirst();
    void moveNext();
    bool eof() const; ///< past the last row (also when there is none)
    bool bof() const; ///< before the first row (also when there is none)
    int recordCount() const;
    /// Zero-based current row; recordCount() when at the end.
    int position() const;

    /// Appends a pending row (all fields null) and makes it current.
    void addNew();
    /// Sets a field of the current row; marks the row changed.
    /// @throws DbError unknown field, read-only record set.
    void setValue(const QString &name, const QVariant &value);
    int pendingCount() const;
    /// Writes every pending row in one transaction: all or none. Identity
    /// columns of added rows are filled with the values the engine assigned.
    /// @throws DbError (kErrSyntax when a uniqueness constraint is broken),
    /// detached or closed record set.
    void updateBatch(int affect = adAffectAll);

    /// An independent copy of the rows, positioned on the first row, detached.
    std::unique_ptr<RecordSet> clone() const;

private:
    friend class Connection;
    std::unique_ptr<RecordSetImpl> m_impl;
};

} // namespace zambrel::store
