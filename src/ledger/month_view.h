#pragma once

#include "base/message.h"
#include "ledger/assessment.h"
#include "ledger/month_panels.h"
#include "ledger/month_summary.h"
#include "ledger/month_view_host.h"
#include "store/ledger_records.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// The main window's month logic without the window: the four category
/// models, the item types, the current month's items, the current month and
/// the salary; loading a month, placing and removing items, month-end
/// carry-forward and the written assessment. Reads and writes through the
/// ledger it is given.
///
/// The ledger and the host (the host may be null) must outlive the view. The
/// host receives captions, menu entries, whether a reload may run and an item
/// is selected, and the advice; the status line goes to base::showStatus.
class MonthView {
public:
    explicit MonthView(store::Ledger &ledger, MonthViewHost *host = nullptr);
    /// A view whose ledger is not open yet: nothing may be read until
    /// setLedger() gives it one (a window built while the password is typed).
    explicit MonthView(MonthViewHost *host);
    ~MonthView();
    MonthView(const MonthView &) = delete;
    MonthView &operator=(const MonthView &) = delete;

    store::Ledger &ledger() const { return *m_ledger; }
    void setLedger(store::Ledger &ledger) { m_ledger = &ledger; }
    /// What the view tells its window (a host that does nothing when it was
    /// given none).
    MonthViewHost &host() const { return *m_host; }
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

    /// The item types in the order they were read (by name), with any added
    /// since appended; empty before the first load.
    const std::vector<store::ItemType> &types() const { return m_types; }
    /// The category mask of a type; empty for a type not in the list.
    QString kindOf(const QString &type) const { return m_kinds.value(type); }
    /// Reads the item types when they have not been read yet.
    /// @throws store::DbError
    void readTypes();
    /// The ledger's books changed beneath the view (a restore, an undone or
    /// redone step): what was read and kept (the types, the previous month's
    /// assets) is read again by the next reload.
    void booksReplaced();
    /// A type the item commands stored: it joins the list (at its end).
    void addType(const store::ItemType &type);
    /// The type names as the month last loaded them, in order: the entry
    /// window's type list (a type stored since joins it at the next load).
    const QStringList &typeNames() const { return m_typeNames; }

    /// The current month's items as last read.
    const std::vector<store::Item> &items() const { return m_items; }
    /// The item with `code` among them, or null.
    const store::Item *item(qint64 code) const;

    /// Reloads the whole month: panels, types, items, assessment; returns
    /// the assessment. Whatever happens, a reload may run again afterwards
    /// and the window is titled with the program's name. Without a chosen
    /// month, today's month opens. @throws store::DbError
    Assessment reload();
    /// Empties and titles the four panels; disables update, delete, refresh.
    void resetPanels();
    /// Loads the type groups and the month's items into the panels and sums
    /// the salary; true when every item has its own positive code.
    /// @throws store::DbError
    bool loadMonth();
    /// Reads the current month's items; without a chosen month, today's
    /// month becomes the current one. @throws store::DbError
    void openMonth();

    /// A month-end carry-forward: from the latest stored month into today's.
    struct CarryForward {
        QString from;
        QString to;
    };
    /// The carry-forward due before the month is first opened: when no month
    /// was chosen yet and the latest stored month is older than today's.
    /// The window asks carryForwardQuestion() before carryForward().
    /// @throws store::DbError when the latest month cannot be read.
    std::optional<CarryForward> dueCarryForward() const;
    /// "是否要月结?", Yes or No.
    static base::MessageRequest carryForwardQuestion();
    /// Keeps a safety copy of the ledger (reason "carry-forward"), then
    /// copies the month `due.from` (except dividends; expenditure items with
    /// actual spending 0 and no memo) into `due.to` in one transaction: an
    /// interrupted write leaves none of the new rows. The next reload's
    /// status line says that the copy was saved. @throws host::RoutedError on
    /// the menu command's road when the copy cannot be saved (then nothing is
    /// carried forward), store::DbError when the write fails.
    void carryForward(const CarryForward &due);

    void placeItem(const QString &kind, const store::Item &item) { ledger::placeItem(m_panels, kind, item); }
    void removeItem(const QString &key);

    /// Places every item of the month again, as the view does after every
    /// change (each row is rewritten in place; the panels' memos empty).
    void placeItemsAgain();
    /// Places the month's items again, then judges the month: writes the
    /// status line and hands the advice to the host; returns both texts.
    /// @throws store::DbError when the previous month's assets cannot be read.
    Assessment assess();

    /// The month's totals from its items (the panels show the same).
    MonthSummary summary() const { return summariseMonth(m_items, m_types); }

    /// The previous month remembered by the assessment and its asset total.
    QString previousMonth() const { return m_previousMonth; }
    double previousAssets() const { return m_previousAssets; }

private:
    /// Places every item (one placeItem each), adding the income of salary
    /// items to `salary` when given; true when every item has its own
    /// positive code.
    bool placeItems(double *salary = nullptr);
    /// Right after loading a month whose items have their own codes: whether
    /// placing them all again would leave every panel row as it is.
    bool placingAgainChangesNothing() const;
    /// The one thing placing again would change: the memos of panels with items.
    void emptyMemosAsPlacingAgainWould();
    Assessment adviseOn(const MonthSummary &summary);

    store::Ledger *m_ledger = nullptr;
    MonthViewHost m_noHost;
    MonthViewHost *m_host;
    MonthPanels m_panels;
    std::vector<store::ItemType> m_types;
    QHash<base::TextKey, QString> m_kinds;
    QStringList m_typeNames;
    bool m_typesRead = false;
    std::vector<store::Item> m_items;
    QString m_currentMonth;
    double m_salary = 0;
    QString m_previousMonth;
    double m_previousAssets = 0;
    /// Said before the next status line (once).
    QString m_statusNotice;
};

} // namespace zambrel::ledger
