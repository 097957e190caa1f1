#pragma once

// Internal to the store library: what a RecordSet holds.

#include "connection.h"
#include "sqlite_support.h"

#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace zambrel::store {

enum class RowState { Unchanged, Added, Modified };

struct RecordRow {
    std::vector<QVariant> values;
    std::vector<bool> changed;
    RowState state = RowState::Unchanged;
};

struct RecordSetImpl {
    int lockType = adLockReadOnly;
    int state = adStateClosed;
    std::weak_ptr<ConnectionImpl> connection;
    QString baseTable;
    QStringList names;
    std::vector<RecordRow> rows;
    int position = 0;

    /// Takes the rows of a query and opens the set on its first row.
    void load(QueryResult &&result, const QString &sql);
};

} // namespace zambrel::store
