#include "safety_copies.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/safe_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace zambrel::ledger {
namespace {

constexpr int kKeptByDefault = 10;

QString canonicalFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

// Ledgers of the program folder are told apart by their names. A ledger
// elsewhere (another folder, a USB stick) may share its name with one of
// them or with another outside ledger, so its copies carry a tag of its
// folder; otherwise each one's retention would remove the other's copies
// and each one's restore would offer the other's books.
QString ledgerStem(const QString &ledgerPath)
{
    const QFileInfo ledger(ledgerPath);
    const QString folder = canonicalFolder(ledger.absolutePath());
    if (folder == canonicalFolder(base::programFolder()))
        return ledger.completeBaseName();
    const QByteArray tag = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex();
    return ledger.completeBaseName() + u'~' + QString::fromLatin1(tag.left(8));
}

struct FoundCopy {
    QString path;
    QString stamp; ///< "yyyy-MM-dd_HHmm": sorts as time does
    int nth = 1;
};

std::vector<FoundCopy> copiesOf(const QString &ledgerPath)
{
    const QRegularExpression pattern(
        QLatin1Char('^') + QRegularExpression::escape(ledgerStem(ledgerPath)) +
        QStringLiteral("_(\\d{4}-\\d{2}-\\d{2}_\\d{4})_(?:carry-forward|password-change|restore)(?:-(\\d+))?"
                       "\\.mdb$"));
    const QDir folder(safetyCopyFolder());
    std::vector<FoundCopy> found;
    for (const QString &name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch())
            found.push_back({folder.filePath(name), match.captured(1),
                             match.captured(2).isEmpty() ? 1 : match.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const FoundCopy &a, const FoundCopy &b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.nth > b.nth;
    });
    return found;
}

} // namespace

QString safetyReasonName(SafetyReason reason)
{
    switch (reason) {
    case SafetyReason::CarryForward:
        return QStringLiteral("carry-forward");
    case SafetyReason::PasswordChange:
        return QStringLiteral("password-change");
    case SafetyReason::Restore:
        break;
    }
    return QStringLiteral("restore");
}

QString safetyCopyFolder()
{
    return base::programFolder() + QStringLiteral("/backups");
}

QString safetyCopyName(const QString &ledgerPath, const QDateTime &at, SafetyReason reason, int nth)
{
    return ledgerStem(ledgerPath) + u'_' + at.toString(QStringLiteral("yyyy-MM-dd_HHmm")) + u'_' +
           safetyReasonName(reason) + (nth > 1 ? u'-' + QString::number(nth) : QString()) +
           QStringLiteral(".mdb");
}

int safetyCopiesKept()
{
    bool isNumber = false;
    const int kept = base::settingsValue(QStringLiteral("backups"), QStringLiteral("safetyCopies"))
                         .trimmed()
                         .toInt(&isNumber);
    return isNumber && kept >= 1 ? kept : kKeptByDefault;
}

QStringList safetyCopiesOf(const QString &ledgerPath)
{
    QStringList paths;
    for (const FoundCopy &copy : copiesOf(ledgerPath))
        paths << copy.path;
    return paths;
}

QString takeSafetyCopy(const store::Ledger &ledger, SafetyReason reason, const QString &spare)
{
    const QString folder = safetyCopyFolder();
    int error = 0;
    if (!base::makePrivateFolder(folder, &error))
        throw store::fileError(error, folder);
    const QDateTime at = base::now();
    QString copy;
    // An earlier copy of the same minute keeps its name and its books.
    for (int nth = 1; copy.isEmpty() || base::fileExists(copy); ++nth)
        copy = folder + u'/' + safetyCopyName(ledger.path(), at, reason, nth);
    ledger.backupTo(copy);

    // The spared copy may be named through a link or a relative path, and the
    // folder itself may be: only the file's identity tells it.
    const std::vector<FoundCopy> copies = copiesOf(ledger.path());
    for (std::size_t old = std::size_t(safetyCopiesKept()); old < copies.size(); ++old) {
        const QString &path = copies[old].path;
        if (!store::sameFile(path, copy) && (spare.isEmpty() || !store::sameFile(path, spare)))
            QFile::remove(path);
    }
    return copy;
}

QString safetyCopyText(const QString &copyPath)
{
    return QStringLiteral("已保存安全副本 Safety copy saved: ") + copyPath;
}

} // namespace zambrel::ledger
