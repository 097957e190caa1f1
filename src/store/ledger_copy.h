#pragma once

// Internal to the store library: whole-ledger copies through the open
// connection, for backups and re-keying.

#include <QString>

namespace zambrel::store {

class Connection;
class LedgerKeys;
class PendingFile;

/// Writes the ledger file open on `connection` into `copy` as it stands on
/// disk, read through the engine's own descriptor: the file is never opened a
/// second time and its lock never let go. With no transaction open every
/// committed change is in the file, and the lock keeps other programs from
/// changing it meanwhile, so the copy is the whole ledger, under the same
/// key. @throws DbError
void copyLedgerFile(const Connection &connection, PendingFile &copy);

/// Copies the ledger open on `connection` into the empty file `file`, which
/// the engine attaches to the same connection: the ledger is never opened a
/// second time and its lock never let go. The copy is keyed with `password`
/// (empty: none), its key kept in `keys` when given. `shownPath` names the
/// copy in error messages.
///
/// What the copy carries: every table with its rows, the indexes, views and
/// triggers, the AUTOINCREMENT counters (sqlite_sequence), and the header's
/// user_version and application_id (copied here: the engine's export leaves
/// them 0). Page size, auto-vacuum and the other header settings are those of
/// a new file.
/// @throws DbError
void copyLedgerInto(const Connection &connection, const QString &file, const QString &password,
                    LedgerKeys *keys, const QString &shownPath);

/// Re-keys the ledger open on `connection` to `newPassword` by replacing its
/// file (links resolved) with a copy under the new key, while this process
/// holds the lock on the old file and then on the new one without a gap.
/// On success `connection` is open on the new file; on failure it is still
/// open on the old one, which is back under its name. The new key is kept in
/// `keys` when given.
///
/// Files it makes beside the ledger, recognisable after a crash:
/// "LEDGER.rekey-XXXXXXXX" (the copy being written) and "LEDGER.old-XXXXXXXX"
/// (the old file, kept until the new one holds). @throws DbError
void rekeyLedger(Connection &connection, const QString &newPassword, LedgerKeys *keys = nullptr);

} // namespace zambrel::store
