#pragma once

#include <QString>

#include <memory>

namespace zambrel::store {

class Ledger;

/// What the logon window starts with.
struct LogonStart {
    QString ledgerPath;
    QString skinPath;
};

/// The ledger and skin the logon window shows: the stored ledger, or the
/// default ledger when none is stored or its file is gone (created when it
/// is missing too), or `otherDB` when given; the stored skin, or the default
/// skin when none is stored or its file is gone.
LogonStart logonStartValues(const QString &otherDB = {});

/// True when `chosen` names another ledger than `current`; letter case does
/// not count.
bool isOtherLedger(const QString &chosen, const QString &current);

/// Opens `ledgerPath` with `password` and, once it is open, stores the path
/// in the settings for the next start. On failure nothing is stored and no
/// file stays locked.
/// @throws DbError wrong password, missing, locked or foreign file.
std::shared_ptr<Ledger> openLedger(const QString &ledgerPath, const QString &password);

} // namespace zambrel::store
