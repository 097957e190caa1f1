#include "import/import_plan.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace zambrel::bills {

namespace {

struct Sums {
    qint64 spendingCents = 0;
    qint64 incomeCents = 0;
    int transactions = 0;
    bool spending = false; ///< some entry adds to or takes from spending
    bool income = false;
};

struct TypeUse {
    bool income = false;
    bool spending = false;
};

QString itemKey(const QString &month, const QString &type, const QString &name)
{
    return month + u'\x1f' + type + u'\x1f' + name;
}

} // namespace

bool ImportPlan::createsUnassignedType() const
{
    return std::any_of(typesToCreate.begin(), typesToCreate.end(),
                       [](const TypeToCreate &type) { return type.name == unassignedType(); });
}

ImportPlan planImport(const std::vector<PlanEntry> &entries, const std::vector<ExistingItem> &existingItems,
                      const QStringList &existingTypes)
{
    ImportPlan plan;
    std::map<std::tuple<QString, QString, QString>, Sums> sums;
    qint64 spendingCents = 0;
    qint64 incomeCents = 0;
    for (const PlanEntry &entry : entries) {
        if (entry.effect == Effect::None)
            continue;
        Sums &line = sums[{monthKey(entry.date), entry.item.type.trimmed(), entry.item.name.trimmed()}];
        const qint64 cents = std::llround(entry.amount * 100);
        line.spending = line.spending || sideOf(entry.effect) == RuleSide::Spending;
        line.income = line.income || sideOf(entry.effect) == RuleSide::Income;
        switch (entry.effect) {
        case Effect::AddSpending:
            line.spendingCents += cents;
            spendingCents += cents;
            break;
        case Effect::ReduceSpending:
            line.spendingCents -= cents;
            spendingCents -= cents;
            break;
        case Effect::AddIncome:
            line.incomeCents += cents;
            incomeCents += cents;
            break;
        case Effect::ReduceIncome:
            line.incomeCents -= cents;
            incomeCents -= cents;
            break;
        case Effect::None:
            break;
        }
        ++line.transactions;
        ++plan.transactions;
        if (!entry.identity.isEmpty())
            plan.identities.append(entry.identity);
    }
    plan.spending = double(spendingCents) / 100;
    plan.income = double(incomeCents) / 100;

    QHash<QString, qint64> codes;
    for (const ExistingItem &item : existingItems) {
        const QString key = itemKey(item.month.trimmed(), item.type.trimmed(), item.name.trimmed());
        if (!codes.contains(key))
            codes.insert(key, item.code);
    }
    // A type is known by its name without blanks at either end; an item
    // created under it is written with the books' own spelling, as the
    // month's totals compare type names as written.
    QHash<QString, QString> types;
    for (const QString &type : existingTypes) {
        if (!types.contains(type.trimmed()))
            types.insert(type.trimmed(), type);
    }

    std::map<QString, TypeUse> newTypes;
    plan.lines.reserve(sums.size());
    for (const auto &[key, line] : sums) {
        const auto &[month, type, name] = key;
        PlanLine planned;
        planned.month = month;
        planned.item = {type, name};
        const auto code = codes.constFind(itemKey(month, type, name));
        planned.create = code == codes.cend();
        planned.code = planned.create ? 0 : *code;
        planned.item.type = types.value(type, type);
        planned.spending = double(line.spendingCents) / 100;
        planned.income = double(line.incomeCents) / 100;
        planned.transactions = line.transactions;
        plan.lines.push_back(planned);
        if (!types.contains(type)) {
            TypeUse &use = newTypes[type];
            use.spending = use.spending || line.spending;
            use.income = use.income || line.income;
        }
    }
    for (const auto &[name, use] : newTypes) {
        // Income and expenditure positions only: an import adds no assets or loans.
        const QString mask =
            name == unassignedType()
                ? unassignedTypeMask()
                : QString(use.income ? u'1' : u'0') + (use.spending ? u'1' : u'0') + QStringLiteral("00");
        plan.typesToCreate.push_back({name, mask});
    }
    return plan;
}

} // namespace zambrel::bills
