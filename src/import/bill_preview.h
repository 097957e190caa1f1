#pragma once

#include "import/bill.h"
#include "import/classification.h"
#include "import/import_plan.h"
#include "import/import_rules.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// A row's state in the preview.
enum class RowState { New, Duplicate, Skipped };

/// How a row came by its item.
enum class Placement {
    Unassigned, ///< no rule placed it: "未归类支出" or "未归类收入"
    Rule,       ///< a rule placed it
    Refunded,   ///< a refund follows the row it refunds
    Chosen,     ///< chosen by hand; rules leave it alone
};

/// One transaction of the bill as the preview shows it.
struct PreviewRow {
    BillTransaction transaction;
    RowClass classification;
    QString identity;
    QString earlierIdentity; ///< the one earlier versions gave it, when another (earlierIdentities)
    QString duplicateReason; ///< why it counts as imported already (bilingual); empty when new
    ItemTarget item;
    Placement placement = Placement::Unassigned;
    int rule = -1; ///< the rule that placed it, by its index in the rules
    bool ticked = false;

    bool isDuplicate() const { return !duplicateReason.isEmpty(); }
    /// Duplicate before skipped: a row already imported is that first.
    RowState state() const;
    /// The duplicate reason, else the classification's reason.
    QString stateReason() const;
    QString month() const { return monthKey(transaction.date); }
};

/// The import preview as plain state: every row of a bill classified,
/// placed by the rules, marked new, duplicate or skipped and ticked when
/// new and of some effect. Rows can be placed and ticked by hand, a row's
/// item remembered as a rule, and the plan made from the ticked rows.
class BillPreview {
public:
    /// `imported`: identities of transactions imported before (see
    /// transactionIdentities). A row whose identity, or earlier identity, is
    /// among them, or whose numbered identity an earlier row of the bill has,
    /// is a duplicate.
    /// `ownNames`: the holder's names beside the one the bill gives, for
    /// telling transfers to oneself.
    BillPreview(Bill bill, std::vector<ImportRule> rules, const QSet<QString> &imported,
                const QStringList &ownNames = {});

    const Bill &bill() const { return m_bill; }
    const std::vector<PreviewRow> &rows() const { return m_rows; }
    const std::vector<ImportRule> &rules() const { return m_rules; }

    /// Places a row by hand; the refunds that follow it follow the new item.
    /// Throws std::out_of_range for a row that does not exist.
    void chooseItem(std::size_t row, const ItemTarget &item);

    /// Ticks or unticks a row. A row without effect (money neither spent nor
    /// earned) cannot be ticked: false, nothing changed. Throws
    /// std::out_of_range for a row that does not exist.
    bool setTicked(std::size_t row, bool ticked);

    /// "记住规则 Remember": makes the rule that places rows like this one in
    /// its item, puts it first and places every row not chosen by hand
    /// again. Returns the rule. Throws std::out_of_range for a row that does
    /// not exist.
    ImportRule rememberRule(std::size_t row);

    /// The ticked rows as entries of a plan.
    std::vector<PlanEntry> tickedEntries() const;

    /// Marks the rows again against `imported` (the ledger's imported
    /// identities may have changed beneath the preview: an import undone or
    /// redone). A row that turns duplicate is unticked, one that turns new is
    /// ticked as it would be in a new preview; the others keep their ticks,
    /// and every row its item. True when any row's mark changed.
    bool markImported(const QSet<QString> &imported);

    /// planImport over the ticked rows.
    ImportPlan plan(const std::vector<ExistingItem> &existingItems, const QStringList &existingTypes) const;

private:
    void place();
    /// Sets each row's duplicate reason; rows whose being a duplicate
    /// changed, or every row when `everyTick`, get the tick a new preview
    /// gives.
    bool mark(const QSet<QString> &imported, bool everyTick);

    Bill m_bill;
    std::vector<ImportRule> m_rules;
    std::vector<PreviewRow> m_rows;
    QStringList m_counterpartyKeys;
    QStringList m_descriptionKeys;
};

} // namespace zambrel::bills
