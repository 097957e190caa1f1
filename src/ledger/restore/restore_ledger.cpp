#include "restore_ledger.h"

#include "backup_list.h"

#include "ledger/maintenance/safety_copies.h"
#include "store/ledger.h"

namespace zambrel::ledger {

QString restoreQuestion(const BackupEntry &entry)
{
    const QString when = entry.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("用备份 %1（%2）恢复账本？\n账本现在的内容将被替换，替换前先保存一份安全副本。\n"
                          "Restore the ledger from the backup %1 (%2)?\n"
                          "Its present books are replaced; a safety copy of them is kept first.")
        .arg(entry.path, when);
}

QString restoreLedger(store::Ledger &ledger, const QString &backup,
                      const std::optional<QString> &backupPassword)
{
    // A backup that cannot be opened is refused before anything is written.
    ledger.openCopy(backup, backupPassword);
    const QString copy = takeSafetyCopy(ledger, SafetyReason::Restore, backup);
    ledger.restoreFrom(backup, backupPassword);
    return copy;
}

QString restoreDoneText(const QString &backup, const QString &safetyCopy)
{
    return QStringLiteral("已从备份恢复 Restored from the backup: ") + backup + QStringLiteral("；") +
           safetyCopyText(safetyCopy);
}

} // namespace zambrel::ledger
