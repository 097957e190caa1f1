#pragma once

#include "base/status_line.h"

#include <QString>
#include <QStringList>

namespace zambrel::ledger {

/// What the month logic asks of the main window. The window implements it;
/// tests record the calls. Every method defaults to doing nothing, but for
/// the status line, which goes to the main window's status bar.
class MonthViewHost {
public:
    virtual ~MonthViewHost() = default;

    virtual void setWindowCaption(const QString &caption) { (void)caption; }
    /// The month button shows the current month as its caption.
    virtual void setRefreshCaption(const QString &month) { (void)month; }
    /// Whether the month may be reloaded now (not while it loads).
    virtual void setRefreshEnabled(bool enabled) { (void)enabled; }
    /// An item of the month was selected, or no item is selected any more
    /// (a group row chosen, the item deleted, the panels emptied).
    virtual void setItemSelected(bool selected) { (void)selected; }
    virtual void setAdvice(const QString &advice) { (void)advice; }
    /// The month's status line.
    virtual void showStatus(const QString &text) { base::showStatus(text); }
};

} // namespace zambrel::ledger
