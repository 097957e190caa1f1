#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::ledger {

/// What the month logic asks of the main window. The window implements it;
/// tests record the calls. Every method defaults to doing nothing.
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
};

} // namespace zambrel::ledger
