#pragma once

// Ledger files for tests, written and looked at the way other programs
// would: raw rows, damaged pages, a second process that tries the file.

#include "store/ledger_records.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zambrel::testkit {

/// Writes `items` under `month` into the ledger file at `path` in one
/// transaction, as other programs may write them (amounts as they are). The
/// file must not be open (a ledger holds its file exclusively).
void writeItems(const QString &path, const QString &month, const std::vector<store::Item> &items,
                const QString &password = {});

/// What a second process answers when it tries to open the ledger at
/// `path` with `password`: "opened", or "error " and the description.
QByteArray secondProcessTries(const QString &path, const QString &password = {});

/// Overwrites the first half of the pages that hold `table` and its indexes, as a
/// failing disk would: the ledger still opens, but reading or writing that
/// table fails. The pages must not be in use (no ledger open on `path`).
void damageTablePages(const QString &path, const QString &password, const QString &table);

} // namespace zambrel::testkit
