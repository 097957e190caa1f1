#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::testkit {

/// Writes a household's items for `month` into the ledger on the
/// program-wide connection: salary, interest, everyday spending, a house with
/// its loan, a car, shares, funds, savings and a credit-card debt. `scale`
/// varies the amounts from month to month.
void writeSampleMonth(const QString &month, double scale = 1.0);

/// Writes `count` items of mixed types into `month` (for timing).
void writeManyItems(const QString &month, int count);

/// Creates the default ledger (optionally encrypted) in the program folder
/// and opens it as the program-wide connection.
void openDefaultLedger(const QString &password = {});

} // namespace zambrel::testkit
