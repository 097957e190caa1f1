#include "connection_string.h"

namespace zambrel::store {

namespace {
const QString kPasswordKey = QStringLiteral("jet oledb:database password");
}

ConnectionString::ConnectionString(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // A part without '=' carries nothing.
            if (semicolon < 0)
                break;
            i = semicolon + 1;
            continue;
        }
        const QString key = text.mid(i, equals - i).trimmed().toLower();
        qsizetype at = equals + 1;
        while (at < text.size() && text[at] == QLatin1Char(' '))
            ++at;
        QString value;
        if (at < text.size() && text[at] == QLatin1Char('"')) {
            ++at;
            while (at < text.size()) {
                if (text[at] == QLatin1Char('"')) {
                    if (at + 1 < text.size() && text[at + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                value += text[at++];
            }
            const qsizetype end = text.indexOf(QLatin1Char(';'), at);
            i = end < 0 ? text.size() : end + 1;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), equals + 1);
            value = text.mid(equals + 1, (end < 0 ? text.size() : end) - equals - 1);
            if (key != kPasswordKey)
                value = value.trimmed();
            i = end < 0 ? text.size() : end + 1;
        }
        if (!key.isEmpty())
            m_values[key] = value;
    }
}

QString ConnectionString::value(const QString &key) const
{
    const auto found = m_values.find(key.toLower());
    return found == m_values.end() ? QString() : found->second;
}

QString ConnectionString::provider() const
{
    const QString outer = value(QStringLiteral("provider"));
    if (outer.compare(QLatin1String("MSDataShape"), Qt::CaseInsensitive) == 0)
        return value(QStringLiteral("data provider"));
    return outer;
}

QString quoteConnectionValue(const QString &value)
{
    // Unquoted values lose their outer blanks when read back, and a leading
    // quote would start a quoted value: "led.mdb " must not become "led.mdb".
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
                       value.trimmed().size() == value.size();
    if (plain)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString ledgerConnectionString(const QString &ledgerPath, const QString &password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           quoteConnectionValue(ledgerPath) +
           QStringLiteral(";Mode=Share Deny Read|Share Deny Write;Persist Security Info=True;"
                          "Jet OLEDB:Database Password=") +
           quoteConnectionValue(password);
}

} // namespace zambrel::store
