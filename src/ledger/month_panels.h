#pragma once

#include "panel/category_rows.h"
#include "store/ledger_records.h"

#include <QString>

namespace zambrel::ledger {

/// The four category models of the month view. Not copyable (QObjects).
struct MonthPanels {
    panel::CategoryRows income;
    panel::CategoryRows expenditure;
    panel::CategoryRows assets;
    panel::CategoryRows liabilities;

    /// Starts / ends a batch update on all four (see CategoryRows).
    void beginUpdate();
    void endUpdate();
    /// Recomputes each panel's total line and shares.
    void updateTotals();
};

/// Holds a batch open on all four panels for its lifetime.
class PanelsBatch {
public:
    explicit PanelsBatch(MonthPanels &panels) : m_panels(panels) { m_panels.beginUpdate(); }
    ~PanelsBatch() { m_panels.endUpdate(); }
    PanelsBatch(const PanelsBatch &) = delete;
    PanelsBatch &operator=(const PanelsBatch &) = delete;

private:
    MonthPanels &m_panels;
};

/// Empties the four panels and gives them caption, caption colour
/// (expenditure and liabilities) and column header.
void resetPanels(MonthPanels &panels);

/// Adds the group rows of one type: one per category whose mask position is
/// "1", titled type + 收入 / 支出 / 资产 / 贷款.
void addGroupRows(MonthPanels &panels, const QString &kind, const QString &types);

/// Puts one item into the panels by its type's category mask `kind`. Nothing
/// happens when `kind` is blank. An expenditure item with a monthly repayment
/// shows one expenditure row, named with 还贷 appended and carrying the
/// repayment as its planned amount; loans show in the liabilities panel.
void placeItem(MonthPanels &panels, const QString &kind, const store::Item &item, const QString &memo);
/// placeItem() with the item's own memo.
inline void placeItem(MonthPanels &panels, const QString &kind, const store::Item &item)
{
    placeItem(panels, kind, item, item.memo);
}

/// Takes the row with `key` (e.g. "K57") out of all four panels.
void removeItem(MonthPanels &panels, const QString &key);

} // namespace zambrel::ledger
