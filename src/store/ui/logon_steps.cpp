#include "logon_steps.h"

#include "store/app_paths.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <memory>

namespace zambrel::store {

LogonStart logonStartValues(const QString &otherDB)
{
    LogonStart start;
    start.ledgerPath = usualLedgerPath();
    if (!fileExists(start.ledgerPath)) {
        try {
            ensureDefaultLedger();
        } catch (...) {
            // The logon reports a missing ledger when it is opened.
        }
    }
    if (!otherDB.isEmpty())
        start.ledgerPath = otherDB;

    start.skinPath = settingsValue(QStringLiteral("skin"), QStringLiteral("skin"));
    if (start.skinPath.isEmpty() || !fileExists(start.skinPath))
        start.skinPath = defaultSkinPath();
    return start;
}

bool isOtherLedger(const QString &chosen, const QString &current)
{
    return !chosen.isEmpty() && chosen.toLower() != current.toLower();
}

std::shared_ptr<Ledger> openLedger(const QString &ledgerPath, const QString &password)
{
    auto ledger = std::make_shared<Ledger>(ledgerPath, password);
    saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), ledgerPath);
    return ledger;
}

} // namespace zambrel::store
