#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::store {

class Connection;

/// Creates a new ledger file at `path` with the tables Asset, AssetType and
/// log, their indexes, and the starter item types; encrypted with `password`
/// when not empty. Atomic: written under a temporary name, then linked into
/// place. The file (and its temporary) is readable by its owner alone.
/// @throws DbError when `path` exists already or cannot be written, with the
/// operating system's reason (DiskFull when the disk is full).
void createLedger(const QString &path, const QString &password = {});

/// What a ledger file looks like from outside, before any password is tried.
enum class LedgerFileLook {
    Missing,      ///< no file at the path
    Unreadable,   ///< a file, or a folder on the way to it, this user may not read
    Folder,       ///< not a file at all, and never opened: a folder,
    Device,       ///< a device (reading /dev/zero would never end),
    Pipe,         ///< a pipe (reading it would block),
    Special,      ///< or a socket
    NotADatabase, ///< no database file of any kind (too short, or not whole pages)
    Unencrypted,  ///< a database without a password
    Encrypted,    ///< whole pages of what may be an encrypted ledger (or noise)
};
/// Looks at the file through the engine, never through a descriptor of its
/// own. Not for a ledger this process holds: closing the engine's handle
/// closes its descriptor, which drops every lock the process holds on the file
/// unless another of the engine's handles holds them.
LedgerFileLook lookAtLedgerFile(const QString &path);

/// Creates the default ledger in the program folder when it is missing.
/// Returns its path. @throws DbError as createLedger() when it cannot.
QString ensureDefaultLedger();

/// Every column the program reads or writes, as "Table.column" grouped by
/// table (Asset, AssetType, log). A ledger lacking any of them is damaged.
const QStringList &requiredLedgerColumns();

/// Checks by reading that the ledger holds every table and column the
/// program uses. @throws DbError Damaged naming what is missing, or
/// NotALedger when it holds none of the tables.
void checkLedgerSchema(const Connection &connection);

} // namespace zambrel::store
