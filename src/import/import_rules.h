#pragma once

#include "import/bill.h"
#include "import/classification.h"

#include <QString>

#include <optional>
#include <vector>

namespace zambrel::bills {

/// An item of the books as the import names it: its type and its name.
struct ItemTarget {
    QString type;
    QString name;

    bool operator==(const ItemTarget &) const = default;
};

/// The item type of what no rule places: "未归类", counting in income and
/// expenditure (mask 1100).
QString unassignedType();
QString unassignedTypeMask();

/// "未归类收入" for what adds to or takes from income, "未归类支出" otherwise,
/// of the type unassignedType().
ItemTarget unassignedItem(Effect effect);

/// Which rows a rule is for.
enum class RuleSide { Any, Spending, Income };

/// Spending for effects on spending, Income for effects on income, Any for
/// rows without effect.
RuleSide sideOf(Effect effect);

/// Text in the counterparty or description (and optionally an amount
/// range, bounds included) places a row in an item.
struct ImportRule {
    QString text; ///< found in either text, case, width and runs of blanks aside; empty matches nothing
    RuleSide side = RuleSide::Any;
    std::optional<double> minAmount;
    std::optional<double> maxAmount;
    ItemTarget item;

    bool operator==(const ImportRule &) const = default;
};

/// A text as rules compare it: full-width forms made plain, case folded,
/// blanks run together and trimmed.
QString matchKey(const QString &text);

/// The rules made ready for matching many rows. The first rule in the list
/// that matches a row places it: the order is the user's, and a remembered
/// correction goes first (addRule).
class RuleMatcher {
public:
    explicit RuleMatcher(const std::vector<ImportRule> &rules);

    /// The index of the first rule that places the row, or -1. The keys are
    /// matchKey of the row's counterparty and description.
    int match(const QString &counterpartyKey, const QString &descriptionKey, double amount,
              RuleSide side) const;
    int match(const BillTransaction &transaction, Effect effect) const;

private:
    struct Prepared {
        QString key;
        RuleSide side;
        std::optional<double> minAmount;
        std::optional<double> maxAmount;
    };
    std::vector<Prepared> m_rules;
};

/// "记住规则 Remember": the rule that places rows like this one in `item`:
/// its counterparty (its description when it has none), for rows of its
/// side, at any amount.
ImportRule rememberRule(const BillTransaction &transaction, Effect effect, const ItemTarget &item);

/// Puts `rule` first in `rules`, dropping a rule it replaces (same text,
/// side and amount range).
void addRule(std::vector<ImportRule> &rules, ImportRule rule);

} // namespace zambrel::bills
