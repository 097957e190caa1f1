#pragma once

#include "base/message.h"

#include <QString>

namespace zambrel::store {
class DbError;
class Ledger;
} // namespace zambrel::store

namespace zambrel::ledger {

/// The three boxes of the change-password window. Empty means no password.
struct PasswordBoxes {
    QString oldPassword;
    QString newPassword;
    QString confirmation;
};

enum class PasswordChangeResult {
    Mismatch, ///< new and confirmed passwords differ; nothing was tried
    Changed,  ///< the ledger now opens with the new password only
};

/// What OK of the change-password window did, and what the window says of
/// it.
struct PasswordChange {
    PasswordChangeResult result = PasswordChangeResult::Mismatch;
    base::MessageRequest message;
};

/// OK of the change-password window: checks the boxes and re-keys the
/// ledger. @throws store::DbError when the ledger refuses (a wrong old
/// password, a failed re-key): the ledger, its password and its connection
/// string are then as they were, and the window says refusalMessage().
PasswordChange changeLedgerPassword(store::Ledger &ledger, const PasswordBoxes &boxes);

/// What the window says when the ledger refused: a wrong old password is
/// called one, before the description.
base::MessageRequest refusalMessage(const store::DbError &error);

} // namespace zambrel::ledger
