#include "backup.h"

#include "base/clock.h"
#include "store/ledger.h"

namespace zambrel::ledger {

QString backUpLedger(const store::Ledger &ledger)
{
    const QString target = store::backupFileName(ledger.path(), base::today());
    ledger.backupTo(target);
    return target;
}

QString backupDoneText(const QString &ledgerPath, const QString &backupPath)
{
    return ledgerPath + QStringLiteral("备份成功") + QLatin1Char('\n') + QStringLiteral("备份名称为：") +
           backupPath;
}

} // namespace zambrel::ledger
