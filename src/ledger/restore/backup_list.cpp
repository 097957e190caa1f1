#include "backup_list.h"

#include "base/scope_guard.h"
#include "ledger/maintenance/safety_copies.h"
#include "ledger/report/month_report.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace zambrel::ledger {

QString backupCheckText(BackupCheck check)
{
    switch (check) {
    case BackupCheck::Ok:
        return QStringLiteral("可用 OK");
    case BackupCheck::OtherPassword:
        return QStringLiteral("密码不同 Other password");
    case BackupCheck::Checking:
        return QStringLiteral("检查中 Checking…");
    case BackupCheck::Newer:
        return QStringLiteral("版本较新 Newer version");
    case BackupCheck::Damaged:
        break;
    }
    return QStringLiteral("已损坏 Damaged");
}

QStringList datedBackupsOf(const QString &ledgerPath)
{
    // The name of any day's backup, with its date as the one part that varies.
    const QString sampleDay = QStringLiteral("2000-01-01");
    const QString sample = QFileInfo(store::backupFileName(ledgerPath, QDate(2000, 1, 1))).fileName();
    const qsizetype at = sample.lastIndexOf(sampleDay);
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(sample.left(at)) +
                                     QStringLiteral("\\d{4}-\\d{2}-\\d{2}") +
                                     QRegularExpression::escape(sample.mid(at + sampleDay.size())) +
                                     QLatin1Char('$'));
    const QDir folder = QFileInfo(ledgerPath).absoluteDir();
    QStringList found;
    for (const QString &name : folder.entryList(QDir::Files)) {
        if (pattern.match(name).hasMatch())
            found << folder.filePath(name);
    }
    return found;
}

BackupEntry backupFile(const QString &path, BackupOrigin origin)
{
    BackupEntry entry;
    entry.path = QFileInfo(path).absoluteFilePath();
    entry.origin = origin;
    entry.check = BackupCheck::Checking;
    const QFileInfo file(entry.path);
    entry.modified = file.lastModified();
    entry.size = file.size();
    return entry;
}

bool stillAsListed(const BackupEntry &entry)
{
    const BackupEntry now = backupFile(entry.path, entry.origin);
    return QFileInfo::exists(now.path) && now.modified == entry.modified && now.size == entry.size;
}

std::vector<BackupEntry> findBackups(const store::Ledger &ledger, const QStringList &added)
{
    std::vector<BackupEntry> found;
    QStringList seen;
    const auto collect = [&](const QStringList &paths, BackupOrigin origin) {
        for (const QString &path : paths) {
            const QString absolute = QFileInfo(path).absoluteFilePath();
            if (!seen.contains(absolute)) {
                seen << absolute;
                found.push_back(backupFile(absolute, origin));
            }
        }
    };
    collect(datedBackupsOf(ledger.path()), BackupOrigin::Dated);
    collect(safetyCopiesOf(ledger.path()), BackupOrigin::Safety);
    collect(added, BackupOrigin::Added);
    std::stable_sort(found.begin(), found.end(),
                     [](const BackupEntry &a, const BackupEntry &b) { return a.modified > b.modified; });
    return found;
}

void ChecksStop::stop()
{
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    for (const store::Ledger *backup : m_open)
        backup->interrupt();
}

bool ChecksStop::stopped() const
{
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

int ChecksStop::underWay() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_open.size());
}

bool ChecksStop::enter(const store::Ledger &backup)
{
    const std::lock_guard lock(m_mutex);
    if (m_stopped)
        return false;
    m_open.push_back(&backup);
    return true;
}

void ChecksStop::leave(const store::Ledger &backup)
{
    const std::lock_guard lock(m_mutex);
    std::erase(m_open, &backup);
}

void examineBackup(const store::CopyOpener &opener, BackupEntry &entry,
                   const std::optional<QString> &password, ChecksStop *stop)
{
    const auto unchecked = [&entry] {
        entry.check = BackupCheck::Checking;
        entry.newestMonth.clear();
        entry.newestMonthItems = 0;
        entry.problem.clear();
    };
    unchecked();
    if (stop && stop->stopped())
        return;
    try {
        const std::unique_ptr<store::Ledger> backup = opener.open(entry.path, password);
        // Left before the backup closes: an interruption needs it open.
        if (stop && !stop->enter(*backup))
            return;
        const base::ScopeGuard left([stop, &backup] {
            if (stop)
                stop->leave(*backup);
        });
        entry.newestMonth = backup->latestMonth();
        if (!entry.newestMonth.isEmpty())
            entry.newestMonthItems = int(backup->monthItems(entry.newestMonth).size());
        // An interruption between two statements would pass unnoticed.
        if (stop && stop->stopped()) {
            unchecked();
            return;
        }
        const QStringList problems = backup->integrityProblems();
        entry.check = problems.isEmpty() ? BackupCheck::Ok : BackupCheck::Damaged;
        entry.problem = problems.join(u'\n');
        if (problems.isEmpty() && backup->fileVersion() > store::kLedgerVersion) {
            entry.check = BackupCheck::Newer;
            entry.problem = QStringLiteral("由较新版本的程序写成，这个版本不能恢复它 Written by a newer "
                                           "version of the program; this version cannot restore it");
        }
    } catch (const store::DbError &error) {
        entry.check = error.kind() == store::ErrorKind::WrongPassword ? BackupCheck::OtherPassword
                                                                      : BackupCheck::Damaged;
        entry.problem = error.description();
    }
    // Whatever a stopped check found is not its finding.
    if (stop && stop->stopped())
        unchecked();
}

void examineBackups(const store::CopyOpener &opener, std::vector<BackupEntry> &entries,
                    const BackupPasswords &passwords, const std::function<void(std::size_t)> &examined,
                    ChecksStop *stop)
{
    // Each backup is a file and a connection of its own, and its check is
    // mostly the password's key derivation and the page-by-page check: the
    // cores take them in turn.
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t at = next++; at < entries.size() && !(stop && stop->stopped()); at = next++) {
            BackupEntry &entry = entries[at];
            const auto password = passwords.constFind(entry.path);
            examineBackup(opener, entry,
                          password == passwords.constEnd() ? std::nullopt : std::optional(*password), stop);
            if (examined && entry.check != BackupCheck::Checking)
                examined(at);
        }
    };
    const std::size_t workers =
        std::min<std::size_t>(entries.size(), std::size_t(std::max(1, QThread::idealThreadCount())));
    std::vector<std::thread> threads;
    for (std::size_t n = 1; n < workers; ++n)
        threads.emplace_back(work);
    work();
    for (std::thread &thread : threads)
        thread.join();
}

std::vector<BackupEntry> listBackups(const store::Ledger &ledger, const QStringList &added)
{
    std::vector<BackupEntry> entries = findBackups(ledger, added);
    examineBackups(*ledger.copyOpener(), entries);
    return entries;
}

BackupPreview previewBackup(const store::Ledger &ledger, const QString &path,
                            const std::optional<QString> &password)
{
    const std::unique_ptr<store::Ledger> backup = ledger.openCopy(path, password);
    BackupPreview preview;
    preview.month = backup->latestMonth();
    if (preview.month.isEmpty())
        return preview;
    const MonthReport report = monthReport(*backup, preview.month);
    preview.summary = report.summary;
    preview.statusLine = report.statusLine;
    for (const ReportCategory &category : report.categories)
        preview.totalLines << category.caption + u' ' + category.totalText;
    return preview;
}

} // namespace zambrel::ledger
