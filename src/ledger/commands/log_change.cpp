#include "log_change.h"

#include "base/clock.h"

namespace zambrel::ledger {

QString memoWithChange(const QString &memo, const QString &label, const QString &tag, const QString &text,
                       const QDateTime &when)
{
    if (tag.isEmpty() || tag == text)
        return memo;
    return QStringLiteral("【") + when.toString(QStringLiteral("yyyy年MM月dd日 hh:mm")) +
           QStringLiteral("】") + label + u' ' + tag + QStringLiteral(" >") + text + QStringLiteral("\r\n") +
           memo;
}

void logChange(const QString &label, input::EntryField amountField, input::EntryForm &form)
{
    const QString memo = form.text(input::EntryField::Memo);
    const QString logged =
        memoWithChange(memo, label, form.tag(amountField), form.text(amountField), base::now());
    if (logged != memo)
        form.setText(input::EntryField::Memo, logged);
}

} // namespace zambrel::ledger
