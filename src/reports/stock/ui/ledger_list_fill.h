#pragma once

#include "store/ledger_records.h"

#include <QString>

#include <functional>
#include <optional>

class QTreeWidget;

namespace zambrel::stock {

/// Fills `list` with the rows `read` returns, as the shared list filling
/// does for a query: header, one row per result row ("NULL" for a null
/// first value, an empty cell for any other null), "没有记录。" for no rows,
/// the record count in the status line. A DbError from `read` is shown
/// through the message routine and the status line; the result is then
/// std::nullopt and the list is left as it was.
///
/// Stands in until the shared list filling reads through the ledger API
/// with this same signature.
std::optional<store::ResultTable> fillList(QTreeWidget *list, const std::function<store::ResultTable()> &read,
                                           bool useHeader, QString &header);

} // namespace zambrel::stock
