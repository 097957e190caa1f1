#pragma once

#include "import/table_row.h"

#include <QChar>
#include <QStringView>

#include <vector>

namespace zambrel::bills {

/// Splits CSV text into records. Fields are separated by `separator`; a
/// field whose first non-blank character is a double quote is quoted (a
/// doubled quote inside stands for one) and may span lines; text after its
/// closing quote is kept as it stands. Lines end with LF, CR LF or CR; every
/// line, blank ones included, starts a record. A quote left open for more
/// than a few lines or to the end makes its line a record of its own, read
/// as plain text and marked, and reading goes on with the next line. Cells
/// keep their blanks.
std::vector<TableRow> splitCsv(QStringView text, QChar separator);

} // namespace zambrel::bills
