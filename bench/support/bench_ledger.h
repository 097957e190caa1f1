#pragma once

#include <QString>

/// Writes `months` months of `itemsPerMonth` items each, from January 2021
/// on, into the ledger at `connectionString` (one batch).
void writeBenchItems(const QString &connectionString, int months, int itemsPerMonth);

/// The month key of the last month written for `months` months.
QString lastBenchMonth(int months);
