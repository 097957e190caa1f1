#pragma once

#include "store/ledger_records.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QTreeWidget;

namespace zambrel::store {

/// The column captions of a header text: "|" counts as a comma, blanks
/// around the whole text are trimmed; an empty text gives no captions.
QStringList headerCaptions(const QString &header);

/// Column widths in twips for `captions` in a list `listWidthTwips` wide:
/// each column gets its caption's share of the whole header text (commas
/// included) of 1.13 times the list width, less 20. With 12 or more
/// captions the list's default widths stand: the result is empty. A width
/// never goes below 0.
std::vector<int> headerWidthsTwips(const QStringList &captions, int listWidthTwips);

/// Makes `list` a report list with one column per caption of `header`,
/// sized by headerWidthsTwips(). Empties the list first. `header` is
/// normalised in place ("|" to ",", trimmed), as the callers keep it.
void setListHeader(QTreeWidget *list, QString &header);

/// What fillList may do beyond filling.
struct FillListOptions {
    /// The single column title when there are no rows.
    QString message;
    /// Below 1: "已完成 N%" goes to the status bar after every row.
    int progress = 0;
};

/// Runs `read` (a read of the ledger) with the busy pointer showing, and
/// returns its rows. @throws what `read` throws.
ResultTable readShowingBusy(const std::function<ResultTable()> &read);

/// Fills `list` with `rows`, read from the ledger before. When `useHeader`
/// is false the header becomes the column names. An empty result shows the
/// single row "没有记录。"; a null in the first column shows "NULL". The
/// status line says how many rows there are.
void fillList(QTreeWidget *list, const ResultTable &rows, bool useHeader, QString &header,
              const FillListOptions &options = {});

} // namespace zambrel::store
