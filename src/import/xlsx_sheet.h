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
/// The most cells a sheet may fill, counting the empty ones left of a cell;
/// a bill of 10,000 rows fills under 200,000. A few bytes of XML naming a
/// far column fill a whole row, so the unpacked size alone does not bound
/// the memory a sheet takes.
inline constexpr qint64 kMaxXlsxCells = 2'000'000;

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
