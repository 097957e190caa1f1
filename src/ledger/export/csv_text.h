#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::ledger {

/// One field as RFC 4180 writes it: between double quotes (each quote
/// doubled) when it holds a comma, a quote, a line break or blank space at
/// either end; otherwise as it is.
QString csvField(const QString &text);

/// One record: the fields joined by commas and ended by CR LF.
QString csvRecord(const QStringList &fields);

} // namespace zambrel::ledger
