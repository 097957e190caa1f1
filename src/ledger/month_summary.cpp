#include "ledger/month_summary.h"

#include "base/number_format.h"

#include <QSet>

#include <cmath>
#include <utility>

namespace zambrel::ledger {
namespace {

const QString kSalaryType = QStringLiteral("工资");

bool flagged(const QString &kind, int position)
{
    return kind.size() > position && kind[position] == u'1';
}

} // namespace

QHash<base::TextKey, QString> typeKinds(const std::vector<store::ItemType> &types)
{
    QHash<base::TextKey, QString> kinds;
    kinds.reserve(qsizetype(types.size()));
    for (const store::ItemType &type : types) {
        if (!kinds.contains(type.name))
            kinds.insert(type.name, type.kind);
    }
    return kinds;
}

MonthSummary summariseMonth(const std::vector<store::Item> &items, const std::vector<store::ItemType> &types)
{
    const QHash<base::TextKey, QString> kinds = typeKinds(types);
    QSet<base::TextKey> liabilityGroups;
    for (const store::ItemType &type : types) {
        if (flagged(type.kind, 3))
            liabilityGroups.insert(type.name);
    }
    MonthSummary summary;
    for (const store::Item &item : items) {
        const QString kind = kinds.value(item.type);
        const bool income = flagged(kind, 0);
        const bool expenditure = flagged(kind, 1);
        const bool assets = flagged(kind, 2);
        const bool liability = flagged(kind, 3);
        // The amounts this item shows or adds to the salary, each counted once.
        const std::pair<double, bool> used[] = {
            {item.income, income || item.type == kSalaryType},
            {item.plannedSpending, expenditure},
            {item.actualSpending, expenditure},
            {item.monthlyRepayment, expenditure},
            {item.downPayment, assets},
            {item.totalCost, assets},
            {item.loanTotal, expenditure || liability},
        };
        for (const auto &[amount, shown] : used) {
            if (shown && !std::isfinite(amount))
                ++summary.unreadableAmounts;
        }
        const auto figure = [](double amount) {
            return std::isfinite(amount) ? base::throughFifteenDigits(amount) : 0.0;
        };
        if (item.type == kSalaryType && std::isfinite(item.income))
            summary.salary += item.income;
        if (income)
            summary.income += figure(item.income);
        if (expenditure)
            summary.expenditure += figure(item.actualSpending);
        if (assets)
            summary.assets += figure(item.totalCost);
        // A loan shows under its type's liabilities group, placed there by an
        // expenditure or a liability mask.
        if ((expenditure || liability) && item.loanTotal > 0 && liabilityGroups.contains(item.type))
            summary.liabilities += figure(item.loanTotal);
    }
    return summary;
}

} // namespace zambrel::ledger
