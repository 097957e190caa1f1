#pragma once

#include "ledger/restore/backup_list.h"

#include <QObject>
#include <QThreadPool>

#include <memory>
#include <vector>

namespace zambrel::ledger {

/// The checks of one listing of backups at a time, examined on a thread pool
/// of their own (examineBackups) and told one by one on the thread that
/// started them, as its events run. Starting again stops the checks under
/// way (interrupted) and drops their late results; the destructor stops
/// them and waits for them.
class BackupChecks : public QObject {
    Q_OBJECT
public:
    explicit BackupChecks(QObject *parent = nullptr);
    ~BackupChecks() override;

    /// Begins checking `entries` through `opener`, each with its password in
    /// `passwords` or the ledger's. With no entries, finished() comes at once.
    void start(std::shared_ptr<const store::CopyOpener> opener, const std::vector<BackupEntry> &entries,
               const BackupPasswords &passwords);
    /// Stops the checks under way and drops their results, as a new start
    /// would; finished() does not come.
    void stop();
    /// True while some entry of the last start is still being examined.
    bool running() const { return m_unchecked > 0; }
    /// Blocks until the checks under way have run out or stopped. Their
    /// results are still told as the events run.
    void waitForChecks() { m_pool.waitForDone(); }

Q_SIGNALS:
    /// The entry at `at` of the last start, examined.
    void examined(std::size_t at, const BackupEntry &entry);
    /// Every entry of the last start has been examined.
    void finished();

private:
    void heard(quint64 listing, std::size_t at, const BackupEntry &entry);

    quint64 m_listing = 0; ///< which start the checks under way belong to
    int m_unchecked = 0;
    std::shared_ptr<ChecksStop> m_stop;
    QThreadPool m_pool; ///< one start's checks at a time
};

} // namespace zambrel::ledger
