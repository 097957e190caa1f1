#pragma once

#include "ledger/assessment.h"
#include "ledger/month_panels.h"
#include "ledger/month_view_host.h"

#include <QString>

#include <memory>

namespace zambrel::store {
class RecordSet;
}

namespace zambrel::ledger {

/// The main window's month logic without the window: the four category
/// models, the type record set, the month record set, the current month and
/// the salary; loading a month, placing and removing items, month-end
/// carry-forward and the written assessment. Reads and writes the ledger on
/// the program-wide connection (store::modDB).
///
/// The host (may be null) receives captions, menu entries, toolbar states,
/// the type list and the advice; it must outlive the view.
class MonthView {
public:
    explicit MonthView(MonthViewHost *host = nullptr);
    ~MonthView();
    MonthView(const MonthView &) = delete;
    MonthView &operator=(const MonthView &) = delete;

    MonthPanels &panels() { return m_panels; }
    panel::CategoryRows &income() { return m_panels.income; }
    panel::CategoryRows &expenditure() { return m_panels.expenditure; }
    panel::CategoryRows &assets() { return m_panels.assets; }
    panel::CategoryRows &liabilities() { return m_panels.liabilities; }

    /// Empty until the month is first opened.
    QString currentMonth() const { return m_currentMonth; }
    /// Chooses the month to show (month menu, month picker, item commands);
    /// the next refresh() or openMonth() loads it.
    void setCurrentMonth(const QString &month) { m_currentMonth = month; }
    double salary() const { return m_salary; }

    /// All rows of AssetType ordered by type; null before the first load or
    /// when it could not be opened. Updatable: the item commands add types.
    store::RecordSet *typeRecords() const { return m_types.get(); }
    /// The current month's items; null while not open.
    store::RecordSet *monthRecords() const { return m_month.get(); }

    /// Reloads the whole month: panels, types, items, assessment. Errors are
    /// shown through the message routine; the refresh button is enabled
    /// whatever happens. Never throws.
    void refresh();
    /// Empties and titles the four panels; disables update, delete, refresh.
    void resetPanels();
    /// Loads the type groups and the month's items into the panels and sums
    /// the salary; true when every item has its own positive code.
    /// @throws store::DbError
    bool loadMonth();
    /// Opens the month record set for the current month, carrying the latest
    /// month forward first when no month was chosen yet. @throws store::DbError
    void openMonth();
    /// Month-end carry-forward: asks, then copies the latest stored month
    /// (except dividends; expenditure items with actual spending 0 and no
    /// memo) into the current month in one transaction. @throws store::DbError
    void carryForward();

    void placeItem(const QString &kind, const LedgerItem &item) { ledger::placeItem(m_panels, kind, item); }
    void removeItem(const QString &key);

    /// Re-places every row of `records` in the panels and returns the salary
    /// (income of 工资 items). Leaves `records` at its end.
    double placeItemsAndSumSalary(store::RecordSet *records);
    /// Judges the month, writes the status line and hands the advice to the
    /// host; returns both texts. @throws store::DbError
    Assessment assess();

    /// The previous month remembered by the assessment and its asset total.
    QString previousMonth() const { return m_previousMonth; }
    double previousAssets() const { return m_previousAssets; }

private:
    /// Places every row of `records` (one placeItem each), adding the income
    /// of salary items to `salary`; true when every item has its own
    /// positive code.
    bool placeItems(store::RecordSet &records, double &salary);
    /// Right after loading a month whose items have their own codes: whether
    /// placing them all again would leave every panel row as it is.
    bool placingAgainChangesNothing() const;
    /// The one thing placing again would change: the memos of panels with items.
    void emptyMemosAsPlacingAgainWould();
    Assessment adviseOn(double salary);

    MonthViewHost m_noHost;
    MonthViewHost *m_host;
    MonthPanels m_panels;
    std::unique_ptr<store::RecordSet> m_types;
    std::unique_ptr<store::RecordSet> m_month;
    QString m_currentMonth;
    double m_salary = 0;
    QString m_previousMonth;
    double m_previousAssets = 0;
};

/// One row of a month record set as an item.
LedgerItem itemFromRecord(const store::RecordSet &records);

} // namespace zambrel::ledger
