#pragma once

#include <QString>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// The three boxes of the change-password window. Empty means no password.
struct PasswordBoxes {
    QString oldPassword;
    QString newPassword;
    QString confirmation;
};

enum class PasswordChangeResult {
    Mismatch, ///< new and confirmed passwords differ; nothing was tried
    Refused,  ///< the ledger refused (a wrong old password, a failed re-key); nothing changed
    Changed,  ///< the ledger now opens with the new password only
};

/// OK of the change-password window: checks the boxes, re-keys the ledger
/// and tells the user the outcome through the message routine. Never
/// throws; on every road but Changed the ledger, its password and its
/// connection string are as they were.
PasswordChangeResult changeLedgerPassword(store::Ledger &ledger, const PasswordBoxes &boxes);

} // namespace zambrel::ledger
