#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace zambrel::store {

/// Removes from `folder` what a killed run of the program left there, and
/// returns the names removed:
/// - the pending writes of this store: "NAME.tmp-", "NAME.rekey-" and
///   "NAME.new-" followed by hex digits; "NAME.old-…" (a second name of a
///   ledger during a password change) only while NAME itself is there, so
///   the books never lose their last name;
/// - what the settings store leaves while it saves one of `savedFiles`
///   (file names in `folder`): "NAME." followed by six letters or digits.
///
/// In a folder the program shares with others, only the pending writes of
/// its own files are its: `owns`, when given, says which NAMEs those are.
///
/// Only regular files of this user last changed before `startedAt` go:
/// anything newer may be another running copy's write in progress. Never
/// throws; what cannot be removed stays.
QStringList removeStaleTemporaries(const QString &folder, const QDateTime &startedAt,
                                   const QStringList &savedFiles = {},
                                   const std::function<bool(const QString &name)> &owns = {});

} // namespace zambrel::store
