#pragma once

#include <QString>

#include <memory>

namespace zambrel::store {

class Ledger;

/// What the logon window starts with.
struct LogonStart {
    QString ledgerPath;
    QString skinPath;
    /// The stored ledger when its file is gone (the default ledger is offered
    /// instead); empty otherwise.
    QString missingLedger;
    /// Why the default ledger could not be made, when it is offered and
    /// could not be; empty otherwise.
    QString defaultLedgerProblem;
};

/// The ledger and skin the logon window shows: the stored ledger, or the
/// default ledger when none is stored or its file is gone (created when it
/// is missing too), or `otherDB` when given; the stored skin, or the default
/// skin when none is stored or its file is gone. Changes no setting.
LogonStart logonStartValues(const QString &otherDB = {});

/// True when `chosen` names another ledger file than `current`: the paths
/// are compared as the files they resolve to (a link or a ".." path to the
/// same file is that file); letter case counts, as it does on the disk.
bool isOtherLedger(const QString &chosen, const QString &current);

/// The hint line's text for a start: names the missing stored ledger before
/// the default one is offered, and says why the default ledger could not be
/// made. Empty when there is nothing to say.
QString logonHint(const LogonStart &start);

/// Opens `ledgerPath` with `password` and, once it is open, stores the path
/// in the settings for the next start. The default ledger is made first when
/// it is missing. On failure nothing is stored and no file stays locked.
/// @throws DbError wrong password, missing, locked or foreign file, or why
/// the default ledger cannot be made.
std::shared_ptr<Ledger> openLedger(const QString &ledgerPath, const QString &password);

/// openLedger() in two steps, for a caller that opens on a worker thread:
/// openLedgerFile() makes the default ledger when it is missing and opens
/// the file (it touches no setting); rememberLedger() stores the path once
/// the ledger is open. @throws DbError as openLedger().
std::shared_ptr<Ledger> openLedgerFile(const QString &ledgerPath, const QString &password);
void rememberLedger(const QString &ledgerPath);

} // namespace zambrel::store
