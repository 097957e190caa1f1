// Ledger::restoreFrom: the books of a backup put in place of the ledger's own
// rows, inside the ledger's open connection.
#include "ledger.h"

#include "db_error.h"
#include "key_derivation.h"
#include "safe_file.h"
#include "sqlite_support.h"
#include "statement.h"

#include "base/scope_guard.h"

#include <sqlite3.h>

namespace zambrel::store {
namespace {

/// A name of the schema as an identifier in statement text (names cannot be
/// bound; they come from the ledgers' own schemas).
QByteArray quoted(const QString &name)
{
    QString text = name;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + text.toUtf8() + '"';
}

void run(sqlite3 *db, const QByteArray &sql, const QString &ledger)
{
    runSql(db, sql.constData(), ledger);
}

/// The first column of every row of `sql`.
QStringList firstColumn(sqlite3 *db, const char *sql)
{
    Statement rows(db, sql);
    QStringList texts;
    while (rows.step())
        texts << rows.text(0);
    return texts;
}

/// The column names of `table` in the database `schema`, in their order.
QStringList columnsOf(sqlite3 *db, const char *schema, const QString &table)
{
    const QByteArray sql = QByteArray("PRAGMA ") + schema + ".table_info(" + quoted(table) + ')';
    Statement rows(db, sql.constData());
    QStringList names;
    while (rows.step())
        names << rows.text(1);
    return names;
}

const char *const kTablesOf[] = {
    "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
    "ORDER BY name",
    "SELECT name FROM restored.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
    "ORDER BY name",
};

bool contains(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

} // namespace

CopyOpener::CopyOpener(QString ledgerFile, const QByteArray &password, std::shared_ptr<LedgerKeys> keys)
    : m_ledgerFile(std::move(ledgerFile)), m_password(password), m_keys(std::move(keys))
{
    m_password.detach(); // its own bytes, for the destructor to overwrite
}

CopyOpener::~CopyOpener()
{
    m_password.fill('\0');
}

std::unique_ptr<Ledger> CopyOpener::open(const QString &path, const std::optional<QString> &password) const
{
    // Opening the ledger's own file a second time and closing it would drop
    // the lock this process holds on it.
    if (sameFile(path, m_ledgerFile))
        throw DbError(ErrorKind::Other,
                      QStringLiteral("这是账本本身，不是备份 This is the ledger itself, not a backup: ") +
                          path);
    return std::unique_ptr<Ledger>(
        new Ledger(path, password ? *password : QString::fromUtf8(m_password), m_keys));
}

std::shared_ptr<const CopyOpener> Ledger::copyOpener() const
{
    return std::make_shared<const CopyOpener>(m_connection.file(), m_password, m_keys);
}

std::unique_ptr<Ledger> Ledger::openCopy(const QString &path, const std::optional<QString> &password) const
{
    return copyOpener()->open(path, password);
}

void Ledger::restoreFrom(const QString &backup, const std::optional<QString> &backupPassword)
{
    if (access() == Access::ReadOnly)
        throw DbError(ErrorKind::ReadOnly, path());
    // A newer version's tables would be emptied, its version number kept.
    m_history->checkWritable();
    sqlite3 *db = m_connection.handle();
    if (!sqlite3_get_autocommit(db))
        throw DbError(ErrorKind::Failed, QStringLiteral("事务未完成 A transaction is under way"));
    // The backup is checked as any ledger being opened is (never the ledger
    // itself), then page by page; this read-only handle keeps writers out of
    // it until its rows are in.
    const std::unique_ptr<Ledger> opened = openCopy(backup, backupPassword);
    const Ledger &source = *opened;
    // Its tables and columns beyond this version's would not come along.
    if (source.fileVersion() > kLedgerVersion)
        throw DbError(
            ErrorKind::Other,
            QStringLiteral("备份由较新版本的程序写成，这个版本不能恢复它 The backup was written by a "
                           "newer version of the program; this version cannot restore it: ") +
                source.path());
    if (const QStringList problems = source.integrityProblems(); !problems.isEmpty())
        throw DbError(ErrorKind::Damaged, QStringLiteral("备份未通过完整性检查 ") + source.path(),
                      QStringLiteral("the backup fails the integrity check: ") + source.path() +
                          QStringLiteral(" (") + problems.first() + QLatin1Char(')'));

    const QString ledger = path();
    // The backup's salt read through the descriptor its handle holds: a
    // second one, closed, would drop the lock that keeps writers out.
    attachFile(db, source.m_connection.file(), "restored", source.m_password,
               EngineFile(source.m_connection.handle()).read(0, kLedgerSaltBytes), m_keys.get());
    base::ScopeGuard detach(
        [db] { sqlite3_exec(db, "DETACH DATABASE restored", nullptr, nullptr, nullptr); });
    // Deferred: an immediate transaction would ask for a write lock on the
    // backup too, which a read-only backup cannot give. Only the ledger is
    // written, so its rollback journal makes the whole change one.
    run(db, "BEGIN", ledger);
    base::ScopeGuard rollBack([db] { sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr); });

    const QStringList ours = firstColumn(db, kTablesOf[0]);
    const QStringList theirs = firstColumn(db, kTablesOf[1]);
    testPoint("restore-begun");

    // Triggers would write rows of their own while the rows go in: they
    // are taken away and put back as they were, inside the transaction.
    std::vector<std::pair<QString, QString>> triggers;
    {
        Statement rows(db,
                       "SELECT name, sql FROM main.sqlite_master WHERE type = 'trigger' AND sql IS NOT NULL");
        while (rows.step())
            triggers.emplace_back(rows.text(0), rows.text(1));
    }
    for (const auto &trigger : triggers)
        run(db, "DROP TRIGGER main." + quoted(trigger.first), ledger);

    for (const QString &table : ours)
        run(db, "DELETE FROM main." + quoted(table), ledger);
    for (const QString &table : ours) {
        if (!contains(theirs, table))
            continue;
        const QStringList theirColumns = columnsOf(db, "restored", table);
        QByteArray columns;
        for (const QString &column : columnsOf(db, "main", table)) {
            if (contains(theirColumns, column))
                columns += (columns.isEmpty() ? "" : ", ") + quoted(column);
        }
        if (columns.isEmpty())
            continue;
        run(db,
            "INSERT INTO main." + quoted(table) + " (" + columns + ") SELECT " + columns + " FROM restored." +
                quoted(table),
            ledger);
        testPoint("restore-table");
    }

    // The numbering of new rows goes on from where the backup's went.
    if (contains(firstColumn(db, "SELECT name FROM main.sqlite_master WHERE type = 'table'"),
                 QStringLiteral("sqlite_sequence"))) {
        run(db, "DELETE FROM main.sqlite_sequence", ledger);
        if (contains(firstColumn(db, "SELECT name FROM restored.sqlite_master WHERE type = 'table'"),
                     QStringLiteral("sqlite_sequence")))
            run(db,
                "INSERT INTO main.sqlite_sequence (name, seq) SELECT r.name, r.seq FROM "
                "restored.sqlite_sequence r "
                "WHERE r.name IN (SELECT name FROM main.sqlite_master WHERE type = 'table')",
                ledger);
    }
    for (const auto &trigger : triggers)
        run(db, trigger.second.toUtf8(), ledger);

    testPoint("restore-copied");
    run(db, "COMMIT", ledger);
    rollBack.dismiss();
    detach.dismiss();
    // The books are restored; a backup that would not let go is let go with
    // the handle of `source` at the latest.
    sqlite3_exec(db, "DETACH DATABASE restored", nullptr, nullptr, nullptr);
    // The history came with the books: what can be undone now is the backup's.
    tellHistoryListeners();
}

} // namespace zambrel::store
