#pragma once

#include "import/bank_csv.h"
#include "import/bill.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zambrel::bills {

/// The largest bill file read; a year of a busy household's payments is a
/// few megabytes.
inline constexpr qint64 kMaxBillFileBytes = 64LL * 1024 * 1024;

struct BillReadResult {
    QString failure; ///< why nothing could be read (bilingual); empty when the bill was read
    Bill bill;       ///< what was read, with the rows that could not be read among its problems
    /// Text that is no payment app's bill: a column mapping reads it, or could.
    bool mappable = false;
    QString source; ///< the source whose kept mapping read it (readBillFor), or empty

    bool ok() const { return failure.isEmpty(); }
    /// Nothing read, for `why`.
    static BillReadResult failed(const QString &why, bool mappable = false)
    {
        BillReadResult result;
        result.failure = why;
        result.mappable = mappable;
        return result;
    }
};

/// Reads a bill, recognised from its content: an XLSX workbook holding a
/// WeChat Pay bill, or a text (UTF-8 or GB18030, detected) holding an Alipay
/// bill in either layout or a WeChat Pay bill. Text that is none of these is
/// read as a bank statement through `mapping` when one is given. A file
/// that is none of these fails with unrecognisedBillText(); a mapping with a
/// problem fails with mappingProblem's text. Never throws.
BillReadResult readBill(const QByteArray &content,
                        const std::optional<BankCsvMapping> &mapping = std::nullopt);

/// A bill file's bytes, or why they cannot be had: the file cannot be opened
/// or read, or is larger than kMaxBillFileBytes.
struct BillContent {
    QString failure; ///< bilingual; empty when `bytes` holds the whole file
    QByteArray bytes;
};
BillContent readBillContent(const QString &path);

/// readBill on a file's content, or readBillContent's failure.
BillReadResult readBillFile(const QString &path, const std::optional<BankCsvMapping> &mapping = std::nullopt);

/// What a column mapping reads of a whole statement, for setting it up.
struct MappingTrial {
    QString text;          ///< bilingual: how many transactions and rows not read, the first row not read
                           ///< and readingWarnings; or why nothing reads
    bool readsAny = false; ///< at least one transaction read as a bank statement
};
MappingTrial tryMapping(const QByteArray &content, const BankCsvMapping &mapping);

/// The message for a file that is no bill this program reads: it names what
/// was expected.
QString unrecognisedBillText();

} // namespace zambrel::bills
