#pragma once

#include "import/bill.h"
#include "import/table_row.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zambrel::bills {

/// How to read one bank's CSV statement: set once per source and kept.
/// Columns count from 0; -1 means the statement has no such column.
struct BankCsvMapping {
    std::optional<TextEncoding> encoding; ///< none: detected from the bytes
    QChar separator = u',';
    bool decimalComma = false;          ///< amounts written 1.234,56
    std::optional<DateOrder> dateOrder; ///< none: decided once from all the file's dates
    int skipLines = 0;                  ///< lines above the column header (or above the first row)
    bool hasHeader = true;              ///< the first line after those names the columns
    int skipTrailingLines = 0;          ///< lines at the end that are no transactions (totals)
    int dateColumn = -1;
    int descriptionColumn = -1;
    int counterpartyColumn = -1;
    int amountColumn = -1;    ///< signed: below zero is money going out
    int debitColumn = -1;     ///< money going out, when the statement splits amounts in two columns
    int creditColumn = -1;    ///< money coming in
    int referenceColumn = -1; ///< the bank's own transaction number, only if unique per transaction

    bool operator==(const BankCsvMapping &) const = default;
};

/// Why the mapping cannot read a statement (bilingual), or empty: it needs a
/// date and a description column and either an amount column or a debit
/// and/or credit column, columns that are not negative, a separator that is
/// not a quote, a letter or a digit, and no negative line counts.
QString mappingProblem(const BankCsvMapping &mapping);

/// The mapping as JSON text, for keeping it per source.
QString mappingToJson(const BankCsvMapping &mapping);

/// The mapping read back from mappingToJson's text; nothing when the text
/// is no such object or the mapping it holds has a problem (`error` says
/// which, if given). Keys it does not hold take their defaults.
std::optional<BankCsvMapping> mappingFromJson(const QString &json, QString *error = nullptr);

/// Reads the statement's rows (from splitCsv) into `bill`: transactions,
/// problems, and the date order used.
void readBankRows(const std::vector<TableRow> &rows, const BankCsvMapping &mapping, Bill &bill);

/// The first lines of a CSV file split into fields, for setting a mapping up.
struct CsvSample {
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u',';
    std::vector<TableRow> rows;
};

/// Splits the first `maxRows` records of `bytes`, in the given encoding and
/// separator or in those detected (the separator of , ; tab | that splits
/// the most lines into the same number of fields, more than one).
CsvSample sampleCsv(const QByteArray &bytes, std::optional<TextEncoding> encoding = std::nullopt,
                    std::optional<QChar> separator = std::nullopt, int maxRows = 30);

/// A first mapping for a statement, from its sample: the column header is
/// the first line that names a date column and an amount, debit or credit
/// column with the names banks use (Chinese or English); the lines above it
/// are skipped and its columns placed by their names, debit and credit
/// columns before a single amount column. The decimal comma is set when
/// more of those columns' amounts read with it than without. The encoding
/// and separator are the sample's. Without such a line, nothing is placed.
BankCsvMapping guessMapping(const CsvSample &sample);

/// A column named by its number, counted from 0: "第 N 列 Column N" with N
/// from 1.
QString numberedColumnTitle(int column);

/// The names of the sample's columns, as many as its widest row below the
/// lines skipped: the header's cell when the mapping has a header and the
/// cell is not empty, else "第 N 列 Column N".
QStringList columnTitles(const CsvSample &sample, const BankCsvMapping &mapping);

} // namespace zambrel::bills
