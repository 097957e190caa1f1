#include "password_change.h"

#include "store/db_error.h"
#include "store/ledger.h"

namespace zambrel::ledger {
namespace {

base::MessageRequest information(const QString &text)
{
    return {text, base::MessageButtons::Ok, base::MessageIcon::Information, {}};
}

} // namespace

PasswordChange changeLedgerPassword(store::Ledger &ledger, const PasswordBoxes &boxes)
{
    if (boxes.newPassword != boxes.confirmation)
        return {PasswordChangeResult::Mismatch,
                information(QStringLiteral("新密码和确认密码不一致，请重新指定！"))};
    ledger.changePassword(boxes.oldPassword, boxes.newPassword);
    return {PasswordChangeResult::Changed, information(QStringLiteral("密码修改成功，请记住你的新密码！"))};
}

base::MessageRequest refusalMessage(const store::DbError &error)
{
    // Only a wrong old password is called one; any other failure says what it is.
    return information(error.kind() == store::ErrorKind::WrongPassword
                           ? QStringLiteral("旧密码不正确，请重新指定！") + error.description()
                           : error.description());
}

} // namespace zambrel::ledger
