#pragma once

#include "ledger/month_summary.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// Whether a backup can be restored as it stands.
enum class BackupCheck {
    Ok,            ///< opens with the password tried and passes the integrity check
    OtherPassword, ///< the password tried does not open it
    Damaged,       ///< anything else: damaged, no ledger, unreadable, gone
};

/// "可用 OK", "密码不同 Other password" or "已损坏 Damaged".
QString backupCheckText(BackupCheck check);

/// Where a backup was found.
enum class BackupOrigin {
    Dated,  ///< beside the ledger under a backup's dated name
    Safety, ///< a safety copy
    Added,  ///< a file the user named
};

/// One backup as the restore window and `zambrel backups` list it.
struct BackupEntry {
    QString path;
    BackupOrigin origin = BackupOrigin::Added;
    QDateTime modified; ///< when the file was last written
    qint64 size = 0;    ///< in bytes
    QString newestMonth;
    int newestMonthItems = 0;
    BackupCheck check = BackupCheck::Damaged;
    QString problem; ///< why it is not Ok (the store's description)
};

/// The dated backups beside `ledgerPath` (store::backupFileName's names of
/// any day), in no particular order.
QStringList datedBackupsOf(const QString &ledgerPath);

/// Looks at the backup `path` read-only (store::Ledger::openCopy) with
/// `password`, or with the ledger's own when none is given: its file, its
/// newest month and that month's item count, and its check. Never throws.
/// The ledger file itself (whichever name leads to it) is never opened: it
/// comes back Damaged with a problem that says so.
BackupEntry examineBackup(const store::Ledger &ledger, const QString &path, BackupOrigin origin,
                          const std::optional<QString> &password = std::nullopt);

/// The dated backups, the safety copies of the ledger and the `added`
/// files, each examined with the ledger's password (as many at once as
/// there are cores), newest first; a file named twice is listed once.
std::vector<BackupEntry> listBackups(const store::Ledger &ledger, const QStringList &added = {});

/// The newest month of a backup as the main window would show it.
struct BackupPreview {
    QString month;          ///< empty when the backup holds no month
    MonthSummary summary;   ///< the four totals
    QStringList totalLines; ///< each list's caption and the total line under it, as shown
    QString statusLine;     ///< the main window's status line for that month
};

/// Reads the backup `path` read-only with `password` (none: the ledger's
/// own). @throws store::DbError when it cannot be opened or read, or when it
/// is the ledger itself.
BackupPreview previewBackup(const store::Ledger &ledger, const QString &path,
                            const std::optional<QString> &password = std::nullopt);

} // namespace zambrel::ledger
