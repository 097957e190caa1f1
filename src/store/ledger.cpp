#include "ledger.h"

#include "db_error.h"
#include "ledger_copy.h"
#include "ledger_statements.h"
#include "safe_file.h"
#include "sqlite_support.h"
#include "statement.h"

#include "base/clock.h"
#include "base/number_format.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <cmath>

namespace zambrel::store {

namespace {

/// Amounts as the program has always stored them: to 15 significant
/// digits, as its statements wrote them, and 0 for what is not a number.
double storedAmount(double value)
{
    return std::isfinite(value) ? base::throughFifteenDigits(value) : 0.0;
}

/// Binds the seven amounts of `item` from `first` on, in the order of the
/// item statements.
void bindAmounts(Statement &statement, int first, const Item &item)
{
    const double amounts[] = {item.income,    item.actualSpending, item.plannedSpending, item.downPayment,
                              item.totalCost, item.loanTotal,      item.monthlyRepayment};
    for (const double amount : amounts)
        statement.bind(first++, storedAmount(amount));
}

ResultTable tableOf(Statement &rows)
{
    ResultTable table;
    const int columns = rows.columnCount();
    for (int column = 0; column < columns; ++column)
        table.columns << rows.columnName(column);
    while (rows.step()) {
        QVariantList row;
        row.reserve(columns);
        for (int column = 0; column < columns; ++column)
            row << rows.value(column);
        table.rows.push_back(std::move(row));
    }
    return table;
}

/// The first row's first value as text; empty when there is no row.
QString firstText(Statement &rows)
{
    const QString text = rows.step() ? rows.text(0) : QString();
    rows.reset();
    return text;
}

QStringList textsOf(Statement &rows)
{
    QStringList texts;
    while (rows.step())
        texts << rows.text(0);
    return texts;
}

} // namespace

Ledger::Ledger(const QString &path, const QString &password, Access access)
    : m_keys(std::make_shared<LedgerKeys>()), m_connection(path, password, access, {}, m_keys.get()),
      m_statements(std::size_t(LedgerStatement::Count)), m_password(password.toUtf8()),
      m_history(std::make_unique<LedgerHistory>(m_connection))
{
}

Ledger::Ledger(const QString &path, const QString &password, std::shared_ptr<LedgerKeys> keys)
    : m_keys(std::move(keys)), m_connection(path, password, Access::ReadOnly, {}, m_keys.get()),
      m_statements(std::size_t(LedgerStatement::Count)), m_password(password.toUtf8()),
      m_history(std::make_unique<LedgerHistory>(m_connection))
{
}

Ledger::~Ledger()
{
    m_password.fill('\0');
}

Statement &Ledger::prepared(LedgerStatement query) const
{
    std::unique_ptr<Statement> &slot = m_statements[std::size_t(query)];
    if (slot)
        slot->reset();
    else
        slot = std::make_unique<Statement>(m_connection, statementText(query));
    return *slot;
}

QStringList Ledger::newestMonths() const
{
    return textsOf(prepared(LedgerStatement::NewestMonths));
}

ResultTable Ledger::allMonthsTable() const
{
    return tableOf(prepared(LedgerStatement::AllMonths));
}

QString Ledger::latestMonth() const
{
    return firstText(prepared(LedgerStatement::LatestMonth));
}

QString Ledger::twentyFourthMonth() const
{
    return firstText(prepared(LedgerStatement::TwentyFourthMonth));
}

std::vector<Item> Ledger::monthItems(const QString &month) const
{
    Statement &rows = prepared(LedgerStatement::MonthItems);
    rows.bind(1, month);
    std::vector<Item> items;
    while (rows.step()) {
        Item item;
        item.code = rows.integer(0);
        item.month = month;
        item.type = rows.text(1);
        item.name = rows.text(2);
        item.memo = rows.text(3);
        item.income = rows.number(4);
        item.actualSpending = rows.number(5);
        item.plannedSpending = rows.number(6);
        item.downPayment = rows.number(7);
        item.totalCost = rows.number(8);
        item.loanTotal = rows.number(9);
        item.monthlyRepayment = rows.number(10);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<ItemType> Ledger::itemTypes() const
{
    Statement &rows = prepared(LedgerStatement::ItemTypes);
    std::vector<ItemType> types;
    while (rows.step())
        types.push_back({rows.text(0), rows.text(1), int(rows.integer(2))});
    return types;
}

qint64 Ledger::addItem(const QString &month, const Item &item)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    const qint64 step = m_history->begin(StepAction::AddItem, item.name, month);
    Statement &insert = prepared(LedgerStatement::AddItem);
    insert.bind(1, month);
    insert.bind(2, item.type);
    insert.bind(3, item.name);
    insert.bind(4, item.memo);
    bindAmounts(insert, 5, item);
    insert.run();
    const qint64 code = m_connection.lastInsertedRow();
    m_history->image(step, 1, ImageRows::AssetByCode, code);
    m_history->trim(step);
    commitStep(transaction);
    return code;
}

void Ledger::changeItem(const Item &item)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    const std::optional<std::pair<QString, QString>> stored = itemMonthAndName(item.code);
    if (!stored)
        return;
    const qint64 step = m_history->begin(StepAction::ChangeItem, item.name, stored->first);
    m_history->image(step, 0, ImageRows::AssetByCode, item.code);
    Statement &update = prepared(LedgerStatement::ChangeItem);
    update.bind(1, item.code);
    update.bind(2, item.type);
    update.bind(3, item.name);
    update.bind(4, item.memo);
    bindAmounts(update, 5, item);
    update.run();
    m_history->image(step, 1, ImageRows::AssetByCode, item.code);
    m_history->trim(step);
    commitStep(transaction);
}

void Ledger::deleteItem(qint64 code)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    const std::optional<std::pair<QString, QString>> stored = itemMonthAndName(code);
    if (!stored)
        return;
    const qint64 step = m_history->begin(StepAction::DeleteItem, stored->second, stored->first);
    m_history->image(step, 0, ImageRows::AssetByCode, code);
    Statement &remove = prepared(LedgerStatement::DeleteItem);
    remove.bind(1, code);
    remove.run();
    m_history->trim(step);
    commitStep(transaction);
}

std::optional<std::pair<QString, QString>> Ledger::itemMonthAndName(qint64 code) const
{
    Statement &row = prepared(LedgerStatement::ItemMonthAndName);
    row.bind(1, code);
    if (!row.step())
        return std::nullopt;
    std::pair<QString, QString> found{row.text(0), row.text(1)};
    row.reset();
    return found;
}

ItemType Ledger::addItemType(const QString &name, const QString &kind)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    Statement &count = prepared(LedgerStatement::TypeCount);
    const qint64 before = count.step() ? count.integer(0) : 0;
    count.reset();
    const ItemType added{name, kind, int(before + 1)};
    const qint64 step = m_history->begin(StepAction::AddType, name, {});
    Statement &insert = prepared(LedgerStatement::AddItemType);
    insert.bind(1, added.name);
    insert.bind(2, added.kind);
    insert.bind(3, qint64(added.index));
    insert.run();
    m_history->image(step, 1, ImageRows::AssetTypeByRow, m_connection.lastInsertedRow());
    m_history->trim(step);
    commitStep(transaction);
    return added;
}

int Ledger::carryForward(const QString &sourceMonth, const QString &targetMonth)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    // The carried rows are the ones above the last row before them.
    const qint64 lastRow = m_history->lastItemRow();
    const qint64 step = m_history->begin(StepAction::CarryForward, sourceMonth, targetMonth);
    // One statement: the engine writes all of its rows or none.
    Statement &carry = prepared(LedgerStatement::CarryForward);
    carry.bind(1, sourceMonth);
    carry.bind(2, targetMonth);
    carry.run();
    const int carried = m_connection.changedRows();
    // Nothing carried is no step: the transaction is rolled back.
    if (carried == 0)
        return 0;
    m_history->image(step, 1, ImageRows::AssetAfterRow, lastRow);
    m_history->trim(step);
    commitStep(transaction);
    return carried;
}

double Ledger::assetTotal(const QString &month) const
{
    Statement &total = prepared(LedgerStatement::AssetTotal);
    total.bind(1, month);
    const double sum = total.step() ? total.number(0) : 0.0;
    total.reset();
    return sum;
}

std::vector<MonthAmount> Ledger::trendSeries(Category category) const
{
    const auto read = [](Statement &rows) {
        std::vector<MonthAmount> series;
        while (rows.step())
            series.push_back({rows.text(0), rows.number(1)});
        return series;
    };
    // The newest 24 months of the whole ledger bound the range read. Only a
    // category missing from some of them needs the older months too.
    const QString bound = twentyFourthMonth();
    if (!bound.isEmpty()) {
        Statement &since = prepared(trendSince(category));
        since.bind(1, bound);
        std::vector<MonthAmount> series = read(since);
        if (series.size() == 24)
            return series;
    }
    return read(prepared(trendOverAll(category)));
}

std::vector<int> Ledger::journalYears() const
{
    Statement &rows = prepared(LedgerStatement::JournalYears);
    std::vector<int> years;
    while (rows.step())
        years.push_back(int(rows.integer(0)));
    return years;
}

QStringList Ledger::journalDates(const QString &prefix) const
{
    QString pattern = prefix;
    pattern.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    Statement &rows = prepared(LedgerStatement::JournalDates);
    rows.bind(1, pattern + u'%');
    return textsOf(rows);
}

std::optional<JournalPage> Ledger::journalPage(const QString &date) const
{
    Statement &row = prepared(LedgerStatement::JournalPage);
    row.bind(1, date);
    if (!row.step())
        return std::nullopt;
    JournalPage page;
    page.date = date;
    for (int field = 0; field < JournalPage::kFieldCount; ++field)
        page.fields[std::size_t(field)] = row.text(field);
    row.reset();
    return page;
}

bool Ledger::saveJournalPage(const JournalPage &page)
{
    m_history->checkWritable();
    Transaction transaction(m_connection);
    Statement &exists = prepared(LedgerStatement::JournalPageExists);
    exists.bind(1, page.date);
    const bool inserted = !exists.step();
    exists.reset();
    const qint64 step = m_history->begin(StepAction::SaveJournalPage, page.date, {});
    m_history->image(step, 0, ImageRows::LogByDate, page.date);
    Statement &write =
        prepared(inserted ? LedgerStatement::InsertJournalPage : LedgerStatement::UpdateJournalPage);
    write.bind(1, page.date);
    for (int field = 0; field < JournalPage::kFieldCount; ++field)
        write.bind(field + 2, page.fields[std::size_t(field)]);
    write.run();
    m_history->image(step, 1, ImageRows::LogByDate, page.date);
    m_history->trim(step);
    commitStep(transaction);
    return inserted;
}

QStringList Ledger::searchJournal(const QString &text) const
{
    if (text.isEmpty())
        return {};
    Statement &pages = prepared(LedgerStatement::JournalTexts);
    QStringList dates;
    while (pages.step()) {
        // Each field on its own: a match never spans two fields, and a field
        // that is null matches nothing.
        for (int field = 1; field <= JournalPage::kFieldCount; ++field) {
            if (!pages.isNull(field) && pages.text(field).contains(text, Qt::CaseInsensitive)) {
                dates << pages.text(0);
                break;
            }
        }
    }
    return dates;
}

ResultTable Ledger::holdings(const QString &month) const
{
    Statement &rows = prepared(LedgerStatement::Holdings);
    rows.bind(1, month);
    return tableOf(rows);
}

ResultTable Ledger::wholeTable(Table table) const
{
    switch (table) {
    case Table::Items:
        return tableOf(prepared(LedgerStatement::WholeItems));
    case Table::Types:
        return tableOf(prepared(LedgerStatement::WholeTypes));
    case Table::Journal:
        break;
    }
    return tableOf(prepared(LedgerStatement::WholeJournal));
}

void Ledger::checkImportWritable() const
{
    m_history->checkWritable();
    if (!m_history->hasImportTables())
        throw DbError(ErrorKind::ReadOnly, path());
}

std::vector<ImportRuleRecord> Ledger::importRules() const
{
    std::vector<ImportRuleRecord> rules;
    if (!m_history->hasImportTables())
        return rules;
    Statement &rows = prepared(LedgerStatement::ImportRules);
    while (rows.step()) {
        ImportRuleRecord rule{rows.text(0), rows.text(1), std::nullopt,
                              std::nullopt, rows.text(4), rows.text(5)};
        if (!rows.isNull(2))
            rule.minAmount = rows.number(2);
        if (!rows.isNull(3))
            rule.maxAmount = rows.number(3);
        rules.push_back(std::move(rule));
    }
    return rules;
}

void Ledger::writeImportRules(qint64 step, const std::vector<ImportRuleRecord> &rules)
{
    // The rules are replaced whole: the images hold every rule before and after.
    m_history->image(step, 0, ImageRows::RulesAfterRow, qint64(0));
    prepared(LedgerStatement::DeleteImportRules).run();
    for (const ImportRuleRecord &rule : rules) {
        Statement &insert = prepared(LedgerStatement::AddImportRule);
        insert.bind(1, rule.text);
        insert.bind(2, rule.side);
        const std::optional<double> bounds[] = {rule.minAmount, rule.maxAmount};
        for (int at = 0; at < 2; ++at) {
            if (bounds[at] && std::isfinite(*bounds[at]))
                insert.bind(3 + at, *bounds[at]);
            else
                insert.bindNull(3 + at);
        }
        insert.bind(5, rule.type);
        insert.bind(6, rule.name);
        insert.run();
    }
    m_history->image(step, 1, ImageRows::RulesAfterRow, qint64(0));
}

void Ledger::replaceImportRules(const std::vector<ImportRuleRecord> &rules)
{
    checkImportWritable();
    Transaction transaction(m_connection);
    const qint64 step = m_history->begin(StepAction::ImportRules, QString::number(rules.size()), {});
    writeImportRules(step, rules);
    m_history->trim(step);
    commitStep(transaction);
}

QSet<QString> Ledger::importedAmong(const QStringList &identities) const
{
    QSet<QString> found;
    if (!m_history->hasImportTables())
        return found;
    for (const QString &identity : identities) {
        Statement &row = prepared(LedgerStatement::IsImported);
        row.bind(1, identity);
        if (row.step())
            found.insert(identity);
        row.reset();
    }
    return found;
}

std::optional<QString> Ledger::bankMapping(const QString &source) const
{
    if (!m_history->hasImportTables())
        return std::nullopt;
    Statement &row = prepared(LedgerStatement::BankMapping);
    row.bind(1, source);
    if (!row.step())
        return std::nullopt;
    const QString mapping = row.text(0);
    row.reset();
    return mapping;
}

QStringList Ledger::bankMappingSources() const
{
    if (!m_history->hasImportTables())
        return {};
    return textsOf(prepared(LedgerStatement::BankMappingSources));
}

void Ledger::saveBankMapping(const QString &source, const QString &mapping)
{
    checkImportWritable();
    Statement &write = prepared(LedgerStatement::SaveBankMapping);
    write.bind(1, source);
    write.bind(2, mapping);
    write.run();
}

void Ledger::removeBankMapping(const QString &source)
{
    checkImportWritable();
    Statement &write = prepared(LedgerStatement::RemoveBankMapping);
    write.bind(1, source);
    write.run();
}

void Ledger::applyImport(const ImportWrite &write)
{
    checkImportWritable();
    Transaction transaction(m_connection);
    const qint64 lastItem = m_history->lastItemRow();
    const qint64 lastImported = m_history->lastImportedRow();
    const qint64 step = m_history->begin(StepAction::ImportBill, write.subject, write.month);

    if (!write.typesToCreate.empty()) {
        Statement &count = prepared(LedgerStatement::TypeCount);
        qint64 types = count.step() ? count.integer(0) : 0;
        count.reset();
        for (const ItemType &type : write.typesToCreate) {
            Statement &insert = prepared(LedgerStatement::AddItemType);
            insert.bind(1, type.name);
            insert.bind(2, type.kind);
            insert.bind(3, ++types);
            insert.run();
            m_history->image(step, 1, ImageRows::AssetTypeByRow, m_connection.lastInsertedRow());
        }
    }

    QSet<qint64> added;
    for (const ImportAddition &addition : write.additions) {
        if (addition.code == 0)
            continue;
        if (added.contains(addition.code))
            throw DbError(ErrorKind::Other,
                          QStringLiteral("同一项目导入了两次 The same item was imported to twice (%1)")
                              .arg(addition.code));
        added.insert(addition.code);
        Statement &amounts = prepared(LedgerStatement::ItemIncomeSpending);
        amounts.bind(1, addition.code);
        if (!amounts.step())
            throw DbError(ErrorKind::Other,
                          QStringLiteral("要加入的项目已不在账本中 The item to add to is no longer in the "
                                         "books: %1 %2")
                              .arg(addition.month, addition.name));
        const double income = amounts.number(0);
        const double spending = amounts.number(1);
        amounts.reset();
        m_history->image(step, 0, ImageRows::AssetByCode, addition.code);
        Statement &update = prepared(LedgerStatement::SetItemIncomeSpending);
        update.bind(1, addition.code);
        update.bind(2, storedAmount(income + addition.income));
        update.bind(3, storedAmount(spending + addition.spending));
        update.run();
        m_history->image(step, 1, ImageRows::AssetByCode, addition.code);
    }
    bool created = false;
    for (const ImportAddition &addition : write.additions) {
        if (addition.code != 0)
            continue;
        Item item;
        item.type = addition.type;
        item.name = addition.name;
        item.income = addition.income;
        item.actualSpending = addition.spending;
        Statement &insert = prepared(LedgerStatement::AddItem);
        insert.bind(1, addition.month);
        insert.bind(2, item.type);
        insert.bind(3, item.name);
        insert.bind(4, item.memo);
        bindAmounts(insert, 5, item);
        insert.run();
        created = true;
    }
    if (created)
        m_history->image(step, 1, ImageRows::AssetAfterRow, lastItem);

    const QString now = base::now().toString(Qt::ISODate);
    for (const QString &identity : write.identities) {
        Statement &insert = prepared(LedgerStatement::AddImported);
        insert.bind(1, identity);
        insert.bind(2, now);
        insert.run();
    }
    m_history->image(step, 1, ImageRows::ImportedAfterRow, lastImported);
    if (write.rules)
        writeImportRules(step, *write.rules);
    m_history->trim(step);
    commitStep(transaction);
}

void Ledger::backupTo(const QString &target) const
{
    const QFileInfo targetInfo(target);
    // The entry the rename would replace, folder links resolved.
    const QString replaced =
        QFileInfo(targetInfo.absolutePath()).canonicalFilePath() + u'/' + targetInfo.fileName();
    if (replaced == m_connection.file() || targetInfo.absoluteFilePath() == path())
        throw DbError(ErrorKind::Other,
                      QStringLiteral("备份不能覆盖账本本身 A backup cannot replace the ledger itself"));
    PendingFile copy(target);
    copyLedgerFile(m_connection, copy);
    testPoint("backup-copied");
    copy.commit();
}

void Ledger::changePassword(const QString &oldPassword, const QString &newPassword)
{
    if (!m_connection.opensWith(oldPassword))
        throw DbError(ErrorKind::WrongPassword, path());
    if (access() == Access::ReadOnly)
        throw DbError(ErrorKind::ReadOnly, path());
    // The statements belong to the handle about to be replaced.
    for (std::unique_ptr<Statement> &statement : m_statements)
        statement.reset();
    m_history->forgetStatements();
    // The keys of the old password go; the new file's is kept as it is made.
    m_keys->forget();
    rekeyLedger(m_connection, newPassword, m_keys.get());
    m_password.fill('\0');
    m_password = newPassword.toUtf8();
}

QStringList Ledger::integrityProblems() const
{
    QStringList problems;
    try {
        problems = textsOf(prepared(LedgerStatement::IntegrityCheck));
    } catch (const DbError &error) {
        // Pages so damaged that the check itself cannot go on: in an
        // encrypted ledger a page that fails its check stops the engine
        // with a plain error.
        if (error.kind() != ErrorKind::Damaged && error.kind() != ErrorKind::Failed)
            throw;
        // An interrupted check found nothing wrong.
        if (sqlite3_errcode(m_connection.handle()) == SQLITE_INTERRUPT)
            throw;
        return {error.description()};
    }
    if (problems == QStringList{QStringLiteral("ok")})
        return {};
    return problems;
}

void Ledger::interrupt() const
{
    sqlite3_interrupt(m_connection.handle());
}

int Ledger::fileVersion() const
{
    return m_history->fileVersion();
}

void Ledger::setHistoryLimit(int steps)
{
    m_history->setLimit(steps);
}

int Ledger::historyLimit() const
{
    return m_history->limit();
}

std::vector<HistoryStep> Ledger::historySteps(int count) const
{
    return m_history->steps(count);
}

std::optional<HistoryStep> Ledger::nextUndo() const
{
    return m_history->nextUndo();
}

std::optional<HistoryStep> Ledger::nextRedo() const
{
    return m_history->nextRedo();
}

std::optional<HistoryStep> Ledger::undo()
{
    m_history->checkWritable();
    std::vector<HistoryStep> undone = m_history->undo(1);
    if (undone.empty())
        return std::nullopt;
    tellHistoryListeners();
    return undone.front();
}

std::optional<HistoryStep> Ledger::redo()
{
    m_history->checkWritable();
    std::optional<HistoryStep> redone = m_history->redo();
    if (redone)
        tellHistoryListeners();
    return redone;
}

std::vector<HistoryStep> Ledger::undoTo(qint64 step)
{
    m_history->checkWritable();
    std::vector<HistoryStep> undone = m_history->undo(0, step);
    if (!undone.empty())
        tellHistoryListeners();
    return undone;
}

void Ledger::onHistoryChanged(std::function<void()> listener)
{
    m_historyListeners.push_back(std::move(listener));
}

void Ledger::commitStep(Transaction &transaction)
{
    transaction.commit();
    tellHistoryListeners();
}

void Ledger::tellHistoryListeners()
{
    for (const std::function<void()> &listener : m_historyListeners)
        listener();
}

QString backupFileName(const QString &ledgerPath, const QDate &day)
{
    const QString stamp =
        QStringLiteral("_") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("_bak");
    if (ledgerPath.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive))
        return ledgerPath.left(ledgerPath.size() - 4) + stamp + QStringLiteral(".mdb");
    const QFileInfo file(ledgerPath);
    const QString suffix = file.suffix();
    if (suffix.isEmpty() || file.completeBaseName().isEmpty())
        return ledgerPath + stamp;
    return ledgerPath.left(ledgerPath.size() - suffix.size() - 1) + stamp + u'.' + suffix;
}

} // namespace zambrel::store
