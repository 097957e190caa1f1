#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::bills {

/// One record of a CSV text or one row of a sheet, cells as they stand.
struct TableRow {
    int line = 0; ///< line of the file (row of the sheet) it starts on, from 1
    QStringList cells;
    bool unclosedQuote = false; ///< a quoted field ran on without its closing quote; read as plain text

    /// True when every cell is empty or blank.
    bool isBlank() const
    {
        for (const QString &cell : cells) {
            if (!cell.trimmed().isEmpty())
                return false;
        }
        return true;
    }
};

/// Why a row cannot be read at all (bilingual): its quote never closed, or
/// it has fewer than `cellsNeeded` cells. Empty when neither.
QString incompleteRowReason(const TableRow &row, int cellsNeeded);

/// The problem texts of a field that does not read, naming the text.
QString unreadableDateReason(const QString &text);
QString unreadableAmountReason(const QString &text);

} // namespace zambrel::bills
