#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// Why a safety copy was taken: before a change of many rows at once.
enum class SafetyReason { CarryForward, PasswordChange, Restore };

/// The reason as it stands in a copy's name: "carry-forward",
/// "password-change", "restore".
QString safetyReasonName(SafetyReason reason);

/// The folder of the safety copies: "backups" in the program folder.
QString safetyCopyFolder();

/// The name of a copy of `ledgerPath` taken at `at` for `reason`: the
/// ledger's name without its extension, the date, the time to the minute and
/// the reason ("Zambrel_2026-12-07_0930_carry-forward.mdb"); the n-th copy of
/// the same minute and reason adds "-n" to the reason. A ledger outside the
/// program folder adds "~" and eight hex digits of its folder's path to its
/// name ("Zambrel~1f0c2a9b_…"), so that same-named ledgers of different
/// folders never share, list or remove each other's copies.
QString safetyCopyName(const QString &ledgerPath, const QDateTime &at, SafetyReason reason, int nth = 1);

/// How many safety copies are kept per ledger: the setting
/// ("backups", "safetyCopies"), 10 when it is not a number from 1 on.
int safetyCopiesKept();

/// The safety copies of `ledgerPath` in the safety-copy folder, newest
/// first (by the time in their names, then by their number).
QStringList safetyCopiesOf(const QString &ledgerPath);

/// Copies the open ledger, with its password and owner-only, into the
/// safety-copy folder (made owner-only when missing), never over an earlier
/// copy; then removes the oldest copies of this ledger beyond
/// safetyCopiesKept(), but never `spare` (a copy about to be read). Returns
/// the new copy's path. The time comes from base::now().
/// @throws store::DbError when the folder cannot be made or the copy cannot
/// be written (DiskFull when the disk is full); nothing is removed then.
QString takeSafetyCopy(const store::Ledger &ledger, SafetyReason reason, const QString &spare = {});

/// The status line after a safety copy: "已保存安全副本 Safety copy saved: PATH".
QString safetyCopyText(const QString &copyPath);

} // namespace zambrel::ledger
