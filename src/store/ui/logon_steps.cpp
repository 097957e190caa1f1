#include "logon_steps.h"

#include "store/app_paths.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QStringList>

#include <memory>

namespace zambrel::store {

LogonStart logonStartValues(const QString &otherDB)
{
    LogonStart start;
    if (!otherDB.isEmpty()) {
        start.ledgerPath = otherDB;
    } else {
        const QString stored = settingsValue(QStringLiteral("DB"), QStringLiteral("DB"));
        if (!stored.isEmpty() && !fileExists(stored))
            start.missingLedger = stored;
        start.ledgerPath = usualLedgerPath();
        if (!fileExists(start.ledgerPath)) {
            try {
                ensureDefaultLedger();
            } catch (const DbError &error) {
                start.defaultLedgerProblem = error.description();
            }
        }
    }

    start.skinPath = settingsValue(QStringLiteral("skin"), QStringLiteral("skin"));
    if (start.skinPath.isEmpty() || !fileExists(start.skinPath))
        start.skinPath = defaultSkinPath();
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

bool isOtherLedger(const QString &chosen, const QString &current)
{
    return !chosen.isEmpty() && chosen.toLower() != current.toLower();
}

std::shared_ptr<Ledger> openLedger(const QString &ledgerPath, const QString &password)
{
    // Made here too, so that OK says why it cannot be, not that it is missing.
    if (ledgerPath == defaultLedgerPath() && !fileExists(ledgerPath))
        ensureDefaultLedger();
    auto ledger = std::make_shared<Ledger>(ledgerPath, password);
    saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), ledgerPath);
    return ledger;
}

} // namespace zambrel::store
