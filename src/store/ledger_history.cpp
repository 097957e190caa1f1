#include "ledger_history.h"

#include "connection.h"
#include "db_error.h"
#include "statement.h"

#include "base/clock.h"

#include <QStringList>

#include <algorithm>
#include <iterator>
#include <limits>

namespace zambrel::store {
namespace {

struct TrackedName {
    const char *table;
    const char *history;
};

// In the order of TrackedTable.
const TrackedName kTracked[] = {
    {"Asset", "HistoryAsset"},
    {"AssetType", "HistoryAssetType"},
    {"log", "HistoryLog"},
    {"ImportRule", "HistoryImportRule"},
    {"ImportedTransaction", "HistoryImportedTransaction"},
};
static_assert(std::size(kTracked) == std::size_t(TrackedTable::Count), "one name per tracked table");

struct ImageSource {
    TrackedTable table;
    const char *where; ///< ?3 is the value bound
};

// In the order of ImageRows.
const ImageSource kImageSources[] = {
    {TrackedTable::Asset, "code = ?3"},       {TrackedTable::Asset, "rowid > ?3"},
    {TrackedTable::AssetType, "rowid = ?3"},  {TrackedTable::Log, "dates = ?3"},
    {TrackedTable::ImportRule, "rowid > ?3"}, {TrackedTable::ImportedTransaction, "rowid > ?3"},
};
static_assert(std::size(kImageSources) == std::size_t(ImageRows::Count), "one source per kind of image");

// Stored as words, so that a newer version may add its own.
const char *const kActionWords[] = {"add", "change", "delete", "type", "carry", "journal", "import", "rules"};
static_assert(std::size(kActionWords) == std::size_t(StepAction::Unknown), "one word per action");

QString actionWord(StepAction action)
{
    return action == StepAction::Unknown ? QString() : QString::fromLatin1(kActionWords[int(action)]);
}

StepAction actionOf(const QString &word)
{
    for (std::size_t at = 0; at < std::size(kActionWords); ++at) {
        if (word == QLatin1String(kActionWords[at]))
            return StepAction(at);
    }
    return StepAction::Unknown;
}

QString quoted(QString name)
{
    return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The import's own tables. The rules apply in the order of their rows; an
// identity is remembered once; a mapping is kept per source, as JSON text.
const char *const kImportTables[] = {
    "CREATE TABLE IF NOT EXISTS ImportRule (rule INTEGER PRIMARY KEY, text TEXT NOT NULL, side TEXT NOT "
    "NULL, "
    "minAmount REAL, maxAmount REAL, types TEXT NOT NULL, name TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS ImportedTransaction (identity TEXT NOT NULL UNIQUE, importedAt TEXT)",
    "CREATE TABLE IF NOT EXISTS BankMapping (source TEXT PRIMARY KEY, mapping TEXT NOT NULL)",
};

const char *const kStepColumns = "SELECT step, at, action, subject, month, undone FROM HistoryStep ";

/// As a number of the newest steps: every step in the file.
constexpr qint64 kEveryStep = std::numeric_limits<qint64>::max();

HistoryStep stepOf(const Statement &row)
{
    HistoryStep step;
    step.id = row.integer(0);
    step.at = QDateTime::fromString(row.text(1), Qt::ISODate);
    step.action = actionOf(row.text(2));
    step.subject = row.text(3);
    step.month = row.text(4);
    step.undone = row.integer(5) != 0;
    return step;
}

} // namespace

/// A tracked table's columns as the statements over it and its images name
/// them, read from the ledger itself so that every column is kept.
struct LedgerHistory::Columns {
    QString created;     ///< the image table's own columns, with their declared types
    QString insertInto;  ///< the table's columns a restore writes, the row id first unless a column is it
    QString selectImage; ///< the image columns that fill them, in the same order
    QString sameAsImage; ///< the row `t` holds exactly what image `h` recorded
};

LedgerHistory::LedgerHistory(const Connection &connection)
    : m_connection(connection), m_columns(std::size_t(TrackedTable::Count))
{
    {
        Statement version(connection, "PRAGMA user_version");
        m_version = version.step() ? int(version.integer(0)) : 0;
        version.reset();
    }
    {
        // The tables decide, not the number alone: a file stamped by hand
        // or by a damaged write may lack them.
        Statement tables(connection, "SELECT sum(name IN ('HistoryStep', 'HistoryAsset', 'HistoryAssetType', "
                                     "'HistoryLog')), sum(name IN ('HistoryImportRule', "
                                     "'HistoryImportedTransaction', 'ImportRule', 'ImportedTransaction', "
                                     "'BankMapping')) FROM sqlite_master WHERE type = 'table'");
        const bool counted = tables.step();
        // The steps of a ledger of the version before the import's tables
        // can be read as they are.
        m_tablesPresent = counted && tables.integer(0) == 4;
        m_importTablesPresent = counted && tables.integer(1) == 5;
        tables.reset();
    }
    if ((present() && m_importTablesPresent && m_version >= kLedgerVersion) || m_version > kLedgerVersion ||
        connection.access() == Access::ReadOnly)
        return;
    Transaction transaction(connection);
    // A tracked table comes before its image table: the images take its columns.
    for (const char *create : kImportTables)
        Statement(connection, create).run();
    Statement(connection, "CREATE TABLE IF NOT EXISTS HistoryStep (step INTEGER PRIMARY KEY, at TEXT, "
                          "action TEXT, subject TEXT, month TEXT, undone INTEGER NOT NULL DEFAULT 0)")
        .run();
    // Each image table is its own index, by step, phase and row: a step
    // writes one page of it, not a table page and an index page.
    for (int table = 0; table < int(TrackedTable::Count); ++table) {
        const QString create =
            QStringLiteral("CREATE TABLE IF NOT EXISTS ") + QLatin1String(kTracked[table].history) +
            QStringLiteral(" (historyStep INTEGER NOT NULL, historyPhase INTEGER NOT NULL, "
                           "historyRow INTEGER NOT NULL, ") +
            columnsOf(TrackedTable(table)).created +
            QStringLiteral(", PRIMARY KEY (historyStep, historyPhase, historyRow)) WITHOUT ROWID");
        Statement(connection, create.toUtf8().constData()).run();
    }
    // PRAGMA takes no bound values; the number is the program's own.
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(kLedgerVersion);
    Statement(connection, setVersion.constData()).run();
    transaction.commit();
    m_version = kLedgerVersion;
    m_tablesPresent = true;
    m_importTablesPresent = true;
}

LedgerHistory::~LedgerHistory() = default;

void LedgerHistory::checkWritable() const
{
    if (m_version > kLedgerVersion)
        throw DbError(
            ErrorKind::ReadOnly,
            m_connection.path() +
                QStringLiteral(" (由较新版本的程序写成，这个版本只能读 written by a newer version of "
                               "the program; this version can only read it)"));
}

void LedgerHistory::setLimit(int steps)
{
    m_limit = steps < 0 ? kDefaultHistoryLimit : steps;
}

Statement &LedgerHistory::statement(const QString &key, const QString &text) const
{
    std::unique_ptr<Statement> &slot = m_statements[key];
    if (slot)
        slot->reset();
    else
        slot = std::make_unique<Statement>(m_connection, text.toUtf8().constData());
    return *slot;
}

const LedgerHistory::Columns &LedgerHistory::columnsOf(TrackedTable table) const
{
    std::unique_ptr<Columns> &slot = m_columns[std::size_t(table)];
    if (slot)
        return *slot;
    // The names are the program's own; PRAGMA takes no values.
    const QByteArray pragma = QByteArray("PRAGMA table_info(\"") + kTracked[int(table)].table + "\")";
    Statement info(m_connection, pragma.constData());
    QStringList created, names, same;
    int keyColumns = 0;
    QString integerKey;
    while (info.step()) {
        const QString name = quoted(info.text(1));
        created << name + u' ' + info.text(2);
        names << name;
        same << QStringLiteral("t.") + name + QStringLiteral(" IS h.") + name +
                    QStringLiteral(" COLLATE BINARY");
        if (info.integer(5) > 0) {
            ++keyColumns;
            if (info.text(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                integerKey = name;
        }
    }
    auto columns = std::make_unique<Columns>();
    columns->created = created.join(QStringLiteral(", "));
    // A lone INTEGER PRIMARY KEY is the row id itself: written once, by its name.
    const bool keyIsRowId = keyColumns == 1 && !integerKey.isEmpty();
    columns->insertInto =
        (keyIsRowId ? QString() : QStringLiteral("rowid, ")) + names.join(QStringLiteral(", "));
    columns->selectImage =
        (keyIsRowId ? QString() : QStringLiteral("historyRow, ")) + names.join(QStringLiteral(", "));
    columns->sameAsImage = same.join(QStringLiteral(" AND "));
    slot = std::move(columns);
    return *slot;
}

qint64 LedgerHistory::begin(StepAction action, const QString &subject, const QString &month)
{
    if (!present())
        return 0;
    // Every step in the file counts here, those beyond the limit too.
    if (m_limit == 0) {
        // Keeping none: a write the history does not record would leave the
        // steps kept before it undoing or redoing over rows they never saw.
        if (newestDone(kEveryStep) || firstUndone(kEveryStep))
            discard(Discard::FromStep, 0);
        return 0;
    }
    if (const std::optional<HistoryStep> redo = firstUndone(kEveryStep))
        discard(Discard::FromStep, redo->id);
    Statement &insert =
        statement(QStringLiteral("begin"),
                  QStringLiteral("INSERT INTO HistoryStep (at, action, subject, month, undone) "
                                 "VALUES (?1, ?2, ?3, ?4, 0)"));
    insert.bind(1, base::now().toString(Qt::ISODate));
    insert.bind(2, actionWord(action));
    insert.bind(3, subject);
    insert.bind(4, month);
    insert.run();
    return m_connection.lastInsertedRow();
}

void LedgerHistory::image(qint64 step, int phase, ImageRows rows, const QVariant &key)
{
    if (step == 0)
        return;
    const ImageSource &source = kImageSources[int(rows)];
    const TrackedName &names = kTracked[int(source.table)];
    Statement &insert = statement(
        QStringLiteral("image %1").arg(int(rows)),
        QStringLiteral("INSERT INTO %1 SELECT ?1, ?2, rowid, * FROM %2 WHERE %3")
            .arg(QLatin1String(names.history), QLatin1String(names.table), QLatin1String(source.where)));
    insert.bind(1, step);
    insert.bind(2, qint64(phase));
    if (key.typeId() == QMetaType::QString)
        insert.bind(3, key.toString());
    else
        insert.bind(3, key.toLongLong());
    insert.run();
}

void LedgerHistory::trim(qint64 newest)
{
    if (newest == 0)
        return;
    // Ids follow one another (a new one is the greatest plus 1; only the
    // newest or the oldest steps are ever dropped), so the oldest id tells
    // whether any step lies beyond the limit, in one look at the index.
    Statement &oldest =
        statement(QStringLiteral("oldest"), QStringLiteral("SELECT min(step) FROM HistoryStep"));
    const qint64 first = oldest.step() ? oldest.integer(0) : newest;
    oldest.reset();
    // The oldest steps go in batches of a twentieth of the limit: dropping
    // one step at every write wrote two more pages of the file each time.
    // The steps kept beyond the limit until then are never shown or undone.
    if (newest - first >= qint64(m_limit) + std::max(1, m_limit / 20))
        discard(Discard::UpToStep, newest - m_limit);
}

qint64 LedgerHistory::lastItemRow() const
{
    Statement &last = statement(QStringLiteral("last item"), QStringLiteral("SELECT max(rowid) FROM Asset"));
    const qint64 row = last.step() ? last.integer(0) : 0;
    last.reset();
    return row;
}

qint64 LedgerHistory::lastImportedRow() const
{
    Statement &last = statement(QStringLiteral("last imported"),
                                QStringLiteral("SELECT max(rowid) FROM ImportedTransaction"));
    const qint64 row = last.step() ? last.integer(0) : 0;
    last.reset();
    return row;
}

void LedgerHistory::discard(Discard which, qint64 step)
{
    // ">=": the step and every newer one; "<=": the step and every older one.
    const QString comparison = which == Discard::FromStep ? QStringLiteral(">=") : QStringLiteral("<=");
    for (const TrackedName &names : kTracked) {
        const QString history = QLatin1String(names.history);
        Statement &remove =
            statement(QStringLiteral("discard %1 %2").arg(comparison, history),
                      QStringLiteral("DELETE FROM %1 WHERE historyStep %2 ?1").arg(history, comparison));
        remove.bind(1, step);
        remove.run();
    }
    Statement &remove = statement(QStringLiteral("discard %1 steps").arg(comparison),
                                  QStringLiteral("DELETE FROM HistoryStep WHERE step %1 ?1").arg(comparison));
    remove.bind(1, step);
    remove.run();
}

std::vector<HistoryStep> LedgerHistory::steps(int count) const
{
    std::vector<HistoryStep> found;
    if (!present())
        return found;
    Statement &rows = statement(QStringLiteral("steps"),
                                QLatin1String(kStepColumns) + QStringLiteral("ORDER BY step DESC LIMIT ?1"));
    // The ids follow one another: the newest `limit` are the steps kept.
    rows.bind(1, qint64(count < 0 ? m_limit : std::min(count, m_limit)));
    while (rows.step())
        found.push_back(stepOf(rows));
    return found;
}

std::optional<HistoryStep> LedgerHistory::stepWhere(const char *key, const char *sql, qint64 among) const
{
    if (!present())
        return std::nullopt;
    Statement &row = statement(QLatin1String(key), QLatin1String(kStepColumns) + QLatin1String(sql));
    row.bind(1, among);
    if (!row.step())
        return std::nullopt;
    HistoryStep step = stepOf(row);
    row.reset();
    return step;
}

std::optional<HistoryStep> LedgerHistory::nextUndo() const
{
    return newestDone(m_limit);
}

std::optional<HistoryStep> LedgerHistory::nextRedo() const
{
    // Only the oldest undone step can be redone: one after it would be
    // applied over books that lack the steps before it. When a lowered
    // limit hides that step, nothing is offered.
    std::optional<HistoryStep> oldest = firstUndone(kEveryStep);
    const std::optional<HistoryStep> shown = firstUndone(m_limit);
    if (!oldest || !shown || oldest->id != shown->id)
        return std::nullopt;
    return oldest;
}

std::optional<HistoryStep> LedgerHistory::newestDone(qint64 among) const
{
    // The undone steps are the newest ones: read back from the newest.
    return stepWhere("newest done",
                     "WHERE undone = 0 AND step > (SELECT max(step) FROM HistoryStep) - ?1 "
                     "ORDER BY step DESC LIMIT 1",
                     among);
}

std::optional<HistoryStep> LedgerHistory::firstUndone(qint64 among) const
{
    // The first step after the newest one not undone, through the key alone.
    return stepWhere("first undone",
                     "WHERE step > max(ifnull((SELECT step FROM HistoryStep WHERE undone = 0 ORDER BY step "
                     "DESC LIMIT 1), 0), (SELECT max(step) FROM HistoryStep) - ?1) ORDER BY step LIMIT 1",
                     among);
}

void LedgerHistory::restore(const HistoryStep &step, int phase)
{
    for (int table = 0; table < int(TrackedTable::Count); ++table) {
        const QString name = QString::fromLatin1(kTracked[table].table);
        const QString history = QString::fromLatin1(kTracked[table].history);
        const Columns &columns = columnsOf(TrackedTable(table));
        // The books must hold what the other phase recorded: every row it
        // has, as it has it, and none of the rows only this phase has.
        Statement &changed = statement(
            QStringLiteral("changed ") + name,
            QStringLiteral(
                "SELECT (SELECT count(*) FROM %1 h WHERE h.historyStep = ?1 AND h.historyPhase = ?3 "
                "AND NOT EXISTS (SELECT 1 FROM %2 t WHERE t.rowid = h.historyRow AND %3)) + "
                "(SELECT count(*) FROM %1 h WHERE h.historyStep = ?1 AND h.historyPhase = ?2 "
                "AND h.historyRow NOT IN (SELECT historyRow FROM %1 WHERE historyStep = ?1 AND "
                "historyPhase = ?3) AND h.historyRow IN (SELECT rowid FROM %2))")
                .arg(history, name, columns.sameAsImage));
        changed.bind(1, step.id);
        changed.bind(2, qint64(phase));
        changed.bind(3, qint64(1 - phase));
        const qint64 differences = changed.step() ? changed.integer(0) : 0;
        changed.reset();
        if (differences > 0)
            throw DbError(
                ErrorKind::Other,
                QStringLiteral("账本在操作历史之外被改过，这一步不能%1 The books were changed outside "
                               "the history; this step cannot be %2")
                    .arg(phase == 0 ? QStringLiteral("撤销") : QStringLiteral("重做"),
                         phase == 0 ? QStringLiteral("undone") : QStringLiteral("redone")));

        Statement &remove = statement(QStringLiteral("remove ") + name,
                                      QStringLiteral("DELETE FROM %1 WHERE rowid IN "
                                                     "(SELECT historyRow FROM %2 WHERE historyStep = ?1)")
                                          .arg(name, history));
        remove.bind(1, step.id);
        remove.run();
        Statement &put =
            statement(QStringLiteral("put back ") + name,
                      QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 "
                                     "WHERE historyStep = ?1 AND historyPhase = ?2 ORDER BY historyRow")
                          .arg(name, columns.insertInto, columns.selectImage, history));
        put.bind(1, step.id);
        put.bind(2, qint64(phase));
        put.run();
    }
}

void LedgerHistory::markUndone(qint64 step, bool undone)
{
    Statement &mark = statement(QStringLiteral("mark"),
                                QStringLiteral("UPDATE HistoryStep SET undone = ?2 WHERE step = ?1"));
    mark.bind(1, step);
    mark.bind(2, qint64(undone ? 1 : 0));
    mark.run();
}

std::vector<HistoryStep> LedgerHistory::undo(int count, qint64 after)
{
    std::vector<HistoryStep> undone;
    Transaction transaction(m_connection);
    while (count <= 0 || int(undone.size()) < count) {
        std::optional<HistoryStep> step = nextUndo();
        if (!step || step->id <= after)
            break;
        restore(*step, 0);
        markUndone(step->id, true);
        step->undone = true;
        undone.push_back(std::move(*step));
    }
    transaction.commit();
    return undone;
}

std::optional<HistoryStep> LedgerHistory::redo()
{
    Transaction transaction(m_connection);
    std::optional<HistoryStep> step = nextRedo();
    if (!step)
        return std::nullopt;
    restore(*step, 1);
    markUndone(step->id, false);
    transaction.commit();
    step->undone = false;
    return step;
}

void LedgerHistory::forgetStatements()
{
    m_statements.clear();
}

} // namespace zambrel::store
