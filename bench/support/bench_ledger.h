#pragma once

#include <QString>

/// Writes `months` months of `itemsPerMonth` items each, from January 2021
/// on, into the ledger at `path` (one transaction).
void writeBenchItems(const QString &path, const QString &password, int months, int itemsPerMonth);

/// The month key of the last month written for `months` months.
QString lastBenchMonth(int months);

/// Writes one journal page a day for `days` days from 1 January 2016 into
/// the ledger at `path` (one transaction). Every field holds a line of
/// text; every 30th page mentions "Marathon" in its sixth field.
void writeBenchJournal(const QString &path, const QString &password, int days);

/// The date of the last page written for `days` days ("yyyy-mm-dd").
QString lastBenchDay(int days);
