#include "ledger/month_summary.h"

#include "base/number_format.h"

#include <QSet>

namespace zambrel::ledger {
namespace {

const QString kSalaryType = QStringLiteral("工资");

bool flagged(const QString &kind, int position)
{
    return kind.size() > position && kind[position] == u'1';
}

} // namespace

QHash<QString, QString> typeKinds(const std::vector<store::ItemType> &types)
{
    QHash<QString, QString> kinds;
    kinds.reserve(qsizetype(types.size()));
    for (const store::ItemType &type : types) {
        if (!kinds.contains(type.name))
            kinds.insert(type.name, type.kind);
    }
    return kinds;
}

MonthSummary summariseMonth(const std::vector<store::Item> &items, const std::vector<store::ItemType> &types)
{
    const QHash<QString, QString> kinds = typeKinds(types);
    QSet<QString> liabilityGroups;
    for (const store::ItemType &type : types) {
        if (flagged(type.kind, 3))
            liabilityGroups.insert(type.name);
    }
    MonthSummary summary;
    for (const store::Item &item : items) {
        if (item.type == kSalaryType)
            summary.salary += item.income;
        const QString kind = kinds.value(item.type);
        if (flagged(kind, 0))
            summary.income += base::throughFifteenDigits(item.income);
        if (flagged(kind, 1))
            summary.expenditure += base::throughFifteenDigits(item.actualSpending);
        if (flagged(kind, 2))
            summary.assets += base::throughFifteenDigits(item.totalCost);
        // A loan shows under its type's liabilities group, placed there by an
        // expenditure or a liability mask.
        if ((flagged(kind, 1) || flagged(kind, 3)) && item.loanTotal > 0 &&
            liabilityGroups.contains(item.type))
            summary.liabilities += base::throughFifteenDigits(item.loanTotal);
    }
    return summary;
}

} // namespace zambrel::ledger
