#include "ledger_statements.h"

#include <iterator>

namespace zambrel::store {
namespace {

// The months of the ledger newest first, one index look-up each: every step
// finds the greatest month below the one before, so the cost follows the
// number of months, not of items.
#define ZAMBREL_MONTHS_NEWEST_FIRST                                                                          \
    "WITH RECURSIVE m(month) AS (SELECT max(months) FROM Asset UNION ALL "                                   \
    "SELECT (SELECT max(months) FROM Asset WHERE months < m.month) FROM m WHERE m.month IS NOT NULL) "
// A month key "yyyy-mm"; months stored in any other form are left out.
#define ZAMBREL_MONTH_KEY "'[0-9][0-9][0-9][0-9]-[0-9][0-9]'"
// A category's monthly sums, newest first: the types whose four-character
// mask has the category's position set, and what the category sums.
#define ZAMBREL_TREND(amount, mask, since)                                                                   \
    "SELECT months, sum(" amount ") FROM Asset WHERE " since "types IN "                                     \
    "(SELECT types FROM AssetType WHERE kind GLOB '" mask                                                    \
    "') GROUP BY months HAVING months GLOB " ZAMBREL_MONTH_KEY " ORDER BY months DESC LIMIT 24"
#define ZAMBREL_TRENDS(since)                                                                                \
    ZAMBREL_TREND("InComePerMonth", "1[01][01][01]", since),                                                 \
        ZAMBREL_TREND("PayPerMonth", "[01]1[01][01]", since),                                                \
        ZAMBREL_TREND("TotalCost", "[01][01]1[01]", since), ZAMBREL_TREND("Debet", "[01][01][01]1", since)

// In the order of LedgerStatement.
const char *const kTexts[] = {
    ZAMBREL_MONTHS_NEWEST_FIRST "SELECT month FROM m WHERE month GLOB " ZAMBREL_MONTH_KEY " LIMIT 24",
    ZAMBREL_MONTHS_NEWEST_FIRST
    "SELECT month AS months FROM m WHERE month GLOB " ZAMBREL_MONTH_KEY
    " UNION ALL SELECT NULL WHERE EXISTS (SELECT 1 FROM Asset WHERE months IS NULL)",
    "SELECT months FROM Asset WHERE months GLOB " ZAMBREL_MONTH_KEY " ORDER BY months DESC LIMIT 1",
    ZAMBREL_MONTHS_NEWEST_FIRST "SELECT month FROM m WHERE month GLOB " ZAMBREL_MONTH_KEY
                                " LIMIT 1 OFFSET 23",
    "SELECT code, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, FirstPay, TotalCost, "
    "Debet, "
    "DebetPerMonth FROM Asset WHERE months = ?1",
    "SELECT types, kind, \"index\" FROM AssetType ORDER BY types",
    "SELECT count(*) FROM AssetType",
    "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, FirstPay, "
    "TotalCost, Debet, DebetPerMonth) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
    "UPDATE Asset SET types = ?2, name = ?3, memo = ?4, InComePerMonth = ?5, PayPerMonth = ?6, "
    "willPayPerMonth = ?7, FirstPay = ?8, TotalCost = ?9, Debet = ?10, DebetPerMonth = ?11 WHERE code = ?1",
    "DELETE FROM Asset WHERE code = ?1",
    "INSERT INTO AssetType (types, kind, \"index\") VALUES (?1, ?2, ?3)",
    // Dividends are earned anew each month; planned spending carries over,
    // actual spending and its memo start afresh. A type's mask is that of the
    // first type of exactly its name.
    "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, FirstPay, "
    "TotalCost, Debet, DebetPerMonth) "
    "SELECT ?2, types, name, CASE WHEN spending THEN '' ELSE memo END, InComePerMonth, "
    "CASE WHEN spending THEN 0 ELSE PayPerMonth END, willPayPerMonth, FirstPay, TotalCost, Debet, "
    "DebetPerMonth "
    "FROM (SELECT *, ifnull(substr((SELECT kind FROM AssetType t WHERE t.types = a.types COLLATE BINARY "
    "ORDER BY t.types, t.rowid LIMIT 1), 2, 1) = '1', 0) AS spending FROM Asset a "
    "WHERE months = ?1 AND types IS NOT '股利' COLLATE BINARY ORDER BY code)",
    "SELECT sum(TotalCost) FROM Asset WHERE months = ?1 AND types IN "
    "(SELECT types FROM AssetType WHERE kind GLOB '[01][01]1[01]')",
    ZAMBREL_TRENDS("months >= ?1 AND "),
    ZAMBREL_TRENDS(""),
    "SELECT DISTINCT CAST(substr(dates, 1, 4) AS INTEGER) FROM log "
    "WHERE dates GLOB '[0-9][0-9][0-9][0-9][-/.年]*' ORDER BY 1",
    "SELECT dates FROM log WHERE dates LIKE ?1 ESCAPE '\\' ORDER BY dates",
    "SELECT g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log WHERE dates = ?1",
    "SELECT 1 FROM log WHERE dates = ?1",
    "INSERT INTO log (dates, g1, g2, g3, g4, g5, g6, g7, g8, g9) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
    "?10)",
    "UPDATE log SET g1 = ?2, g2 = ?3, g3 = ?4, g4 = ?5, g5 = ?6, g6 = ?7, g7 = ?8, g8 = ?9, g9 = ?10 "
    "WHERE dates = ?1",
    "SELECT dates, g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log ORDER BY dates DESC",
    "SELECT months, name, FirstPay, TotalCost, TotalCost - FirstPay AS Profit FROM Asset "
    "WHERE months = ?1 AND instr(types, '股票') > 0 ORDER BY months",
    "SELECT code, months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, FirstPay, "
    "TotalCost, "
    "Debet, DebetPerMonth FROM Asset ORDER BY months, code",
    "SELECT types, kind, \"index\" FROM AssetType ORDER BY \"index\", types",
    "SELECT dates, g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log ORDER BY dates",
    "PRAGMA integrity_check",
    "SELECT months, name FROM Asset WHERE code = ?1",
    "SELECT text, side, minAmount, maxAmount, types, name FROM ImportRule ORDER BY rule",
    "DELETE FROM ImportRule",
    "INSERT INTO ImportRule (text, side, minAmount, maxAmount, types, name) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
    "SELECT 1 FROM ImportedTransaction WHERE identity = ?1",
    "INSERT OR IGNORE INTO ImportedTransaction (identity, importedAt) VALUES (?1, ?2)",
    "SELECT mapping FROM BankMapping WHERE source = ?1",
    "SELECT source FROM BankMapping ORDER BY source",
    "INSERT OR REPLACE INTO BankMapping (source, mapping) VALUES (?1, ?2)",
    "DELETE FROM BankMapping WHERE source = ?1",
    "SELECT InComePerMonth, PayPerMonth FROM Asset WHERE code = ?1",
    "UPDATE Asset SET InComePerMonth = ?2, PayPerMonth = ?3 WHERE code = ?1",
};
static_assert(std::size(kTexts) == std::size_t(LedgerStatement::Count), "one text per statement");

} // namespace

const char *statementText(LedgerStatement statement)
{
    return kTexts[std::size_t(statement)];
}

LedgerStatement trendSince(Category category)
{
    return LedgerStatement(int(LedgerStatement::TrendSince) + int(category));
}

LedgerStatement trendOverAll(Category category)
{
    return LedgerStatement(int(LedgerStatement::TrendOverAll) + int(category));
}

} // namespace zambrel::store
