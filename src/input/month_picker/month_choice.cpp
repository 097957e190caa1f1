#include "month_choice.h"

namespace zambrel::input {

void MonthChoice::clickRow(const QString &rowText)
{
    m_month = rowText == nullRowText() ? QString() : rowText;
}

bool MonthChoice::doubleClick(const std::optional<QString> &selectedRowText)
{
    if (!selectedRowText)
        return false;
    clickRow(*selectedRowText);
    confirm();
    return true;
}

} // namespace zambrel::input
