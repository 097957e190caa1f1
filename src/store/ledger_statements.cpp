#include "ledger_statements.h"

namespace zambrel::store {

namespace {

// The months of the ledger newest first, one index look-up each: every step
// finds the greatest month below the one before, so the cost follows the
// number of months, not of items.
const char *const kMonthsNewestFirst =
    "WITH RECURSIVE m(month) AS (SELECT max(months) FROM Asset UNION ALL "
    "SELECT (SELECT max(months) FROM Asset WHERE months < m.month) FROM m WHERE m.month IS NOT NULL) ";
// A month key "yyyy-mm"; months stored in any other form are left out.
const char *const kMonthKey = "'[0-9][0-9][0-9][0-9]-[0-9][0-9]'";

// The types whose four-character mask has the category's position set.
const char *const kCategoryMasks[] = {"1[01][01][01]", "[01]1[01][01]", "[01][01]1[01]", "[01][01][01]1"};
// What each category sums: income, actual spending, value, loan.
const char *const kCategoryAmounts[] = {"InComePerMonth", "PayPerMonth", "TotalCost", "Debet"};

QByteArray trendSql(int category, bool since)
{
    return QByteArray("SELECT months, sum(") + kCategoryAmounts[category] + ") FROM Asset WHERE " +
           (since ? "months >= ?1 AND " : "") + "types IN (SELECT types FROM AssetType WHERE kind GLOB '" +
           kCategoryMasks[category] + "') GROUP BY months ORDER BY months DESC LIMIT 24";
}

} // namespace

LedgerStatement trendSince(Category category)
{
    return LedgerStatement(int(LedgerStatement::TrendSince) + int(category));
}

LedgerStatement trendOverAll(Category category)
{
    return LedgerStatement(int(LedgerStatement::TrendOverAll) + int(category));
}

QByteArray statementText(LedgerStatement statement)
{
    const int at = int(statement);
    if (at >= int(LedgerStatement::TrendSince) && at < int(LedgerStatement::TrendOverAll))
        return trendSql(at - int(LedgerStatement::TrendSince), true);
    if (at >= int(LedgerStatement::TrendOverAll) && at < int(LedgerStatement::JournalYears))
        return trendSql(at - int(LedgerStatement::TrendOverAll), false);
    switch (statement) {
    case LedgerStatement::NewestMonths:
        return QByteArray(kMonthsNewestFirst) + "SELECT month FROM m WHERE month GLOB " + kMonthKey +
               " LIMIT 24";
    case LedgerStatement::AllMonths:
        return QByteArray(kMonthsNewestFirst) + "SELECT month AS months FROM m WHERE month GLOB " +
               kMonthKey + " UNION ALL SELECT NULL WHERE EXISTS (SELECT 1 FROM Asset WHERE months IS NULL)";
    case LedgerStatement::LatestMonth:
        return QByteArray("SELECT months FROM Asset WHERE months GLOB ") + kMonthKey +
               " ORDER BY months DESC LIMIT 1";
    case LedgerStatement::TwentyFourthMonth:
        return QByteArray(kMonthsNewestFirst) +
               "SELECT month FROM m WHERE month IS NOT NULL LIMIT 1 OFFSET 23";
    case LedgerStatement::MonthItems:
        return "SELECT code, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, FirstPay, "
               "TotalCost, Debet, DebetPerMonth FROM Asset WHERE months = ?1";
    case LedgerStatement::ItemTypes:
        return "SELECT types, kind, \"index\" FROM AssetType ORDER BY types";
    case LedgerStatement::TypeCount:
        return "SELECT count(*) FROM AssetType";
    case LedgerStatement::AddItem:
        return "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, "
               "FirstPay, TotalCost, Debet, DebetPerMonth) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
               "?11)";
    case LedgerStatement::ChangeItem:
        return "UPDATE Asset SET types = ?2, name = ?3, memo = ?4, InComePerMonth = ?5, PayPerMonth = ?6, "
               "willPayPerMonth = ?7, FirstPay = ?8, TotalCost = ?9, Debet = ?10, DebetPerMonth = ?11 "
               "WHERE code = ?1";
    case LedgerStatement::DeleteItem:
        return "DELETE FROM Asset WHERE code = ?1";
    case LedgerStatement::AddItemType:
        return "INSERT INTO AssetType (types, kind, \"index\") VALUES (?1, ?2, ?3)";
    case LedgerStatement::CarryForward:
        // Dividends are earned anew each month; planned spending carries
        // over, actual spending and its memo start afresh. A type's mask is
        // that of the first type of exactly its name.
        return "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, "
               "FirstPay, TotalCost, Debet, DebetPerMonth) "
               "SELECT ?2, types, name, CASE WHEN spending THEN '' ELSE memo END, InComePerMonth, "
               "CASE WHEN spending THEN 0 ELSE PayPerMonth END, willPayPerMonth, FirstPay, TotalCost, Debet, "
               "DebetPerMonth FROM (SELECT *, ifnull(substr((SELECT kind FROM AssetType t "
               "WHERE t.types = a.types COLLATE BINARY ORDER BY t.types, t.rowid LIMIT 1), 2, 1) = '1', 0) "
               "AS spending FROM Asset a WHERE months = ?1 AND types IS NOT '股利' COLLATE BINARY ORDER BY "
               "code)";
    case LedgerStatement::AssetTotal:
        return "SELECT sum(TotalCost) FROM Asset WHERE months = ?1 AND types IN "
               "(SELECT types FROM AssetType WHERE kind GLOB '[01][01]1[01]')";
    case LedgerStatement::JournalYears:
        return "SELECT DISTINCT CAST(substr(dates, 1, 4) AS INTEGER) FROM log "
               "WHERE dates GLOB '[0-9][0-9][0-9][0-9][-/.年]*' ORDER BY 1";
    case LedgerStatement::JournalDates:
        return "SELECT dates FROM log WHERE dates LIKE ?1 ESCAPE '\\' ORDER BY dates";
    case LedgerStatement::JournalPage:
        return "SELECT g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log WHERE dates = ?1";
    case LedgerStatement::JournalPageExists:
        return "SELECT 1 FROM log WHERE dates = ?1";
    case LedgerStatement::InsertJournalPage:
        return "INSERT INTO log (dates, g1, g2, g3, g4, g5, g6, g7, g8, g9) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";
    case LedgerStatement::UpdateJournalPage:
        return "UPDATE log SET g1 = ?2, g2 = ?3, g3 = ?4, g4 = ?5, g5 = ?6, g6 = ?7, g7 = ?8, g8 = ?9, g9 = "
               "?10 "
               "WHERE dates = ?1";
    case LedgerStatement::JournalTexts:
        return "SELECT dates, g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log ORDER BY dates DESC";
    case LedgerStatement::Holdings:
        return "SELECT months, name, FirstPay, TotalCost, TotalCost - FirstPay AS Profit FROM Asset "
               "WHERE months = ?1 AND instr(types, '股票') > 0 ORDER BY months";
    case LedgerStatement::WholeItems:
        return "SELECT code, months, types, name, memo, InComePerMonth, PayPerMonth, willPayPerMonth, "
               "FirstPay, "
               "TotalCost, Debet, DebetPerMonth FROM Asset ORDER BY months, code";
    case LedgerStatement::WholeTypes:
        return "SELECT types, kind, \"index\" FROM AssetType ORDER BY \"index\", types";
    case LedgerStatement::WholeJournal:
        return "SELECT dates, g1, g2, g3, g4, g5, g6, g7, g8, g9 FROM log ORDER BY dates";
    case LedgerStatement::IntegrityCheck:
        return "PRAGMA integrity_check";
    default:
        break;
    }
    return {};
}

} // namespace zambrel::store
