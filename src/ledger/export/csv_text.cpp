#include "ledger/export/csv_text.h"

namespace zambrel::ledger {
namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

} // namespace

QString controlPictures(const QString &text, QStringView kept)
{
    QString shown = text;
    for (QChar &c : shown) {
        if (isControl(c) && !kept.contains(c))
            c = QChar(c.unicode() == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + c.unicode()));
    }
    return shown;
}

QString csvField(const QString &text)
{
    // Tab and line breaks are text a quoted field holds as it is.
    QString field = controlPictures(text, u"\t\n\r");
    const bool quoted = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
                        field.contains(u'\r') ||
                        (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quoted)
        return field;
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
