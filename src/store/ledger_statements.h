#pragma once

// The statements of the ledger API, each written once in SQLite's own
// dialect; values are bound as ?1, ?2, ... (store::Statement).

#include "ledger_records.h"

namespace zambrel::store {

enum class LedgerStatement : int {
    NewestMonths,      ///< the newest 24 month keys, newest first
    AllMonths,         ///< every month key, newest first, then null if any item has no month
    LatestMonth,       ///< the newest month key
    TwentyFourthMonth, ///< the 24th-newest stored month of any form
    MonthItems,        ///< ?1 month
    ItemTypes,
    TypeCount,
    AddItem,                       ///< ?1 month, ?2 type, ?3 name, ?4 memo, ?5..?11 amounts (Item's order)
    ChangeItem,                    ///< ?1 code, ?2 type, ?3 name, ?4 memo, ?5..?11 amounts
    DeleteItem,                    ///< ?1 code
    AddItemType,                   ///< ?1 name, ?2 mask, ?3 index
    CarryForward,                  ///< ?1 from month, ?2 to month
    AssetTotal,                    ///< ?1 month
    TrendSince,                    ///< one per Category, in its order: ?1 the oldest month to read
    TrendOverAll = TrendSince + 4, ///< one per Category: every month
    JournalYears = TrendOverAll + 4,
    JournalDates,      ///< ?1 a LIKE pattern
    JournalPage,       ///< ?1 date
    JournalPageExists, ///< ?1 date
    InsertJournalPage, ///< ?1 date, ?2..?10 fields
    UpdateJournalPage, ///< ?1 date, ?2..?10 fields
    JournalTexts,
    Holdings, ///< ?1 month
    WholeItems,
    WholeTypes,
    WholeJournal,
    IntegrityCheck,
    ItemMonthAndName, ///< ?1 code
    ImportRules,
    DeleteImportRules,
    AddImportRule, ///< ?1 text, ?2 side, ?3 least, ?4 most amount, ?5 type, ?6 name
    IsImported,    ///< ?1 identity
    AddImported,   ///< ?1 identity, ?2 when
    BankMapping,   ///< ?1 source
    BankMappingSources,
    SaveBankMapping,       ///< ?1 source, ?2 mapping
    RemoveBankMapping,     ///< ?1 source
    ItemIncomeSpending,    ///< ?1 code
    SetItemIncomeSpending, ///< ?1 code, ?2 income, ?3 actual spending
    Count,
};

const char *statementText(LedgerStatement statement);

LedgerStatement trendSince(Category category);
LedgerStatement trendOverAll(Category category);

} // namespace zambrel::store
