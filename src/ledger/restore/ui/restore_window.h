#pragma once

#include "ledger/restore/backup_checks.h"
#include "skin/skinned_window.h"

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace zambrel::skin {
class FlatButton;
}
namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// The window "恢复账本 Restore": the ledger's backups newest first
/// (`lvBackups`: date and time, size, newest month, its items, the check,
/// the file), a preview of the chosen backup's newest month (`lblPreview`:
/// the total lines and the status line as the main window shows them), a
/// password box for a backup under another password (`txtBackupPWD`, Enter
/// checks it again), and the buttons "浏览 Browse…" (`cmdBrowse`: adds a file),
/// "恢复 Restore" (`cmdRestore`: asks once, then restoreLedger()) and "关闭
/// Close" (`cmdClose`, or Escape). Failures are shown by the message routine;
/// the window stays open.
///
/// The backups are listed as soon as they are found, each "检查中 Checking…",
/// and examined on threads of their own: every row fills in as its check
/// comes, so a ledger with years of backups opens the window at once.
class RestoreWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// Hears a finished restore: the backup and the safety copy kept before.
    using Restored = std::function<void(const QString &backup, const QString &safetyCopy)>;

    /// `ledger` must outlive the window.
    RestoreWindow(store::Ledger &ledger, Restored restored, QWidget *parent = nullptr);
    ~RestoreWindow() override;

    /// Lists the backups again (choosing the first, or `chosen` when listed)
    /// and begins their checks; the checks of an earlier listing are dropped.
    void reload(const QString &chosen = {});
    /// The backups as listed, in the list's order.
    const std::vector<BackupEntry> &entries() const { return m_entries; }
    /// True while some listed backup is still being examined.
    bool checking() const { return m_checks.running(); }

    /// The buttons' and the password box's actions.
    void browse();
    void restoreChosen();
    void checkPassword();

    QLabel *const listLabel;
    QTreeWidget *const backupList;
    QLabel *const previewLabel;
    QLabel *const passwordLabel;
    QLineEdit *const passwordBox;
    skin::FlatButton *const browseButton;
    skin::FlatButton *const restoreButton;
    skin::FlatButton *const closeButton;

Q_SIGNALS:
    /// Every listed backup has been examined.
    void checksDone();

protected:
    /// Hidden (also when the main window lets go of the ledger), the window
    /// drops its checks: a late one must not preview through a closed
    /// ledger. Showing it again lists the backups anew.
    void hideEvent(QHideEvent *event) override;

private:
    void showChosen();
    const BackupEntry *chosen() const;
    void showRow(std::size_t at);
    void checked(std::size_t at, const BackupEntry &entry);

    store::Ledger &m_ledger;
    Restored m_restored;
    std::vector<BackupEntry> m_entries;
    QStringList m_added;
    BackupPasswords m_passwords; ///< backups under another password that opened with it
    BackupChecks m_checks;       ///< last, so that it stops and waits first
};

} // namespace zambrel::ledger
