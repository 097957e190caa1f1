#include "logon_steps.h"

#include "base/app_paths.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <memory>

namespace zambrel::store {

LogonStart logonStartValues(const QString &otherDB)
{
    LogonStart start;
    if (!otherDB.isEmpty()) {
        start.ledgerPath = otherDB;
    } else {
        const QString stored = base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB"));
        if (!stored.isEmpty() && !base::fileExists(stored))
            start.missingLedger = stored;
        start.ledgerPath = base::usualLedgerPath();
        if (!base::fileExists(start.ledgerPath)) {
            try {
                ensureDefaultLedger();
            } catch (const DbError &error) {
                start.defaultLedgerProblem = error.description();
            }
        }
    }

    start.skinPath = base::settingsValue(QStringLiteral("skin"), QStringLiteral("skin"));
    if (start.skinPath.isEmpty() || !base::fileExists(start.skinPath))
        start.skinPath = base::defaultSkinPath();
    return start;
}

QString logonHint(const LogonStart &start)
{
    QStringList lines;
    if (!start.missingLedger.isEmpty())
        lines << QStringLiteral("找不到上次的账本 The last ledger is missing: ") + start.missingLedger +
                     QStringLiteral("\n改为打开默认账本 Offering the default ledger instead");
    if (!start.defaultLedgerProblem.isEmpty())
        lines << start.defaultLedgerProblem;
    return lines.join(QLatin1Char('\n'));
}

namespace {

/// The file a path names: links and ".." resolved for a file that exists,
/// the absolute clean path for one that does not (yet).
QString namedFile(const QString &path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

} // namespace

bool isOtherLedger(const QString &chosen, const QString &current)
{
    return !chosen.isEmpty() && namedFile(chosen) != namedFile(current);
}

std::shared_ptr<Ledger> openLedgerFile(const QString &ledgerPath, const QString &password)
{
    // Made here too, so that OK says why it cannot be, not that it is missing.
    if (ledgerPath == base::defaultLedgerPath() && !base::fileExists(ledgerPath))
        ensureDefaultLedger();
    return std::make_shared<Ledger>(ledgerPath, password);
}

void rememberLedger(const QString &ledgerPath)
{
    // Kept for the next start, which may begin in another folder.
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QFileInfo(ledgerPath).absoluteFilePath());
}

std::shared_ptr<Ledger> openLedger(const QString &ledgerPath, const QString &password)
{
    auto ledger = openLedgerFile(ledgerPath, password);
    rememberLedger(ledgerPath);
    return ledger;
}

} // namespace zambrel::store
