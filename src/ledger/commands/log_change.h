#pragma once

#include "input/entry_form.h"

#include <QDateTime>
#include <QString>

namespace zambrel::ledger {

/// The change line put in front of a memo when an amount changed from `tag`
/// (the value loaded) to `text`: "【yyyy年mm月dd日 hh:mm】" label, a blank,
/// old value, " >", new value, CR LF. Returns `memo` unchanged when the tag
/// is empty (an add, or the field was never loaded) or equals the text;
/// texts are compared as typed, so 1000 -> 1000.00 counts as a change.
QString memoWithChange(const QString &memo, const QString &label, const QString &tag, const QString &text,
                       const QDateTime &when);

/// Applies memoWithChange to the form's memo for one amount field, dated
/// base::now().
void logChange(const QString &label, input::EntryField amountField, input::EntryForm &form);

} // namespace zambrel::ledger
