#pragma once

#include <QString>

#include <optional>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

struct BackupEntry;

/// The one question "恢复 Restore" asks, naming the backup and its date.
QString restoreQuestion(const BackupEntry &entry);

/// Restores the books of `backup` (opened with `backupPassword`, or with the
/// ledger's own when none is given) into the open `ledger`: first the backup is opened read-only to prove it
/// can be taken, then a safety copy of the ledger as it is now is kept (reason "restore"; the backup itself
/// is never removed to make room), then the ledger's rows are replaced by the backup's
/// (store::Ledger::restoreFrom) at the ledger's own path, under its own password and lock. Returns the safety
/// copy's path.
/// @throws store::DbError when the backup cannot be taken (the ledger
/// itself, missing, another password, damaged, ...), when the safety copy
/// cannot be written (the books are then not touched), or when the restore
/// fails (the books are then as they were; the safety copy stays).
QString restoreLedger(store::Ledger &ledger, const QString &backup,
                      const std::optional<QString> &backupPassword = std::nullopt);

/// What the status line says after a restore.
QString restoreDoneText(const QString &backup, const QString &safetyCopy);

} // namespace zambrel::ledger
