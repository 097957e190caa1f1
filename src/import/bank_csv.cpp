#include "import/bank_csv.h"

#include "import/csv_split.h"
#include "import/field_values.h"
#include "import/text_decoding.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <map>

namespace zambrel::bills {

namespace {

struct ColumnKey {
    const char *key;
    int BankCsvMapping::*column;
};

const std::array<ColumnKey, 7> kColumnKeys{{
    {"dateColumn", &BankCsvMapping::dateColumn},
    {"descriptionColumn", &BankCsvMapping::descriptionColumn},
    {"counterpartyColumn", &BankCsvMapping::counterpartyColumn},
    {"amountColumn", &BankCsvMapping::amountColumn},
    {"debitColumn", &BankCsvMapping::debitColumn},
    {"creditColumn", &BankCsvMapping::creditColumn},
    {"referenceColumn", &BankCsvMapping::referenceColumn},
}};

struct OrderName {
    DateOrder order;
    const char *name;
};

const std::array<OrderName, 3> kOrderNames{{
    {DateOrder::YearMonthDay, "ymd"},
    {DateOrder::DayMonthYear, "dmy"},
    {DateOrder::MonthDayYear, "mdy"},
}};

const QString kAuto = QStringLiteral("auto");

QString orderName(const std::optional<DateOrder> &order)
{
    for (const OrderName &entry : kOrderNames) {
        if (order && entry.order == *order)
            return QString::fromLatin1(entry.name);
    }
    return kAuto;
}

QString cellOf(const TableRow &row, int column)
{
    return column < 0 ? QString() : row.cells.value(column).trimmed();
}

// Separators a bank's CSV uses, in the order preferred on a tie.
constexpr std::array<char16_t, 4> kSeparators{u',', u';', u'\t', u'|'};

// How many of the lines split into the same number of fields (more than one)
// with this separator.
int separatorScore(QStringView text, QChar separator)
{
    std::map<qsizetype, int> counts;
    for (const TableRow &row : splitCsv(text, separator)) {
        if (!row.isBlank() && row.cells.size() > 1)
            ++counts[row.cells.size()];
    }
    int best = 0;
    for (const auto &[fields, lines] : counts)
        best = std::max(best, lines);
    return best;
}

// The names banks give their columns, lower case, the more telling first.
struct ColumnNames {
    int BankCsvMapping::*column;
    std::initializer_list<const char16_t *> names;
    std::initializer_list<const char16_t *> notNames; ///< cells holding these are no such column
};

// Placed in this order, so that "支出金额" is a debit column before an amount
// column could take it, and a balance never is an amount.
const std::array<ColumnNames, 7> kColumnNames{{
    {&BankCsvMapping::referenceColumn, {u"流水号", u"参考号", u"凭证号", u"reference"}, {}},
    {&BankCsvMapping::dateColumn,
     {u"交易日期", u"记账日期", u"入账日期", u"交易时间", u"日期", u"date", u"时间"},
     {}},
    {&BankCsvMapping::debitColumn,
     {u"支出", u"借方", u"付款金额", u"转出", u"debit", u"withdrawal", u"paid out", u"money out"},
     {u"余额", u"balance"}},
    {&BankCsvMapping::creditColumn,
     {u"收入", u"贷方", u"收款金额", u"存入", u"转入", u"credit", u"deposit", u"paid in", u"money in"},
     {u"余额", u"balance"}},
    {&BankCsvMapping::amountColumn, {u"交易金额", u"发生额", u"金额", u"amount"}, {u"余额", u"balance"}},
    {&BankCsvMapping::counterpartyColumn,
     {u"对方户名", u"对方名称", u"交易对方", u"对方", u"收款人", u"付款人", u"counterparty", u"payee",
      u"payer"},
     {u"账号", u"卡号", u"银行", u"开户行", u"account"}},
    {&BankCsvMapping::descriptionColumn,
     {u"摘要", u"用途", u"附言", u"说明", u"描述", u"备注", u"description", u"details", u"memo",
      u"narrative"},
     {}},
}};

bool holdsAny(const QString &cell, std::initializer_list<const char16_t *> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&cell](const char16_t *name) { return cell.contains(QStringView(name)); });
}

// Places the columns `header` names; false when it names no date column or
// no amount of any kind, as a line of account details above the header may.
bool placeColumns(const TableRow &header, BankCsvMapping &mapping)
{
    QStringList cells;
    for (const QString &cell : header.cells)
        cells << cell.trimmed().toLower();
    std::vector<bool> taken(std::size_t(cells.size()), false);
    BankCsvMapping placed = mapping;
    for (const ColumnNames &role : kColumnNames) {
        for (const char16_t *name : role.names) {
            for (qsizetype at = 0; at < cells.size() && placed.*role.column < 0; ++at) {
                if (!taken[std::size_t(at)] && cells[at].contains(QStringView(name)) &&
                    !holdsAny(cells[at], role.notNames)) {
                    placed.*role.column = int(at);
                    taken[std::size_t(at)] = true;
                }
            }
        }
    }
    const bool split = placed.debitColumn >= 0 || placed.creditColumn >= 0;
    if (placed.dateColumn < 0 || (!split && placed.amountColumn < 0))
        return false;
    if (split)
        placed.amountColumn = -1;
    mapping = placed;
    return true;
}

} // namespace

QString mappingProblem(const BankCsvMapping &mapping)
{
    for (const ColumnKey &entry : kColumnKeys) {
        if (mapping.*entry.column < -1)
            return QStringLiteral("列号不能为负 A column number is negative");
    }
    if (mapping.dateColumn < 0)
        return QStringLiteral("请指定日期列 Choose the date column");
    if (mapping.descriptionColumn < 0)
        return QStringLiteral("请指定摘要列 Choose the description column");
    if (mapping.amountColumn < 0 && mapping.debitColumn < 0 && mapping.creditColumn < 0)
        return QStringLiteral(
            "请指定金额列，或支出列和收入列 Choose the amount column, or the debit and credit columns");
    if (mapping.separator.isNull() || mapping.separator == u'"' || mapping.separator.isLetterOrNumber() ||
        mapping.separator == u'\n' || mapping.separator == u'\r')
        return QStringLiteral("分隔符不可用 The separator cannot be used");
    if (mapping.skipLines < 0 || mapping.skipTrailingLines < 0)
        return QStringLiteral("跳过的行数不能为负 Lines to skip cannot be negative");
    return {};
}

QString mappingToJson(const BankCsvMapping &mapping)
{
    QJsonObject object;
    object.insert(QStringLiteral("encoding"), mapping.encoding ? encodingName(*mapping.encoding) : kAuto);
    object.insert(QStringLiteral("separator"), QString(mapping.separator));
    object.insert(QStringLiteral("decimalComma"), mapping.decimalComma);
    object.insert(QStringLiteral("dateOrder"), orderName(mapping.dateOrder));
    object.insert(QStringLiteral("skipLines"), mapping.skipLines);
    object.insert(QStringLiteral("hasHeader"), mapping.hasHeader);
    object.insert(QStringLiteral("skipTrailingLines"), mapping.skipTrailingLines);
    for (const ColumnKey &entry : kColumnKeys)
        object.insert(QLatin1String(entry.key), mapping.*entry.column);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<BankCsvMapping> mappingFromJson(const QString &json, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::optional<BankCsvMapping>();
    };
    const QString notMapping = QStringLiteral("不是列对应设置 Not a column mapping");
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject())
        return fail(notMapping);
    const QJsonObject object = document.object();
    BankCsvMapping mapping;

    const auto integer = [&object](const char *key, int &into) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return true;
        const double number = value.toDouble(0.5);
        if (!value.isDouble() || number != double(int(number)))
            return false;
        into = int(number);
        return true;
    };
    const auto flag = [&object](const char *key, bool &into) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isBool())
            return false;
        into = value.toBool(into);
        return true;
    };
    bool ok = integer("skipLines", mapping.skipLines) &&
              integer("skipTrailingLines", mapping.skipTrailingLines) &&
              flag("decimalComma", mapping.decimalComma) && flag("hasHeader", mapping.hasHeader);
    for (const ColumnKey &entry : kColumnKeys)
        ok = ok && integer(entry.key, mapping.*entry.column);
    if (!ok)
        return fail(notMapping);

    const QString encoding = object.value(QLatin1String("encoding")).toString(kAuto);
    if (encoding == encodingName(TextEncoding::Utf8))
        mapping.encoding = TextEncoding::Utf8;
    else if (encoding == encodingName(TextEncoding::Gb18030))
        mapping.encoding = TextEncoding::Gb18030;
    else if (encoding != kAuto)
        return fail(notMapping);

    const QString separator = object.value(QLatin1String("separator")).toString(QStringLiteral(","));
    if (separator.size() != 1)
        return fail(notMapping);
    mapping.separator = separator[0];

    const QString order = object.value(QLatin1String("dateOrder")).toString(kAuto);
    if (order != kAuto) {
        const auto known =
            std::find_if(kOrderNames.begin(), kOrderNames.end(),
                         [&order](const OrderName &entry) { return order == QLatin1String(entry.name); });
        if (known == kOrderNames.end())
            return fail(notMapping);
        mapping.dateOrder = known->order;
    }
    const QString problem = mappingProblem(mapping);
    if (!problem.isEmpty())
        return fail(problem);
    return mapping;
}

void readBankRows(const std::vector<TableRow> &rows, const BankCsvMapping &mapping, Bill &bill)
{
    bill.format = BillFormat::BankCsv;
    // Lines below count the file's lines up from its last written one, blank
    // ones included, as the lines above count down from its first.
    int lastLine = 0;
    for (const TableRow &row : rows) {
        if (!row.isBlank())
            lastLine = std::max(lastLine, row.line);
    }
    std::vector<const TableRow *> data;
    for (const TableRow &row : rows) {
        if (row.line > mapping.skipLines && row.line <= lastLine - mapping.skipTrailingLines &&
            !row.isBlank())
            data.push_back(&row);
    }
    if (mapping.hasHeader && !data.empty())
        data.erase(data.begin());

    const int lastColumn = std::max({mapping.dateColumn, mapping.descriptionColumn, mapping.amountColumn});
    QStringList dateTexts;
    for (const TableRow *row : data)
        dateTexts.append(cellOf(*row, mapping.dateColumn));
    if (mapping.dateOrder) {
        bill.dateOrder = *mapping.dateOrder;
        bill.dateOrderAmbiguous = false;
    } else {
        const DateOrderChoice choice = decideDateOrder(dateTexts);
        bill.dateOrder = choice.order;
        bill.dateOrderAmbiguous = choice.ambiguous;
    }

    for (std::size_t i = 0; i < data.size(); ++i) {
        const TableRow &row = *data[i];
        const auto problem = [&bill, &row](const QString &reason) {
            bill.problems.push_back({row.line, reason});
        };
        if (const QString incomplete = incompleteRowReason(row, lastColumn + 1); !incomplete.isEmpty()) {
            problem(incomplete);
            continue;
        }
        const std::optional<QDate> date = parseDate(dateTexts[qsizetype(i)], bill.dateOrder);
        if (!date) {
            problem(unreadableDateReason(dateTexts[qsizetype(i)]));
            continue;
        }

        BillTransaction transaction;
        if (mapping.amountColumn >= 0) {
            const QString text = cellOf(row, mapping.amountColumn);
            const std::optional<double> amount = parseAmount(text, mapping.decimalComma);
            if (!amount) {
                problem(unreadableAmountReason(text));
                continue;
            }
            transaction.amount = qAbs(*amount);
            transaction.direction = *amount < 0   ? Direction::Expense
                                    : *amount > 0 ? Direction::Income
                                                  : Direction::Neutral;
        } else {
            const QString debitText = cellOf(row, mapping.debitColumn);
            const QString creditText = cellOf(row, mapping.creditColumn);
            const std::optional<double> debit =
                debitText.isEmpty() ? std::optional<double>(0) : parseAmount(debitText, mapping.decimalComma);
            const std::optional<double> credit = creditText.isEmpty()
                                                     ? std::optional<double>(0)
                                                     : parseAmount(creditText, mapping.decimalComma);
            if (!debit || !credit) {
                problem(unreadableAmountReason(debit ? creditText : debitText));
                continue;
            }
            if (debitText.isEmpty() && creditText.isEmpty()) {
                problem(QStringLiteral("没有金额 No amount"));
                continue;
            }
            if (*debit != 0 && *credit != 0) {
                problem(QStringLiteral("支出和收入两栏都有金额 Both debit and credit hold an amount"));
                continue;
            }
            // A debit is money out whether the bank writes it signed or
            // not; a negative credit is money taken back out, a reversal.
            transaction.amount = qAbs(*debit != 0 ? *debit : *credit);
            transaction.direction = *debit != 0   ? Direction::Expense
                                    : *credit > 0 ? Direction::Income
                                    : *credit < 0 ? Direction::Expense
                                                  : Direction::Neutral;
        }
        transaction.date = *date;
        transaction.description = cellOf(row, mapping.descriptionColumn);
        transaction.counterparty = cellOf(row, mapping.counterpartyColumn);
        transaction.transactionNumber = cellOf(row, mapping.referenceColumn);
        transaction.line = row.line;
        transaction.format = BillFormat::BankCsv;
        transaction.rowCells = row.cells;
        bill.transactions.push_back(std::move(transaction));
    }
}

CsvSample sampleCsv(const QByteArray &bytes, std::optional<TextEncoding> encoding,
                    std::optional<QChar> separator, int maxRows)
{
    CsvSample sample;
    const DecodedText decoded = decodeText(bytes, encoding);
    sample.encoding = decoded.encoding;
    // Enough lines for the sample and for judging the separator.
    qsizetype end = -1;
    for (int lines = 0; lines < std::max(maxRows, 30); ++lines) {
        end = decoded.text.indexOf(u'\n', end + 1);
        if (end < 0)
            break;
    }
    const QStringView head = end < 0 ? QStringView(decoded.text) : QStringView(decoded.text).first(end);
    if (separator) {
        sample.separator = *separator;
    } else {
        int best = 0;
        for (const char16_t candidate : kSeparators) {
            const int score = separatorScore(head, candidate);
            if (score > best) {
                best = score;
                sample.separator = candidate;
            }
        }
    }
    sample.rows = splitCsv(head, sample.separator);
    if (sample.rows.size() > std::size_t(std::max(maxRows, 0)))
        sample.rows.resize(std::size_t(std::max(maxRows, 0)));
    return sample;
}

BankCsvMapping guessMapping(const CsvSample &sample)
{
    BankCsvMapping mapping;
    mapping.encoding = sample.encoding;
    mapping.separator = sample.separator;
    const auto header = std::find_if(sample.rows.begin(), sample.rows.end(),
                                     [&mapping](const TableRow &row) { return placeColumns(row, mapping); });
    if (header == sample.rows.end())
        return mapping;
    mapping.skipLines = header->line - 1;
    int withPoint = 0, withComma = 0;
    for (auto row = header + 1; row != sample.rows.end(); ++row) {
        for (const int column : {mapping.amountColumn, mapping.debitColumn, mapping.creditColumn}) {
            const QString text = cellOf(*row, column);
            withPoint += !text.isEmpty() && parseAmount(text, false).has_value();
            withComma += !text.isEmpty() && parseAmount(text, true).has_value();
        }
    }
    mapping.decimalComma = withComma > withPoint;
    return mapping;
}

QString numberedColumnTitle(int column)
{
    return QStringLiteral("第 %1 列 Column %1").arg(column + 1);
}

QStringList columnTitles(const CsvSample &sample, const BankCsvMapping &mapping)
{
    const TableRow *header = nullptr;
    qsizetype width = 0;
    for (const TableRow &row : sample.rows) {
        if (row.line <= mapping.skipLines || row.isBlank())
            continue;
        if (!header && mapping.hasHeader)
            header = &row;
        width = std::max(width, row.cells.size());
    }
    QStringList titles;
    for (int column = 0; column < width; ++column) {
        const QString name = header ? cellOf(*header, column) : QString();
        titles << (name.isEmpty() ? numberedColumnTitle(column) : name);
    }
    return titles;
}

} // namespace zambrel::bills
