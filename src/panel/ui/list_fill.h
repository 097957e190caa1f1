#pragma once

#include "store/ledger_records.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
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
    /// Shown instead of the generic error message, and as the single column
    /// title when the query has no rows.
    QString message;
    /// Below 1: "已完成 N%" goes to the status bar after every row.
    int progress = 0;
};

/// Fills `list` with the rows `read` returns (it reads them from the ledger;
/// the busy pointer shows meanwhile). When `useHeader` is false the header
/// becomes the column names. Returns the rows shown, or nothing when `read`
/// threw: the failure is then reported (through the message routine and the
/// status bar) the way list filling reports it. An empty result shows the
/// single row "没有记录。"; a null in the first column shows "NULL".
std::optional<ResultTable> fillList(QTreeWidget *list, const std::function<ResultTable()> &read,
                                    bool useHeader, QString &header, const FillListOptions &options = {});

} // namespace zambrel::store
