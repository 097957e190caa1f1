#include "password_change.h"

#include "base/message.h"
#include "store/db_error.h"
#include "store/ledger.h"

namespace zambrel::ledger {

PasswordChangeResult changeLedgerPassword(store::Ledger &ledger, const PasswordBoxes &boxes)
{
    if (boxes.newPassword != boxes.confirmation) {
        base::showMessage(QStringLiteral("新密码和确认密码不一致，请重新指定！"), base::vbInformation);
        return PasswordChangeResult::Mismatch;
    }
    try {
        ledger.changePassword(boxes.oldPassword, boxes.newPassword);
    } catch (const store::DbError &error) {
        // Only a wrong old password is called one; any other failure says what it is.
        const QString text = error.kind() == store::ErrorKind::WrongPassword
                                 ? QStringLiteral("旧密码不正确，请重新指定！") + error.description()
                                 : error.description();
        base::showMessage(text, base::vbInformation);
        return PasswordChangeResult::Refused;
    }
    base::showMessage(QStringLiteral("密码修改成功，请记住你的新密码！"), base::vbInformation);
    return PasswordChangeResult::Changed;
}

} // namespace zambrel::ledger
