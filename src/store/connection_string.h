#pragma once

#include <QString>

#include <map>

namespace zambrel::store {

// The connection string is the form in which earlier versions named a ledger
// and its password ("Provider=...;Data Source=PATH;...;Jet OLEDB:Database
// Password=PWD"). The store opens a ledger from a path and a password; this
// is the one place that writes and reads the string, for whoever stores or
// prints a ledger in that form.

/// The keys of a connection string, by lower-case name. Values may be
/// double-quoted to hold ';' ("" inside quotes stands for one quote). Keys
/// and unquoted values are trimmed, except the password, which is taken as
/// written. "Provider=MSDataShape;Data Provider=X" makes X the provider.
class ConnectionString {
public:
    explicit ConnectionString(const QString &text);

    QString value(const QString &key) const;
    /// The data provider (the wrapped one when the shaping provider is named).
    QString provider() const;
    QString dataSource() const { return value(QStringLiteral("data source")); }
    QString password() const { return value(QStringLiteral("jet oledb:database password")); }

private:
    std::map<QString, QString> m_values;
};

/// The connection string the logon of earlier versions built for a ledger
/// and password; each value is quoted as quoteConnectionValue() says, so
/// that both read back exactly.
QString ledgerConnectionString(const QString &ledgerPath, const QString &password);

/// Quotes a connection-string value when it holds ';' or '"' or begins or
/// ends with a blank, so that ConnectionString reads back exactly `value`.
QString quoteConnectionValue(const QString &value);

} // namespace zambrel::store
