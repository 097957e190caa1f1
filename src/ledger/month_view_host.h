#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::ledger {

/// Toolbar buttons the month logic enables and disables.
enum class ToolbarButton { Update, Delete, Refresh };

/// What the month logic asks of the main window. The window implements it;
/// tests record the calls. Every method defaults to doing nothing.
class MonthViewHost {
public:
    virtual ~MonthViewHost() = default;

    virtual void setWindowEnabled(bool enabled) { (void)enabled; }
    virtual void setWindowCaption(const QString &caption) { (void)caption; }
    /// Adds an entry to the month button's drop-down menu.
    virtual void addMonthMenuEntry(const QString &key, const QString &caption)
    {
        (void)key;
        (void)caption;
    }
    /// The month button shows the current month as its caption.
    virtual void setRefreshCaption(const QString &month) { (void)month; }
    virtual void setToolbarButtonEnabled(ToolbarButton button, bool enabled)
    {
        (void)button;
        (void)enabled;
    }
    /// The type names, in order, for the entry dialog's type list.
    virtual void setTypeList(const QStringList &types) { (void)types; }
    virtual void setAdvice(const QString &advice) { (void)advice; }
};

} // namespace zambrel::ledger
