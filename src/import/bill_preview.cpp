#include "import/bill_preview.h"

#include "import/transaction_identity.h"

namespace zambrel::bills {

RowState PreviewRow::state() const
{
    if (isDuplicate())
        return RowState::Duplicate;
    return classification.skippedByDefault() ? RowState::Skipped : RowState::New;
}

QString PreviewRow::stateReason() const
{
    return isDuplicate() ? duplicateReason : classification.reason;
}

BillPreview::BillPreview(Bill bill, std::vector<ImportRule> rules, const QSet<QString> &imported,
                         const QStringList &ownNames)
    : m_bill(std::move(bill)), m_rules(std::move(rules))
{
    const std::vector<BillTransaction> &transactions = m_bill.transactions;
    const std::vector<RowClass> classes = classifyTransactions(m_bill, ownNames);
    const QStringList identities = transactionIdentities(transactions);
    const QStringList earlier = earlierIdentities(transactions);
    m_rows.resize(transactions.size());
    m_counterpartyKeys.reserve(qsizetype(transactions.size()));
    m_descriptionKeys.reserve(qsizetype(transactions.size()));
    for (std::size_t i = 0; i < transactions.size(); ++i) {
        PreviewRow &row = m_rows[i];
        row.transaction = transactions[i];
        row.classification = classes[i];
        row.identity = identities[qsizetype(i)];
        row.earlierIdentity = earlier[qsizetype(i)];
        m_counterpartyKeys.append(matchKey(row.transaction.counterparty));
        m_descriptionKeys.append(matchKey(row.transaction.description));
    }
    mark(imported, true);
    place();
}

bool BillPreview::markImported(const QSet<QString> &imported)
{
    return mark(imported, false);
}

bool BillPreview::mark(const QSet<QString> &imported, bool everyTick)
{
    bool changed = false;
    QSet<QString> earlier;
    for (PreviewRow &row : m_rows) {
        QString reason;
        if (imported.contains(row.identity) ||
            (!row.earlierIdentity.isEmpty() && imported.contains(row.earlierIdentity)))
            reason = QStringLiteral("已导入过 Imported before");
        else if (earlier.contains(row.identity))
            reason = QStringLiteral("账单中重复 Repeated in this bill");
        earlier.insert(row.identity);
        const bool turned = reason.isEmpty() != row.duplicateReason.isEmpty();
        changed = changed || reason != row.duplicateReason;
        row.duplicateReason = reason;
        if (everyTick || turned)
            row.ticked = row.state() == RowState::New && row.classification.effect != Effect::None;
    }
    return changed;
}

void BillPreview::place()
{
    const RuleMatcher matcher(m_rules);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        PreviewRow &row = m_rows[i];
        if (row.placement == Placement::Chosen)
            continue;
        const Effect effect = row.classification.effect;
        row.rule = matcher.match(m_counterpartyKeys[qsizetype(i)], m_descriptionKeys[qsizetype(i)],
                                 row.transaction.amount, sideOf(effect));
        row.item = row.rule >= 0 ? m_rules[std::size_t(row.rule)].item : unassignedItem(effect);
        row.placement = row.rule >= 0 ? Placement::Rule : Placement::Unassigned;
    }
    // Refunds go where what they refund went, once that is placed.
    for (PreviewRow &row : m_rows) {
        const int original = row.classification.refundOf;
        if (original >= 0 && row.placement != Placement::Chosen) {
            row.item = m_rows[std::size_t(original)].item;
            row.placement = Placement::Refunded;
            row.rule = -1;
        }
    }
}

void BillPreview::chooseItem(std::size_t row, const ItemTarget &item)
{
    PreviewRow &chosen = m_rows.at(row);
    chosen.item = item;
    chosen.placement = Placement::Chosen;
    chosen.rule = -1;
    for (PreviewRow &other : m_rows) {
        if (other.classification.refundOf == int(row) && other.placement == Placement::Refunded)
            other.item = item;
    }
}

bool BillPreview::setTicked(std::size_t row, bool ticked)
{
    PreviewRow &target = m_rows.at(row);
    if (ticked && target.classification.effect == Effect::None)
        return false;
    target.ticked = ticked;
    return true;
}

ImportRule BillPreview::rememberRule(std::size_t row)
{
    const PreviewRow &source = m_rows.at(row);
    ImportRule rule = bills::rememberRule(source.transaction, source.classification.effect, source.item);
    addRule(m_rules, rule);
    place();
    return rule;
}

std::vector<PlanEntry> BillPreview::tickedEntries() const
{
    std::vector<PlanEntry> entries;
    for (const PreviewRow &row : m_rows) {
        if (row.ticked) {
            entries.push_back({row.transaction.date, row.transaction.amount, row.classification.effect,
                               row.item, row.identity});
        }
    }
    return entries;
}

ImportPlan BillPreview::plan(const std::vector<ExistingItem> &existingItems,
                             const QStringList &existingTypes) const
{
    return planImport(tickedEntries(), existingItems, existingTypes);
}

} // namespace zambrel::bills
