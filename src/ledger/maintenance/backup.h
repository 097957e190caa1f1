#pragma once

#include <QString>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// Backs up the open ledger beside itself under today's dated name
/// (store::backupFileName) and returns the backup's path. An earlier backup
/// of the same day is replaced only by a complete copy.
/// @throws store::DbError when the copy cannot be written.
QString backUpLedger(const store::Ledger &ledger);

/// The message that reports a finished backup.
QString backupDoneText(const QString &ledgerPath, const QString &backupPath);

} // namespace zambrel::ledger
