#include "backup_list.h"

#include "ledger/maintenance/safety_copies.h"
#include "ledger/report/month_report.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/safe_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace zambrel::ledger {
namespace {

QString theLedgerItself()
{
    return QStringLiteral("这是账本本身，不是备份 This is the ledger itself, not a backup");
}

} // namespace

QString backupCheckText(BackupCheck check)
{
    switch (check) {
    case BackupCheck::Ok:
        return QStringLiteral("可用 OK");
    case BackupCheck::OtherPassword:
        return QStringLiteral("密码不同 Other password");
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

BackupEntry examineBackup(const QString &path, const QString &password, BackupOrigin origin,
                          const QString &ledgerPath)
{
    BackupEntry entry;
    entry.path = QFileInfo(path).absoluteFilePath();
    entry.origin = origin;
    const QFileInfo file(entry.path);
    entry.modified = file.lastModified();
    entry.size = file.size();
    if (store::sameFile(entry.path, ledgerPath)) {
        entry.problem = theLedgerItself();
        return entry;
    }
    try {
        const store::Ledger backup(entry.path, password, store::Access::ReadOnly);
        entry.newestMonth = backup.latestMonth();
        if (!entry.newestMonth.isEmpty())
            entry.newestMonthItems = int(backup.monthItems(entry.newestMonth).size());
        const QStringList problems = backup.integrityProblems();
        entry.check = problems.isEmpty() ? BackupCheck::Ok : BackupCheck::Damaged;
        entry.problem = problems.join(u'\n');
    } catch (const store::DbError &error) {
        entry.check = error.kind() == store::ErrorKind::WrongPassword ? BackupCheck::OtherPassword
                                                                      : BackupCheck::Damaged;
        entry.problem = error.description();
    }
    return entry;
}

std::vector<BackupEntry> listBackups(const QString &ledgerPath, const QString &password,
                                     const QStringList &added)
{
    std::vector<BackupEntry> entries;
    QStringList seen;
    const auto examine = [&](const QStringList &paths, BackupOrigin origin) {
        for (const QString &path : paths) {
            const QString absolute = QFileInfo(path).absoluteFilePath();
            if (seen.contains(absolute))
                continue;
            seen << absolute;
            entries.push_back(examineBackup(absolute, password, origin, ledgerPath));
        }
    };
    examine(datedBackupsOf(ledgerPath), BackupOrigin::Dated);
    examine(safetyCopiesOf(ledgerPath), BackupOrigin::Safety);
    examine(added, BackupOrigin::Added);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BackupEntry &a, const BackupEntry &b) { return a.modified > b.modified; });
    return entries;
}

void refuseTheLedgerItself(const QString &backup, const QString &ledgerPath)
{
    if (store::sameFile(backup, ledgerPath))
        throw store::DbError(store::ErrorKind::Other, theLedgerItself() + QStringLiteral(": ") + backup);
}

BackupPreview previewBackup(const QString &path, const QString &password, const QString &ledgerPath)
{
    refuseTheLedgerItself(path, ledgerPath);
    store::Ledger backup(path, password, store::Access::ReadOnly);
    BackupPreview preview;
    preview.month = backup.latestMonth();
    if (preview.month.isEmpty())
        return preview;
    const MonthReport report = monthReport(backup, preview.month);
    preview.summary = report.summary;
    preview.statusLine = report.statusLine;
    return preview;
}

} // namespace zambrel::ledger
