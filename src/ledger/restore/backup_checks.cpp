#include "backup_checks.h"

#include "store/ledger.h"

namespace zambrel::ledger {

BackupChecks::BackupChecks(QObject *parent) : QObject(parent), m_stop(std::make_shared<ChecksStop>())
{
    m_pool.setMaxThreadCount(1);
}

BackupChecks::~BackupChecks()
{
    // The checks post to this object: those under way are interrupted.
    m_stop->stop();
    m_pool.waitForDone();
}

void BackupChecks::stop()
{
    m_stop->stop();
    ++m_listing;
    m_unchecked = 0;
}

void BackupChecks::start(std::shared_ptr<const store::CopyOpener> opener,
                         const std::vector<BackupEntry> &entries, const BackupPasswords &passwords)
{
    m_stop->stop();
    m_stop = std::make_shared<ChecksStop>();
    const quint64 listing = ++m_listing;
    m_unchecked = int(entries.size());
    if (entries.empty()) {
        Q_EMIT finished();
        return;
    }
    // The task has copies of all it reads, the opener's taken from the
    // ledger now. This object waits for it before it goes, so `this`
    // outlives every result posted.
    m_pool.start(
        [this, listing, opener = std::move(opener), entries = entries, passwords, stop = m_stop]() mutable {
            examineBackups(
                *opener, entries, passwords,
                [&](std::size_t at) {
                    QMetaObject::invokeMethod(
                        this, [this, listing, at, entry = entries[at]] { heard(listing, at, entry); },
                        Qt::QueuedConnection);
                },
                stop.get());
        });
}

void BackupChecks::heard(quint64 listing, std::size_t at, const BackupEntry &entry)
{
    if (listing != m_listing)
        return;
    --m_unchecked;
    Q_EMIT examined(at, entry);
    if (m_unchecked == 0)
        Q_EMIT finished();
}

} // namespace zambrel::ledger
