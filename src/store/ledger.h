#pragma once

#include "connection.h"
#include "ledger_history.h"
#include "ledger_records.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zambrel::store {

class LedgerKeys;
class Statement;
class Transaction;
enum class LedgerStatement : int;

class Ledger;

/// Opens copies of one ledger (its backups and safety copies) read-only, as
/// Ledger::openCopy does, with what it took from the ledger when it was made:
/// the ledger's file, its password and the keys it derived. It does not
/// refer to the ledger, so threads of its own may use it while the ledger
/// changes its password or closes; the password it holds is overwritten when
/// it goes.
class CopyOpener {
public:
    CopyOpener(QString ledgerFile, const QByteArray &password, std::shared_ptr<LedgerKeys> keys);
    ~CopyOpener();
    CopyOpener(const CopyOpener &) = delete;
    CopyOpener &operator=(const CopyOpener &) = delete;

    /// The copy at `path` with `password`, or, given none, with the ledger's.
    /// @throws DbError as Ledger's constructor, Other for the ledger itself.
    std::unique_ptr<Ledger> open(const QString &path,
                                 const std::optional<QString> &password = std::nullopt) const;

private:
    QString m_ledgerFile;
    QByteArray m_password; ///< UTF-8
    std::shared_ptr<LedgerKeys> m_keys;
};

/// The open ledger: every read and write of the books goes through here.
///
/// A Ledger owns its connection from a successful open until it is destroyed
/// (RAII): while it lives, the ledger file is locked against every other
/// opener (for writing; with Access::ReadWrite for reading as well). Each
/// statement is written once in SQLite's own dialect, prepared on first use
/// and kept for the next, with every value bound as a parameter.
///
/// Error policy: every operation throws DbError on failure and never shows a
/// message; the user action that called it catches and reports. No failure
/// is turned into a 0 or an empty list. Not copyable, not movable (windows
/// keep references to it).
///
/// The password is kept in memory while the ledger is open, for openCopy(),
/// copyOpener() and restoreFrom() alone (the engine keeps its key as long),
/// and so is the key derived from it, which opens the ledger's copies
/// without deriving it again; both are overwritten when the ledger closes
/// and never written or shown.
class Ledger {
public:
    /// Opens the ledger file at `path` with `password` (empty: none).
    /// @throws DbError as Connection's constructor says (missing file, not a
    /// ledger, wrong password, damaged, in use, read-only).
    Ledger(const QString &path, const QString &password, Access access = Access::ReadWrite);
    ~Ledger();
    Ledger(const Ledger &) = delete;
    Ledger &operator=(const Ledger &) = delete;

    /// Full path of the ledger file as it was given (a link stays a link).
    QString path() const { return m_connection.path(); }
    Access access() const { return m_connection.access(); }
    /// True when `password` is the one this ledger was opened with.
    bool opensWith(const QString &password) const { return m_connection.opensWith(password); }

    // Months ---------------------------------------------------------------
    // A month is a key "yyyy-mm" (four digits, '-', two digits); stored
    // months of any other form are left out of these answers.

    /// The newest stored months, at most 24, newest first.
    QStringList newestMonths() const;
    /// Every stored month, newest first, as rows for a list (one column
    /// "months"); a month stored as null comes last, as a null value.
    ResultTable allMonthsTable() const;
    /// The latest stored month; empty when the ledger holds none.
    QString latestMonth() const;

    // Items and types -------------------------------------------------------

    /// The items of `month` in the order the ledger returns them.
    std::vector<Item> monthItems(const QString &month) const;
    /// Every item type, ordered by name (letter case ignored).
    std::vector<ItemType> itemTypes() const;
    /// Stores `item` under `month` and returns the code the ledger gave it.
    /// Amounts are stored as the program writes them: to 15 significant
    /// digits, 0 for what is not a finite number.
    qint64 addItem(const QString &month, const Item &item);
    /// Rewrites type, name, memo and amounts of the item `item.code`.
    void changeItem(const Item &item);
    void deleteItem(qint64 code);
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
    /// case ignored, every character taken as it is), newest first. An empty
    /// text finds nothing.
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

    // Bill import -----------------------------------------------------------
    // The rules and the transactions imported are part of the books: undo
    // takes them back with the items. A ledger of an earlier version opened
    // read-only has neither; the mappings are settings, kept outside the
    // history.

    /// The import rules, in the order they apply.
    std::vector<ImportRuleRecord> importRules() const;
    /// Replaces the import rules, as one step.
    void replaceImportRules(const std::vector<ImportRuleRecord> &rules);
    /// Those of `identities` that an import has recorded.
    QSet<QString> importedAmong(const QStringList &identities) const;
    /// The column mapping kept for a bank statement's source (JSON text), or
    /// nothing.
    std::optional<QString> bankMapping(const QString &source) const;
    /// The sources with a mapping, by name.
    QStringList bankMappingSources() const;
    /// Keeps `mapping` for `source`, replacing the one it had.
    void saveBankMapping(const QString &source, const QString &mapping);
    /// Forgets the mapping kept for `source`; nothing when it has none.
    void removeBankMapping(const QString &source);
    /// Writes an import in one transaction, as one step: the types created,
    /// the items created (planned 0, memo empty) or added to, the identities
    /// recorded (one already recorded stays once), and the rules if given.
    /// Amounts are added and stored to 15 significant digits.
    /// @throws DbError (Other when an item to add to no longer exists;
    /// nothing is written then)
    void applyImport(const ImportWrite &write);

    // The file as a whole -----------------------------------------------------

    /// Writes a complete copy of the ledger (same password) to `target`,
    /// read through this ledger's own connection, so the lock is never let go
    /// and the file is never opened a second time; read-only access will do.
    /// The copy is written under a temporary name beside `target`
    /// ("TARGET.tmp-XXXXXXXX"), flushed to disk and renamed over `target`: an
    /// earlier file of that name is replaced only by a complete copy.
    /// Owner-only access.
    /// @throws DbError (DiskFull naming `target` when the disk is full).
    void backupTo(const QString &target) const;
    /// Re-keys the ledger. Empty texts mean no password. The file itself is
    /// changed, links resolved. Crash-safe: after a kill at any moment the
    /// file opens with exactly one of the two passwords and holds every row.
    /// No other process can take the ledger meanwhile. On failure the ledger
    /// stays open and usable under the old password.
    /// @throws DbError WrongPassword when `oldPassword` is not the ledger's;
    /// any other kind when the re-key failed.
    void changePassword(const QString &oldPassword, const QString &newPassword);
    /// Replaces the books with those of the ledger file `backup`, opened
    /// with `backupPassword`: every row of every table of this ledger (the
    /// numbering of new items included) becomes the backup's, at this
    /// ledger's path and under its password. A table the backup lacks is
    /// left empty; columns and tables this ledger lacks are not taken. The
    /// lock is never let go, and it is one transaction: after a failure or a
    /// kill the ledger holds either its old books or the backup's, whole.
    /// Defined in ledger_restore.cpp.
    /// @throws DbError as a read-only Ledger of `backup` would (Missing,
    /// NotALedger, WrongPassword, Damaged, InUse, ...), Damaged when the
    /// backup fails the integrity check, Other when `backup` is this ledger
    /// itself, ReadOnly when this ledger is opened read-only, DiskFull.
    /// Given no `backupPassword`, the backup is opened with this ledger's.
    void restoreFrom(const QString &backup, const std::optional<QString> &backupPassword = std::nullopt);
    /// Opens another ledger file read-only (a backup or safety copy of this
    /// one) with `password`, or, given none, with this ledger's own, so that
    /// it need not be asked again. The ledger file itself is never opened a
    /// second time. @throws DbError as the constructor, Other for the ledger
    /// itself.
    std::unique_ptr<Ledger> openCopy(const QString &path,
                                     const std::optional<QString> &password = std::nullopt) const;
    /// What openCopy() needs, taken now, for opening copies on other threads
    /// or after this ledger has changed its password or closed.
    std::shared_ptr<const CopyOpener> copyOpener() const;
    /// The engine's check of the whole file (every page, row and index):
    /// empty when the ledger is sound, otherwise what the check found (or
    /// why it could not go on). @throws DbError Failed when interrupted.
    QStringList integrityProblems() const;
    /// Stops the statement this ledger is running on another thread, which
    /// then throws DbError Failed; with none running, nothing happens. Safe
    /// from any thread while the ledger is open.
    void interrupt() const;

    // History ------------------------------------------------------------------
    // Every write above (item add, change, delete; type add; carry-forward;
    // journal page) is one step, written in the same transaction as the
    // change. A new step discards the undone ones and the oldest beyond the
    // limit. A ledger of a newer version is read but never written:
    // every write then throws DbError ReadOnly.

    /// The version the file records (kLedgerVersion once opened for writing).
    int fileVersion() const;
    /// How many steps are kept (kDefaultHistoryLimit unless set; 0: none).
    void setHistoryLimit(int steps);
    int historyLimit() const;
    /// The steps, newest first, undone ones included; at most `count` when
    /// it is not negative. Empty for an earlier version's ledger opened read-only.
    std::vector<HistoryStep> historySteps(int count = -1) const;
    /// The step undo() or redo() would take back or make again.
    std::optional<HistoryStep> nextUndo() const;
    std::optional<HistoryStep> nextRedo() const;
    /// Undoes the newest step not undone and returns it (its month tells
    /// what to show); nothing when there is none. The rows come back exactly
    /// as they were. @throws DbError (Other when the books were changed
    /// outside the history since the step; nothing is undone then)
    std::optional<HistoryStep> undo();
    /// Makes the oldest undone step again. @throws DbError as undo()
    std::optional<HistoryStep> redo();
    /// Undoes every step after `step`, all in one transaction; returns them
    /// in the order undone (the last one is the oldest). @throws DbError as undo()
    std::vector<HistoryStep> undoTo(qint64 step);
    /// `listener` is called after every step, undo or redo has been
    /// committed, for as long as the ledger lives; it must not throw.
    void onHistoryChanged(std::function<void()> listener);

private:
    /// The statement, prepared on first use, ready to be bound.
    Statement &prepared(LedgerStatement statement) const;
    /// Commits `transaction` and tells the history's listeners.
    void commitStep(Transaction &transaction);
    void tellHistoryListeners();
    /// The month and name of the item `code`, or nothing when there is none.
    std::optional<std::pair<QString, QString>> itemMonthAndName(qint64 code) const;
    /// Throws DbError ReadOnly unless the import's tables can be written.
    void checkImportWritable() const;
    /// Replaces the rules inside the caller's transaction, recorded in `step`.
    void writeImportRules(qint64 step, const std::vector<ImportRuleRecord> &rules);
    /// A month bound past which the newest 24 months lie, or empty.
    QString twentyFourthMonth() const;
    /// A copy opened read-only with the keys of the ledger that opens it.
    Ledger(const QString &path, const QString &password, std::shared_ptr<LedgerKeys> keys);
    friend class CopyOpener;

    // Before the connection, which opens through it.
    std::shared_ptr<LedgerKeys> m_keys;
    Connection m_connection;
    mutable std::vector<std::unique_ptr<Statement>> m_statements;
    QByteArray m_password; ///< UTF-8; overwritten by the destructor
    std::unique_ptr<LedgerHistory> m_history;
    std::vector<std::function<void()>> m_historyListeners;
};

/// Where a backup of `ledgerPath` made on `day` goes: the ledger's name
/// without ".mdb" (any letter case) + "_yyyy-mm-dd_bak.mdb", in the ledger's
/// folder. A name not ending in ".mdb" keeps its own extension:
/// "books.db" -> "books_yyyy-mm-dd_bak.db".
QString backupFileName(const QString &ledgerPath, const QDate &day);

} // namespace zambrel::store
