#pragma once

#include "store/ledger_records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

struct ExportOptions {
    /// For spreadsheet programs: each file starts with the UTF-8 byte order
    /// mark, which some of them need to read UTF-8 at all, and a text cell
    /// that begins with "=", "+", "-", "@", a tab or a carriage return (and
    /// does not read as a number) gets a "'" in front, so that it is shown as
    /// text and never evaluated as a formula. Numbers are written as ever.
    bool forSpreadsheets = false;
};

/// The names of the files an export writes, in the order it writes them:
/// items.csv, types.csv, journal.csv.
QStringList exportFileNames();

/// A table as CSV (RFC 4180, UTF-8): a header row with the column names,
/// then one record per row. Numbers are written in full with a point for
/// the decimals and no grouping; a null value is an empty field.
QByteArray tableCsv(const store::ResultTable &table, ExportOptions options = {});

/// Writes the items, the item types and the journal of `ledger` as CSV
/// files into `folder` (created when missing, with any missing folder
/// above it, each accessible by its owner alone). Each file replaces an
/// earlier one only once it is complete, and is readable by its owner
/// alone. Reads the ledger only. Returns the full paths written, in the
/// order of exportFileNames().
/// @throws store::DbError when a table cannot be read, the folder cannot be
/// made or a file cannot be written (files written before stay).
QStringList exportLedger(const store::Ledger &ledger, const QString &folder, ExportOptions options = {});

} // namespace zambrel::ledger
