#pragma once

#include <QString>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// Where a backup went.
struct BackupCopy {
    QString path;
    bool replaced = false; ///< an earlier file of that name is now this copy
};

/// Backs up the open ledger to `target`, or beside itself under today's dated
/// name (store::backupFileName) when `target` is empty. A file already there
/// is replaced, and only by a complete copy; anything else there (a folder,
/// a FIFO, a device, a socket, a symbolic link) is refused and left alone,
/// and nothing there is ever opened.
/// @throws store::DbError when the target is refused or the copy cannot be
/// written.
BackupCopy backUpLedger(const store::Ledger &ledger, const QString &target = {});

/// The message that reports a finished backup.
QString backupDoneText(const QString &ledgerPath, const QString &backupPath);

} // namespace zambrel::ledger
