#pragma once

// A category panel's rows as text, shared by the panel's and the month's tests.

#include "panel/category_rows.h"

#include <QStringList>

#include <algorithm>

namespace zambrel::testkit {

/// Each row as "text|sub1|sub2|...": bold cells end in "*", the comparison's
/// red and green in "(r)" and "(g)", any other colour in "(value)"; the key,
/// when there is one, follows "#".
inline QStringList rowsText(const panel::CategoryRows &rows)
{
    QStringList out;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const panel::CategoryRow &row = rows.row(i);
        QStringList cells;
        for (int c = 0; c < std::max<int>(rows.columnCount(), static_cast<int>(row.cells.size())); ++c) {
            const std::optional<panel::Colour> colour = row.cell(c).colour;
            cells << row.text(c) + (row.cell(c).bold ? QStringLiteral("*") : QString()) +
                         (!colour                          ? QString()
                          : *colour == panel::kCompareRed   ? QStringLiteral("(r)")
                          : *colour == panel::kCompareGreen ? QStringLiteral("(g)")
                                                            : QStringLiteral("(%1)").arg(*colour));
        }
        out << cells.join(u'|') + (row.key.isEmpty() ? QString() : u'#' + row.key);
    }
    return out;
}

} // namespace zambrel::testkit
