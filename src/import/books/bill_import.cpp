#include "bill_import.h"

#include "import/bank_csv.h"
#include "import/transaction_identity.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace zambrel::bills {
namespace {

// Stored as words, so that the file reads plainly.
const char *const kSideWords[] = {"any", "spending", "income"};

RuleSide sideNamed(const QString &word)
{
    for (int at = 0; at < 3; ++at)
        if (word == QLatin1String(kSideWords[at]))
            return RuleSide(at);
    return RuleSide::Any;
}

} // namespace

std::vector<ImportRule> rulesFromRecords(const std::vector<store::ImportRuleRecord> &records)
{
    std::vector<ImportRule> rules;
    rules.reserve(records.size());
    for (const store::ImportRuleRecord &record : records)
        rules.push_back({record.text,
                         sideNamed(record.side),
                         record.minAmount,
                         record.maxAmount,
                         {record.type, record.name}});
    return rules;
}

std::vector<store::ImportRuleRecord> recordsFromRules(const std::vector<ImportRule> &rules)
{
    std::vector<store::ImportRuleRecord> records;
    records.reserve(rules.size());
    for (const ImportRule &rule : rules)
        records.push_back({rule.text, QLatin1String(kSideWords[int(rule.side)]), rule.minAmount,
                           rule.maxAmount, rule.item.type, rule.item.name});
    return records;
}

BillReadResult readBillFor(const store::Ledger &ledger, const QString &path,
                           const std::optional<QString> &source)
{
    std::optional<QString> json;
    if (source) {
        json = ledger.bankMapping(*source);
    } else {
        const QStringList sources = ledger.bankMappingSources();
        if (sources.size() == 1)
            json = ledger.bankMapping(sources.front());
    }
    std::optional<BankCsvMapping> mapping;
    if (json) {
        QString problem;
        mapping = mappingFromJson(*json, &problem);
        if (!mapping)
            return {problem, {}};
    }
    return readBillFile(path, mapping);
}

BillPreview previewFor(const store::Ledger &ledger, Bill bill)
{
    const QStringList identities = transactionIdentities(bill.transactions);
    return BillPreview(std::move(bill), rulesFromRecords(ledger.importRules()),
                       ledger.importedAmong(identities));
}

ImportPlan planFor(const store::Ledger &ledger, const BillPreview &preview)
{
    QSet<QString> months;
    for (const PreviewRow &row : preview.rows())
        if (row.ticked)
            months.insert(row.month());
    std::vector<ExistingItem> items;
    for (const QString &month : months)
        for (const store::Item &item : ledger.monthItems(month))
            items.push_back({month, item.type, item.name, item.code});
    QStringList types;
    for (const store::ItemType &type : ledger.itemTypes())
        types << type.name;
    return preview.plan(items, types);
}

bool applyPlan(store::Ledger &ledger, const ImportPlan &plan, const QString &subject,
               const std::optional<std::vector<ImportRule>> &rules)
{
    std::optional<std::vector<store::ImportRuleRecord>> records;
    if (rules) {
        records = recordsFromRules(*rules);
        if (*records == ledger.importRules())
            records.reset();
    }
    if (plan.lines.empty() && plan.identities.isEmpty()) {
        if (!records)
            return false;
        ledger.replaceImportRules(*records);
        return true;
    }
    store::ImportWrite write;
    write.subject = QFileInfo(subject).fileName();
    for (const TypeToCreate &type : plan.typesToCreate)
        write.typesToCreate.push_back({type.name, type.mask, 0});
    for (const PlanLine &line : plan.lines) {
        write.additions.push_back({line.month, line.item.type, line.item.name, line.create ? 0 : line.code,
                                   line.spending, line.income});
        write.month = std::max(write.month, line.month);
    }
    write.identities = plan.identities;
    write.rules = std::move(records);
    ledger.applyImport(write);
    return true;
}

} // namespace zambrel::bills
