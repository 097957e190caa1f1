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
    const BillContent content = readBillContent(path);
    if (!content.failure.isEmpty())
        return BillReadResult::failed(content.failure);

    const auto readThrough = [&ledger, &content](const QString &name) {
        const std::optional<QString> json = ledger.bankMapping(name);
        if (!json)
            return BillReadResult::failed(
                QStringLiteral("没有“%1”的列对应 No column mapping for “%1”").arg(name), true);
        QString problem;
        const std::optional<BankCsvMapping> mapping = mappingFromJson(*json, &problem);
        if (!mapping)
            return BillReadResult::failed(problem, true);
        BillReadResult read = readBill(content.bytes, mapping);
        if (read.mappable)
            read.source = name;
        return read;
    };
    if (source)
        return readThrough(*source);
    // The statement's source is the one whose mapping reads the most of its
    // transactions, then the fewest rows it cannot read. Mappings that read it
    // equally well but differently (say, days and months swapped) are for the
    // person to choose between.
    std::vector<BillReadResult> best;
    const auto better = [](const Bill &one, const Bill &other) {
        if (one.transactions.size() != other.transactions.size())
            return one.transactions.size() > other.transactions.size();
        return one.problems.size() < other.problems.size();
    };
    for (const QString &name : ledger.bankMappingSources()) {
        BillReadResult read = readThrough(name);
        // A payment app's bill ignores the mapping: the first read tells.
        if (read.ok() && !read.mappable)
            return read;
        if (!read.ok() || read.bill.transactions.empty())
            continue;
        if (!best.empty() && better(best.front().bill, read.bill))
            continue;
        if (!best.empty() && better(read.bill, best.front().bill))
            best.clear();
        best.push_back(std::move(read));
    }
    if (best.empty())
        return readBill(content.bytes);
    QStringList differing = {best.front().source};
    // Hashing every transaction is a read's own cost again: only for a tie.
    const QStringList identities =
        best.size() > 1 ? transactionIdentities(best.front().bill.transactions) : QStringList();
    for (std::size_t at = 1; at < best.size(); ++at) {
        if (transactionIdentities(best[at].bill.transactions) != identities)
            differing << best[at].source;
    }
    if (differing.size() > 1) {
        return BillReadResult::failed(
            QStringLiteral("有几个来源的列对应都能读这个文件，读出的交易却不同：%1。请选择它的来源。\n"
                           "The column mappings of several sources read this file, into different "
                           "transactions: %1. Choose its source.")
                .arg(differing.join(QStringLiteral("、"))),
            true);
    }
    return std::move(best.front());
}

QString readWithMappingText(const QString &source)
{
    return QStringLiteral("按“%1”的列对应读取 Read with the column mapping of “%1”").arg(source);
}

BillPreview previewFor(const store::Ledger &ledger, Bill bill)
{
    // Marked as a new preview would be, then against what the ledger holds:
    // the rows that turn duplicate get the ticks a duplicate has.
    BillPreview preview(std::move(bill), rulesFromRecords(ledger.importRules()), {});
    markAgainstLedger(ledger, preview);
    return preview;
}

bool markAgainstLedger(const store::Ledger &ledger, BillPreview &preview)
{
    QStringList identities;
    for (const PreviewRow &row : preview.rows()) {
        identities << row.identity;
        if (!row.earlierIdentity.isEmpty())
            identities << row.earlierIdentity;
    }
    return preview.markImported(ledger.importedAmong(identities));
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

bool rulesPending(const store::Ledger &ledger, const BillPreview &preview)
{
    return recordsFromRules(preview.rules()) != ledger.importRules();
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
