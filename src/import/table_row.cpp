#include "import/table_row.h"

namespace zambrel::bills {

QString incompleteRowReason(const TableRow &row, int cellsNeeded)
{
    if (row.unclosedQuote)
        return QStringLiteral("引号未闭合 Unclosed quotation mark");
    if (row.cells.size() < cellsNeeded)
        return QStringLiteral("字段不足 Too few fields (%1 of %2)").arg(row.cells.size()).arg(cellsNeeded);
    return {};
}

QString unreadableDateReason(const QString &text)
{
    return QStringLiteral("日期无法识别 Unreadable date: %1").arg(text);
}

QString unreadableAmountReason(const QString &text)
{
    return QStringLiteral("金额无法识别 Unreadable amount: %1").arg(text);
}

} // namespace zambrel::bills
