#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zambrel::store {

class Connection;
class Statement;

/// The version of the ledger file this program writes, kept in the file's
/// header (PRAGMA user_version): 0 or 1, the tables of the earlier versions;
/// 2, with the history tables; 3, with the tables of the bill import (its
/// rules, the transactions imported, the bank statements' column mappings).
constexpr int kLedgerVersion = 3;
/// The first version with the history tables.
constexpr int kFirstHistoryVersion = 2;
/// How many steps the history keeps unless told otherwise.
constexpr int kDefaultHistoryLimit = 1000;

/// What a step of the history did.
enum class StepAction {
    AddItem,
    ChangeItem,
    DeleteItem,
    AddType,
    CarryForward,
    SaveJournalPage,
    ImportBill,  ///< a bill's transactions added to the books
    ImportRules, ///< the import rules replaced
    Unknown,     ///< written by a newer version
};

/// One step of the history: one change of the books that can be undone and
/// redone as a whole.
struct HistoryStep {
    qint64 id = 0; ///< ascending in the order the steps were made
    QDateTime at;
    StepAction action = StepAction::Unknown;
    /// What it acted on: the item's or type's name, the carried month, the
    /// journal page's date.
    QString subject;
    /// The month whose items it changed; empty for a type or a journal page.
    QString month;
    bool undone = false;
};

/// The tables whose rows a step records. A table joins the history by an
/// entry here and a row in the table of their names (ledger_history.cpp).
enum class TrackedTable { Asset, AssetType, Log, ImportRule, ImportedTransaction, Count };

/// Which rows of a tracked table an image records, by the value bound.
enum class ImageRows {
    AssetByCode,      ///< the item with this code
    AssetAfterRow,    ///< the items whose row is above this one (rows just added)
    AssetTypeByRow,   ///< the type stored in this row
    LogByDate,        ///< the journal page of this date
    RulesAfterRow,    ///< the import rules whose row is above this one (0: all of them)
    ImportedAfterRow, ///< the imported transactions whose row is above this one
    Count,
};

/// The history kept inside a ledger: a step table and, for every tracked
/// table, a table of row images (the rows as they were before a step, phase
/// 0, and after it, phase 1), each row with its row id, so an undone step puts
/// back exactly the rows it changed, the item's code included.
///
/// Internal to the store: Ledger records its writes through it, inside the
/// write's own transaction, so a change and its history are written together
/// or not at all. Undo and redo are LIFO: the undone steps are always the
/// newest ones, and a new step discards them.
class LedgerHistory {
public:
    /// Reads the file's version. On a writable connection to a ledger of an
    /// earlier version, adds the history tables and records the version, in
    /// one transaction. A read-only connection never writes.
    /// @throws DbError
    explicit LedgerHistory(const Connection &connection);
    ~LedgerHistory();
    LedgerHistory(const LedgerHistory &) = delete;
    LedgerHistory &operator=(const LedgerHistory &) = delete;

    /// The version the file's header records.
    int fileVersion() const { return m_version; }
    /// @throws DbError ReadOnly when the ledger was written by a newer
    /// version, whose history this one cannot keep.
    void checkWritable() const;

    /// The number of steps kept: the newest ones, which alone are shown,
    /// undone and redone. 0 records none. Below 0: the default.
    void setLimit(int steps);
    int limit() const { return m_limit; }

    /// Starts a step inside the caller's transaction: discards the undone
    /// steps and writes the step's row. Returns its id, or 0 when no history
    /// is kept (then the other recording calls do nothing).
    qint64 begin(StepAction action, const QString &subject, const QString &month);
    /// Records the rows `rows` names by `key` as they are now, as phase 0
    /// (before the change) or 1 (after it).
    void image(qint64 step, int phase, ImageRows rows, const QVariant &key);
    /// Drops the oldest steps beyond the limit from the file, a batch at a
    /// time, `newest` being the step begin() gave (0: none). Call last, in
    /// the transaction.
    void trim(qint64 newest);
    /// The highest row id of the items, 0 when there are none.
    qint64 lastItemRow() const;
    /// The highest row id of the imported transactions, 0 when there are none.
    qint64 lastImportedRow() const;
    /// True when the file holds the import's tables (an earlier version's
    /// ledger opened read-only lacks them).
    bool hasImportTables() const { return m_importTablesPresent; }

    /// The steps kept, newest first; at most `count` when it is not negative.
    std::vector<HistoryStep> steps(int count = -1) const;
    std::optional<HistoryStep> nextUndo() const;
    std::optional<HistoryStep> nextRedo() const;
    /// Undoes the newest steps not undone until the step `after` is the
    /// newest one left (every step when `after` is 0), or `count` steps when
    /// `count` is positive, in one transaction. Returns the steps undone, in
    /// the order they were undone.
    /// @throws DbError Other when the books no longer hold what a step left
    /// (changed outside the history); nothing is undone then.
    std::vector<HistoryStep> undo(int count, qint64 after = 0);
    /// Redoes the oldest undone step, in one transaction. @throws DbError
    std::optional<HistoryStep> redo();

    /// The statements belong to the handle they were made on; a re-key
    /// replaces it.
    void forgetStatements();

private:
    struct Columns;
    Statement &statement(const QString &key, const QString &text) const;
    const Columns &columnsOf(TrackedTable table) const;
    bool present() const { return m_tablesPresent && m_version >= kFirstHistoryVersion; }
    /// Puts back the rows of `step` as they were in phase `phase`, after
    /// checking that the books hold them as phase `1 - phase` left them.
    void restore(const HistoryStep &step, int phase);
    void markUndone(qint64 step, bool undone);
    enum class Discard { FromStep, UpToStep };
    /// Drops the step and every newer one (FromStep) or every older one.
    void discard(Discard which, qint64 step);
    /// The first step `sql` finds, `among` bound as ?1: how many of the
    /// newest steps it looks at.
    std::optional<HistoryStep> stepWhere(const char *key, const char *sql, qint64 among) const;
    /// The newest step not undone, and the oldest undone one, among the
    /// newest `among` steps.
    std::optional<HistoryStep> newestDone(qint64 among) const;
    std::optional<HistoryStep> firstUndone(qint64 among) const;

    const Connection &m_connection;
    int m_version = 0;
    bool m_tablesPresent = false;
    bool m_importTablesPresent = false;
    int m_limit = kDefaultHistoryLimit;
    mutable std::map<QString, std::unique_ptr<Statement>> m_statements;
    mutable std::vector<std::unique_ptr<Columns>> m_columns;
};

} // namespace zambrel::store
