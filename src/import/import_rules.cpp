#include "import/import_rules.h"

#include <algorithm>

namespace zambrel::bills {

QString unassignedType()
{
    return QStringLiteral("未归类");
}

QString unassignedTypeMask()
{
    return QStringLiteral("1100");
}

ItemTarget unassignedItem(Effect effect)
{
    const bool income = effect == Effect::AddIncome || effect == Effect::ReduceIncome;
    return {unassignedType(), income ? QStringLiteral("未归类收入") : QStringLiteral("未归类支出")};
}

RuleSide sideOf(Effect effect)
{
    switch (effect) {
    case Effect::AddSpending:
    case Effect::ReduceSpending:
        return RuleSide::Spending;
    case Effect::AddIncome:
    case Effect::ReduceIncome:
        return RuleSide::Income;
    case Effect::None:
        break;
    }
    return RuleSide::Any;
}

QString matchKey(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.normalized(QString::NormalizationForm_KC).toCaseFolded().simplified();
    }
    return text.toCaseFolded().simplified();
}

RuleMatcher::RuleMatcher(const std::vector<ImportRule> &rules)
{
    m_rules.reserve(rules.size());
    for (const ImportRule &rule : rules)
        m_rules.push_back({matchKey(rule.text), rule.side, rule.minAmount, rule.maxAmount});
}

int RuleMatcher::match(const QString &counterpartyKey, const QString &descriptionKey, double amount,
                       RuleSide side) const
{
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        const Prepared &rule = m_rules[i];
        if (rule.key.isEmpty() || (rule.side != RuleSide::Any && rule.side != side))
            continue;
        if ((rule.minAmount && amount < *rule.minAmount) || (rule.maxAmount && amount > *rule.maxAmount))
            continue;
        if (counterpartyKey.contains(rule.key) || descriptionKey.contains(rule.key))
            return int(i);
    }
    return -1;
}

int RuleMatcher::match(const BillTransaction &transaction, Effect effect) const
{
    return match(matchKey(transaction.counterparty), matchKey(transaction.description), transaction.amount,
                 sideOf(effect));
}

ImportRule rememberRule(const BillTransaction &transaction, Effect effect, const ItemTarget &item)
{
    ImportRule rule;
    rule.text = transaction.counterparty.trimmed().isEmpty() ? transaction.description.simplified()
                                                             : transaction.counterparty.simplified();
    rule.side = sideOf(effect);
    rule.item = item;
    return rule;
}

void addRule(std::vector<ImportRule> &rules, ImportRule rule)
{
    const QString key = matchKey(rule.text);
    std::erase_if(rules, [&](const ImportRule &other) {
        return matchKey(other.text) == key && other.side == rule.side && other.minAmount == rule.minAmount &&
               other.maxAmount == rule.maxAmount;
    });
    rules.insert(rules.begin(), std::move(rule));
}

} // namespace zambrel::bills
