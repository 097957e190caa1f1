#pragma once

#include "import/bill_preview.h"
#include "import/bill_reader.h"
#include "import/import_plan.h"
#include "import/import_rules.h"
#include "store/ledger.h"

#include <QString>

#include <optional>
#include <vector>

namespace zambrel::bills {

/// The rules as the ledger keeps them, and back.
std::vector<ImportRule> rulesFromRecords(const std::vector<store::ImportRuleRecord> &records);
std::vector<store::ImportRuleRecord> recordsFromRules(const std::vector<ImportRule> &rules);

/// Reads the bill at `path`. A text that is no payment app's bill is read
/// as a bank statement through the mapping the ledger keeps for `source`
/// (none kept, or one that cannot be read, fails with the reason), or,
/// given none, through the kept mapping that reads the most transactions of
/// it; when none reads any, it fails as unrecognised, `mappable`. Never
/// throws but DbError.
BillReadResult readBillFor(const store::Ledger &ledger, const QString &path,
                           const std::optional<QString> &source = std::nullopt);

/// Names the source whose column mapping read a bank statement (bilingual).
QString readWithMappingText(const QString &source);

/// The preview of `bill` with the ledger's rules and the transactions it
/// has imported before.
BillPreview previewFor(const store::Ledger &ledger, Bill bill);

/// True when the preview's rules differ from those the ledger keeps: a rule
/// remembered there is still to be written, by the next import or alone.
/// Never throws but DbError.
bool rulesPending(const store::Ledger &ledger, const BillPreview &preview);

/// Marks the preview's rows again against what the ledger has imported
/// now (an import undone or redone since it was made): markImported. True
/// when any row's mark changed. Never throws but DbError.
bool markAgainstLedger(const store::Ledger &ledger, BillPreview &preview);

/// The plan of the preview's ticked rows against the ledger's items and types.
ImportPlan planFor(const store::Ledger &ledger, const BillPreview &preview);

/// Writes the plan as one step named `subject` (the bill's file name). With
/// `rules`, they are kept from now on in the same step. Nothing is written
/// when the plan holds no transaction and the rules are unchanged: false.
/// @throws DbError
bool applyPlan(store::Ledger &ledger, const ImportPlan &plan, const QString &subject,
               const std::optional<std::vector<ImportRule>> &rules = std::nullopt);

} // namespace zambrel::bills
