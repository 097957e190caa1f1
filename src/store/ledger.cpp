#include "ledger.h"

#include "db_error.h"
#include "ledger_schema.h"
#include "record_set.h"
#include "safe_file.h"
#include "value_text.h"

#include "base/number_format.h"

#include <QFileInfo>

#include <array>

namespace zambrel::store {
namespace {

const QString kDividendType = QStringLiteral("股利");

// The columns of a month's items, in the order the statement names them.
enum ItemField { Code, Types, Name, Memo, Income, Pay, WillPay, FirstPay, TotalCost, Debet, DebetPerMonth };
constexpr std::array<const char *, 11> kItemFields = {
    "code",     "types",     "name",  "memo",         "incomepermonth", "paypermonth", "Willpaypermonth",
    "FirstPay", "TotalCost", "Debet", "DebetPerMonth"};

QString categoryPattern(Category category)
{
    switch (category) {
    case Category::Income:
        return QStringLiteral("1[0-1][0-1][0-1]");
    case Category::Expenditure:
        return QStringLiteral("[0-1]1[0-1][0-1]");
    case Category::Assets:
        return QStringLiteral("[0-1][0-1]1[0-1]");
    case Category::Liabilities:
        break;
    }
    return QStringLiteral("[0-1][0-1][0-1]1");
}

/// The items of a category, as every statement that sums by category says it.
QString categoryClause(Category category)
{
    return QStringLiteral(
               " FROM [Asset]  WHERE ([Types] IN ( select AssetType.[types] from  [AssetType] WHERE "
               "AssetType.[KIND] LIKE '") +
           categoryPattern(category) + QStringLiteral("') )");
}

QString trendSelect(Category category)
{
    switch (category) {
    case Category::Income:
        return QStringLiteral("SELECT top 24 months,SUM([incomePermonth]) AS T  ");
    case Category::Expenditure:
        return QStringLiteral("SELECT top 24 months,SUM([payPermonth]) AS T  ");
    case Category::Assets:
        return QStringLiteral("SELECT top 24 months,SUM([TotalCost]) AS T  ");
    case Category::Liabilities:
        break;
    }
    return QStringLiteral("SELECT top 24 months,SUM([Debet]) AS T  ");
}

QString textOf(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

/// Amounts as the item statements write them: plain digits, 0 for anything
/// that is not a finite number.
QString amountText(double value)
{
    return base::numberToText(value);
}

ResultTable tableOf(RecordSet &records)
{
    ResultTable table;
    for (int field = 0; field < records.fieldCount(); ++field)
        table.columns << records.fieldName(field);
    for (records.moveFirst(); !records.eof(); records.moveNext()) {
        QVariantList row;
        row.reserve(table.columns.size());
        for (int field = 0; field < records.fieldCount(); ++field)
            row << records.value(field);
        table.rows.push_back(std::move(row));
    }
    return table;
}

/// A LIKE pattern that matches `text` literally anywhere: the wildcards and
/// the class bracket become one-character classes.
QString containsPattern(const QString &text)
{
    QString pattern = QStringLiteral("%");
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern + u'%';
}

} // namespace

Ledger::Ledger(const QString &path, const QString &password)
{
    m_connection.open(ledgerConnectionString(path, password));
    m_path = m_connection.dataSource();
    // Up to 32 MiB of decrypted pages stay in memory. The ledger is locked
    // while it is open, so they never go stale, and a read of a whole table
    // (a journal search) decrypts each page once, not on every read.
    execute(QStringLiteral("PRAGMA cache_size=-32768"));
}

Ledger::~Ledger() = default;

QString Ledger::connectionString() const
{
    return m_connection.connectionString();
}

std::unique_ptr<RecordSet> Ledger::select(const QString &sql) const
{
    std::unique_ptr<RecordSet> rows = m_connection.execute(sql);
    if (!rows)
        throw DbError(kErrSyntax, QStringLiteral("语句没有返回记录 The statement returned no rows: ") + sql);
    return rows;
}

void Ledger::execute(const QString &sql)
{
    m_connection.execute(sql, adCmdText | adExecuteNoRecords);
}

QStringList Ledger::newestMonths() const
{
    const auto rows =
        select(QStringLiteral("SELECT distinct top 24  months from asset order by months desc;"));
    QStringList months;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        months << textOf(rows->value(0));
    return months;
}

ResultTable Ledger::allMonthsTable() const
{
    const auto rows = select(QStringLiteral("SELECT distinct  months from asset order by months desc;"));
    return tableOf(*rows);
}

QString Ledger::latestMonth() const
{
    const auto rows = select(QStringLiteral("select max(months) as maxMonths from asset"));
    return rows->eof() ? QString() : textOf(rows->value(0));
}

std::vector<Item> Ledger::monthItems(const QString &month) const
{
    const auto rows =
        select(QStringLiteral("select code,types,[name],[memo],incomepermonth,paypermonth,Willpaypermonth,"
                              "FirstPay,TotalCost,Debet,DebetPerMonth from Asset ") +
               QStringLiteral(" where months='") + sqlText(month) + QStringLiteral("'"));
    std::array<int, kItemFields.size()> at{};
    for (std::size_t field = 0; field < kItemFields.size(); ++field) {
        at[field] = rows->fieldIndex(QString::fromLatin1(kItemFields[field]));
        if (at[field] < 0)
            throw DbError(kErrGeneric, QStringLiteral("账本缺少字段 The ledger lacks the column Asset.") +
                                           QString::fromLatin1(kItemFields[field]));
    }
    std::vector<Item> items;
    items.reserve(std::size_t(rows->recordCount()));
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        Item item;
        item.code = static_cast<qint32>(rows->value(at[Code]).toLongLong());
        item.month = month;
        item.type = textOf(rows->value(at[Types]));
        item.name = textOf(rows->value(at[Name]));
        item.memo = textOf(rows->value(at[Memo]));
        item.income = rows->value(at[Income]).toDouble();
        item.actualSpending = rows->value(at[Pay]).toDouble();
        item.plannedSpending = rows->value(at[WillPay]).toDouble();
        item.downPayment = rows->value(at[FirstPay]).toDouble();
        item.totalCost = rows->value(at[TotalCost]).toDouble();
        item.loanTotal = rows->value(at[Debet]).toDouble();
        item.monthlyRepayment = rows->value(at[DebetPerMonth]).toDouble();
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<ItemType> Ledger::itemTypes() const
{
    const auto rows = select(QStringLiteral("select * from AssetType order by types"));
    const int name = rows->fieldIndex(QStringLiteral("types"));
    const int kind = rows->fieldIndex(QStringLiteral("kind"));
    const int index = rows->fieldIndex(QStringLiteral("index"));
    if (name < 0 || kind < 0)
        throw DbError(kErrGeneric, QStringLiteral("账本缺少字段 The ledger lacks the column AssetType.") +
                                       (name < 0 ? QStringLiteral("types") : QStringLiteral("kind")));
    std::vector<ItemType> types;
    types.reserve(std::size_t(rows->recordCount()));
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        types.push_back({textOf(rows->value(name)), textOf(rows->value(kind)),
                         index < 0 ? 0 : rows->value(index).toInt()});
    return types;
}

qint32 Ledger::addItem(const QString &month, const Item &item)
{
    execute(QStringLiteral(" insert into Asset(months,types,[name],[memo],") +
            QStringLiteral(
                "FirstPay,TotalCost,Debet,DebetPerMonth,InComePerMonth,PayPerMonth,willPayPerMonth) values") +
            QStringLiteral("('") + sqlText(month) + QStringLiteral("','") + sqlText(item.type) +
            QStringLiteral("','") + sqlText(item.name) + QStringLiteral("','") + sqlText(item.memo) +
            QStringLiteral("',") + amountText(item.downPayment) + u',' + amountText(item.totalCost) + u',' +
            amountText(item.loanTotal) + u',' + amountText(item.monthlyRepayment) + u',' +
            amountText(item.income) + u',' + amountText(item.actualSpending) + u',' +
            amountText(item.plannedSpending) + u')');
    const auto identity = select(QStringLiteral("SELECT  @@Identity  as   myid     from    asset"));
    if (identity->eof())
        throw DbError(kErrGeneric,
                      QStringLiteral("无法读取新记录的编号 The new item's number cannot be read"));
    return static_cast<qint32>(identity->value(QStringLiteral("myid")).toLongLong());
}

void Ledger::changeItem(const Item &item)
{
    execute(QStringLiteral(" update Asset set Types='") + sqlText(item.type) + QStringLiteral("',") +
            QStringLiteral(" [Name]='") + sqlText(item.name) + QStringLiteral("',") +
            QStringLiteral(" [Memo]='") + sqlText(item.memo) + QStringLiteral("',") +
            QStringLiteral(" FirstPay=") + amountText(item.downPayment) + u',' +
            QStringLiteral(" TotalCost=") + amountText(item.totalCost) + u',' + QStringLiteral(" Debet=") +
            amountText(item.loanTotal) + u',' + QStringLiteral(" DebetPerMonth=") +
            amountText(item.monthlyRepayment) + u',' + QStringLiteral(" InComePerMonth=") +
            amountText(item.income) + u',' + QStringLiteral(" PayPerMonth=") +
            amountText(item.actualSpending) + QStringLiteral(" ,") + QStringLiteral(" WillPayPerMonth=") +
            amountText(item.plannedSpending) + u' ' + QStringLiteral(" where  code=") +
            QString::number(item.code));
}

void Ledger::deleteItem(qint32 code)
{
    execute(QStringLiteral("delete * from asset where code=") + QString::number(code));
}

ItemType Ledger::addItemType(const QString &name, const QString &kind)
{
    RecordSet types;
    types.setLockType(adLockBatchOptimistic);
    types.open(QStringLiteral("select * from AssetType order by types"), m_connection);
    const ItemType added{name, kind, types.recordCount() + 1};
    types.addNew();
    types.setValue(QStringLiteral("types"), added.name);
    types.setValue(QStringLiteral("kind"), added.kind);
    types.setValue(QStringLiteral("index"), added.index);
    types.updateBatch(adAffectAll);
    return added;
}

int Ledger::carryForward(const QString &sourceMonth, const QString &targetMonth)
{
    QHash<QString, QString> kinds;
    for (const ItemType &type : itemTypes()) {
        if (!kinds.contains(type.name))
            kinds.insert(type.name, type.kind);
    }
    const auto source = select(QStringLiteral("select * from Asset where months='") + sqlText(sourceMonth) +
                               QStringLiteral("'"));
    RecordSet added;
    added.setLockType(adLockBatchOptimistic);
    added.open(QStringLiteral("select * from asset where 1=2"), m_connection);

    const int columns = added.fieldCount();
    for (source->moveFirst(); !source->eof(); source->moveNext()) {
        const QString type = textOf(source->value(QStringLiteral("types")));
        if (type == kDividendType)
            continue; // dividends are earned anew each month
        added.addNew();
        for (int column = 0; column < columns && column < source->fieldCount(); ++column) {
            const QString name = source->fieldName(column);
            const QString lower = name.toLower();
            if (lower == QLatin1String("code"))
                continue;
            added.setValue(name,
                           lower == QLatin1String("months") ? QVariant(targetMonth) : source->value(column));
        }
        if (kinds.value(type).mid(1, 1) == QLatin1String("1")) {
            // Planned spending carries over; actual spending and its memo start afresh.
            added.setValue(QStringLiteral("paypermonth"), 0.0);
            added.setValue(QStringLiteral("memo"), QString());
        }
    }
    const int written = added.pendingCount();
    if (written > 0)
        added.updateBatch(adAffectAll); // one transaction
    return written;
}

double Ledger::assetTotal(const QString &month) const
{
    const auto rows =
        select(QStringLiteral("SELECT SUM([TotalCost]) AS T  ") + categoryClause(Category::Assets) +
               QStringLiteral("  AND  [Asset].[months]='") + sqlText(month) + QStringLiteral("'"));
    return rows->eof() ? 0.0 : rows->value(0).toDouble();
}

std::vector<MonthAmount> Ledger::trendSeries(Category category) const
{
    const auto rows = select(trendSelect(category) + categoryClause(category) +
                             QStringLiteral(" group by months order by months DESC"));
    std::vector<MonthAmount> series;
    series.reserve(std::size_t(rows->recordCount()));
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        series.push_back({textOf(rows->value(0)), rows->value(1).toDouble()});
    return series;
}

std::vector<int> Ledger::journalYears() const
{
    const auto rows =
        select(QStringLiteral("select distinct year(dates) AS Y from log order by year(dates)"));
    std::vector<int> years;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        if (!rows->value(0).isNull())
            years.push_back(rows->value(0).toInt());
    }
    return years;
}

QStringList Ledger::journalDates(const QString &prefix) const
{
    const auto rows = select(QStringLiteral("select dates AS Y from log where dates like '") +
                             sqlText(prefix) + QStringLiteral("%' order by dates"));
    QStringList dates;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        dates << textOf(rows->value(0));
    return dates;
}

std::optional<JournalPage> Ledger::journalPage(const QString &date) const
{
    const auto rows =
        select(QStringLiteral("select *  from log where dates='") + sqlText(date) + QStringLiteral("'"));
    if (rows->eof())
        return std::nullopt;
    JournalPage page;
    page.date = date;
    for (int field = 0; field < JournalPage::kFieldCount; ++field)
        page.fields[std::size_t(field)] =
            textOf(rows->value(QStringLiteral("g") + QString::number(field + 1)));
    return page;
}

bool Ledger::saveJournalPage(const JournalPage &page)
{
    const QString date = sqlText(page.date);
    const bool exists =
        !select(QStringLiteral("select * from log where dates='") + date + QStringLiteral("'"))->eof();
    QString sql;
    if (!exists) {
        sql = QStringLiteral("insert into log (dates,g1,g2,g3,g4,g5,g6,g7,g8,g9) values('") + date;
        for (const QString &field : page.fields)
            sql += QStringLiteral("','") + sqlText(field);
        sql += QStringLiteral("') ");
    } else {
        sql = QStringLiteral("update log set ");
        for (int field = 0; field < JournalPage::kFieldCount; ++field) {
            sql += (field == 0 ? QStringLiteral("g") : QStringLiteral("', g")) + QString::number(field + 1) +
                   QStringLiteral("='") + sqlText(page.fields[std::size_t(field)]);
        }
        sql += QStringLiteral("' where dates='") + date + QStringLiteral("'");
    }
    execute(sql);
    return !exists;
}

QStringList Ledger::searchJournal(const QString &text) const
{
    if (text.isEmpty())
        return {};
    const QString pattern = sqlText(containsPattern(text));
    // The nine fields are matched as one text, joined by a character no typed
    // text holds: a match cannot span two fields, so this finds what nine
    // separate matches find, with one call of the engine's LIKE per page.
    const QChar separator(0xFFFF);
    QString sql = QStringLiteral("select dates from log where ");
    if (!text.contains(separator)) {
        for (int field = 1; field <= JournalPage::kFieldCount; ++field) {
            sql += field == 1 ? QStringLiteral("(") : QStringLiteral("||char(65535)||");
            sql += QStringLiteral("ifnull(g") + QString::number(field) + QStringLiteral(",'')");
        }
        sql += QStringLiteral(") like '") + pattern + u'\'';
    } else {
        for (int field = 1; field <= JournalPage::kFieldCount; ++field) {
            if (field > 1)
                sql += QStringLiteral(" or ");
            sql += QStringLiteral("g") + QString::number(field) + QStringLiteral(" like '") + pattern + u'\'';
        }
    }
    sql += QStringLiteral(" order by dates desc");
    const auto rows = select(sql);
    QStringList dates;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        dates << textOf(rows->value(0));
    return dates;
}

ResultTable Ledger::holdings(const QString &month) const
{
    const auto rows =
        select(QStringLiteral("SELECT months,[name],FirstPay,TotalCost,TotalCost-firstpay as Profit "
                              "from asset where types like '%股票%' and months ='") +
               sqlText(month) + QStringLiteral("'order by months;"));
    return tableOf(*rows);
}

ResultTable Ledger::wholeTable(Table table) const
{
    switch (table) {
    case Table::Items:
        return tableOf(*select(QStringLiteral(
            "select code,months,types,[name],[memo],InComePerMonth,PayPerMonth,willPayPerMonth,FirstPay,"
            "TotalCost,Debet,DebetPerMonth from Asset order by months,code")));
    case Table::Types:
        return tableOf(
            *select(QStringLiteral("select types,kind,[index] from AssetType order by [index],types")));
    case Table::Journal:
        break;
    }
    return tableOf(
        *select(QStringLiteral("select dates,g1,g2,g3,g4,g5,g6,g7,g8,g9 from log order by dates")));
}

void Ledger::backupTo(const QString &target) const
{
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(m_path).absoluteFilePath())
        throw DbError(kErrGeneric,
                      QStringLiteral("备份不能覆盖账本本身 A backup cannot replace the ledger itself"));
    // No transaction is ever left open between operations, so the file on
    // disk holds every committed change; our exclusive lock keeps other
    // processes from writing while the bytes are read.
    copyFileAtomically(m_path, target);
}

void Ledger::changePassword(const QString &oldPassword, const QString &newPassword)
{
    m_connection.execute(QStringLiteral("Alter   Database   password    ") + passwordWord(newPassword) +
                             u' ' + passwordWord(oldPassword),
                         -1);
}

QStringList Ledger::integrityProblems() const
{
    const auto rows = select(QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        problems << textOf(rows->value(0));
    if (problems == QStringList{QStringLiteral("ok")})
        return {};
    return problems;
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

QString passwordWord(const QString &password)
{
    if (password.isEmpty())
        return QStringLiteral("NULL");
    QString text = password;
    return u'[' + text.replace(QLatin1Char(']'), QStringLiteral("]]")) + u']';
}

} // namespace zambrel::store
