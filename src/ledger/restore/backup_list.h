#pragma once

#include "ledger/month_summary.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace zambrel::store {
class CopyOpener;
class Ledger;
} // namespace zambrel::store

namespace zambrel::ledger {

/// Whether a backup can be restored as it stands.
enum class BackupCheck {
    Ok,            ///< opens with the password tried and passes the integrity check
    OtherPassword, ///< the password tried does not open it
    Damaged,       ///< anything else: damaged, no ledger, unreadable, gone
    Checking,      ///< found, not examined yet
    Newer,         ///< sound, but written by a newer version: this one cannot restore it
};

/// "可用 OK", "密码不同 Other password", "已损坏 Damaged", "检查中 Checking…" or
/// "版本较新 Newer version".
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

/// The backup `path` as found: its file (absolute path, when last written,
/// size), still Checking.
BackupEntry backupFile(const QString &path, BackupOrigin origin);

/// True while `entry`'s file is still there as it was listed: written at the
/// same time, of the same size. A backup of the day made again since, or a
/// file replaced, is not the one its row and preview show.
bool stillAsListed(const BackupEntry &entry);

/// The dated backups, the safety copies of the ledger and the `added`
/// files, newest first, each still Checking; a file named twice is listed
/// once. Only the folder and the files' facts are read.
std::vector<BackupEntry> findBackups(const store::Ledger &ledger, const QStringList &added = {});

/// Stops examineBackup() and examineBackups() from any thread: no backup is
/// begun after stop(), and the checks under way are interrupted.
class ChecksStop {
public:
    void stop();
    bool stopped() const;
    /// How many backups are open for their checks now.
    int underWay() const;

    /// For examineBackup: `backup` is being checked until leave(); false,
    /// and nothing kept, once stopped.
    bool enter(const store::Ledger &backup);
    void leave(const store::Ledger &backup);

private:
    mutable std::mutex m_mutex;
    bool m_stopped = false;
    std::vector<const store::Ledger *> m_open;
};

/// Examines `entry`'s backup read-only through `opener` with `password`, or
/// with the ledger's own when none is given: its newest month and that
/// month's item count, and its check. Never throws. The ledger file itself
/// (whichever name leads to it) is never opened: it comes back Damaged with
/// a problem that says so. Stopped through `stop`, the entry stays Checking.
void examineBackup(const store::CopyOpener &opener, BackupEntry &entry,
                   const std::optional<QString> &password = std::nullopt, ChecksStop *stop = nullptr);

/// Backups that open with another password than the ledger's: path to password.
using BackupPasswords = QHash<QString, QString>;

/// Examines every entry with its password in `passwords` or the ledger's,
/// as many at once as there are cores. `examined(at)` hears each one done,
/// on the thread that examined it; one stopped through `stop` stays Checking
/// and is not heard.
void examineBackups(const store::CopyOpener &opener, std::vector<BackupEntry> &entries,
                    const BackupPasswords &passwords = {},
                    const std::function<void(std::size_t at)> &examined = {}, ChecksStop *stop = nullptr);

/// findBackups() with every entry examined with the ledger's password.
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
