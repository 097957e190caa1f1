#include "ledger/export/csv_text.h"

namespace zambrel::ledger {

QString csvField(const QString &text)
{
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString field = text;
    field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString csvRecord(const QStringList &fields)
{
    QString record;
    for (qsizetype index = 0; index < fields.size(); ++index) {
        if (index > 0)
            record += u',';
        record += csvField(fields[index]);
    }
    return record + QStringLiteral("\r\n");
}

} // namespace zambrel::ledger
