#pragma once

#include "import/table_row.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zambrel::bills {

/// The most a part of a workbook may unpack to; a sheet of 10,000 bill rows
/// is a few megabytes, and a zip bomb stops here.
inline constexpr qint64 kMaxXlsxPartBytes = 32LL * 1024 * 1024;
/// Cells right of this column are not read.
inline constexpr int kMaxXlsxColumns = 256;

/// True when the bytes start like a zip archive (an XLSX workbook is one).
bool looksLikeZip(const QByteArray &bytes);

struct SheetRows {
    QString failure;            ///< why the sheet could not be read (bilingual); empty when it was
    std::vector<TableRow> rows; ///< the rows holding a value, each with its row number as line
};

/// The first sheet of an XLSX workbook as text: found through the package's
/// and the workbook's relationships (not by its part name), shared strings,
/// inline strings and numbers (as the sheet writes them; dates stay day
/// numbers). No part is unpacked beyond `maxPartBytes`.
SheetRows readFirstSheet(const QByteArray &xlsx, qint64 maxPartBytes = kMaxXlsxPartBytes);

} // namespace zambrel::bills
