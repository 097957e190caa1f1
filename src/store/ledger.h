#pragma once

#include "connection.h"
#include "ledger_records.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zambrel::store {

/// The open ledger: every read and write of the books goes through here.
///
/// A Ledger owns its connection from a successful open until it is destroyed
/// (RAII): while it lives, the ledger file is locked against every other
/// opener. The statements keep the shapes the program has always sent and
/// run through the engine layer, so the Jet dialect, identities and error
/// numbers behave as before; batch writes bind their values as parameters,
/// and every text spliced into a statement goes through sqlText().
///
/// Error policy: every operation throws DbError on failure and never shows a
/// message; the user action that called it catches and reports. No failure
/// is turned into a 0 or an empty list. Not copyable, not movable (windows
/// keep references to it).
class Ledger {
public:
    /// Opens the ledger file at `path` with `password` (empty: none).
    /// @throws DbError missing file, not a ledger, wrong password, in use.
    Ledger(const QString &path, const QString &password);
    ~Ledger();
    Ledger(const Ledger &) = delete;
    Ledger &operator=(const Ledger &) = delete;

    /// Full path of the ledger file.
    QString path() const { return m_path; }
    /// The connection string the ledger is open with (path and password).
    QString connectionString() const;

    // Months ---------------------------------------------------------------

    /// The newest stored months, at most 24, newest first.
    QStringList newestMonths() const;
    /// Every stored month, newest first, as rows for a list (one column
    /// "months"; a month stored as null stays null).
    ResultTable allMonthsTable() const;
    /// The latest stored month; empty when the ledger holds no items.
    QString latestMonth() const;

    // Items and types -------------------------------------------------------

    /// The items of `month` in the order the ledger returns them.
    std::vector<Item> monthItems(const QString &month) const;
    /// Every item type, ordered by name.
    std::vector<ItemType> itemTypes() const;
    /// Stores `item` under `month` and returns the code the ledger gave it.
    qint32 addItem(const QString &month, const Item &item);
    /// Rewrites type, name, memo and amounts of the item `item.code`.
    void changeItem(const Item &item);
    void deleteItem(qint32 code);
    /// Adds a type with mask `kind`; its index is the number of types before
    /// it plus 1. Returns the stored row.
    ItemType addItemType(const QString &name, const QString &kind);

    /// Copies the items of `sourceMonth` into `targetMonth` in one
    /// transaction: all or none. Dividends (股利) stay behind; expenditure
    /// items start with no actual spending and an empty memo; everything else
    /// is copied as it stands. Returns the number of items written.
    int carryForward(const QString &sourceMonth, const QString &targetMonth);

    /// TotalCost summed over the month's items whose type counts as an
    /// asset; 0 when there are none.
    double assetTotal(const QString &month) const;
    /// The category's monthly sums of the newest 24 months that have any,
    /// newest first (income: InComePerMonth, expenditure: PayPerMonth,
    /// assets: TotalCost, liabilities: Debet). An empty sum counts as 0.
    std::vector<MonthAmount> trendSeries(Category category) const;

    // Journal --------------------------------------------------------------

    /// The years that have pages, ascending.
    std::vector<int> journalYears() const;
    /// The dates of the pages whose date starts with `prefix` ("yyyy" or
    /// "yyyy-mm"), ascending.
    QStringList journalDates(const QString &prefix) const;
    /// The page of `date`, or nothing when the day has none.
    std::optional<JournalPage> journalPage(const QString &date) const;
    /// Writes the page: inserted when its day has none yet, otherwise
    /// updated. Returns true when it was inserted.
    bool saveJournalPage(const JournalPage &page);
    /// The dates of the pages any of whose fields contains `text` (letter
    /// case ignored), newest first. An empty text finds nothing.
    QStringList searchJournal(const QString &text) const;

    // Holdings ---------------------------------------------------------------

    /// The month's share holdings (types whose name contains 股票) as rows
    /// with the columns months, name, FirstPay, TotalCost and Profit.
    ResultTable holdings(const QString &month) const;

    // Export -----------------------------------------------------------------

    enum class Table { Items, Types, Journal };
    /// A whole table as rows, in a stable order (items by month and code,
    /// types by index, journal by date).
    ResultTable wholeTable(Table table) const;

    // The file as a whole -----------------------------------------------------

    /// Writes a complete copy of the ledger (same password) to `target`,
    /// taken while this ledger holds its lock, so no other process can change
    /// it meanwhile. The copy is written under a temporary name beside
    /// `target`, flushed to disk and renamed over `target`: an earlier file
    /// of that name is replaced only by a complete copy. Owner-only access.
    void backupTo(const QString &target) const;
    /// Re-keys the ledger. Empty texts mean no password. The ledger stays
    /// open under the new password; the connection string keeps this
    /// ledger's path. Crash-safe: after a kill the file opens with either
    /// the old or the new password.
    /// @throws DbError kErrGeneric when `oldPassword` is not the ledger's.
    void changePassword(const QString &oldPassword, const QString &newPassword);
    /// The engine's check of the whole file (every page, row and index):
    /// empty when the ledger is sound, otherwise what the check found.
    QStringList integrityProblems() const;

private:
    std::unique_ptr<RecordSet> select(const QString &sql) const;
    void execute(const QString &sql);

    mutable Connection m_connection;
    QString m_path;
};

/// Where a backup of `ledgerPath` made on `day` goes: the ledger's name
/// without ".mdb" (any letter case) + "_yyyy-mm-dd_bak.mdb", in the ledger's
/// folder. A name not ending in ".mdb" keeps its own extension:
/// "books.db" -> "books_yyyy-mm-dd_bak.db".
QString backupFileName(const QString &ledgerPath, const QDate &day);

/// A password as the password statement takes it: bracketed ("]" doubled),
/// or the word NULL for none.
QString passwordWord(const QString &password);

} // namespace zambrel::store
