#pragma once

#include <QString>

namespace zambrel::store {

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

/// Opens `ledgerPath` with `password` as the program-wide connection: a
/// fresh connection object per attempt. Only on success are the connection,
/// the connection string and the ledger path made program-wide and the path
/// stored in the settings. On failure nothing program-wide or stored
/// changes and the half-opened connection is released.
/// @throws DbError wrong password, missing, locked or foreign file.
void openLedgerConnection(const QString &ledgerPath, const QString &password);

} // namespace zambrel::store
