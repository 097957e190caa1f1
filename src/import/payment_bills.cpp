#include "import/payment_bills.h"

#include "import/field_values.h"

#include <QStringList>

#include <algorithm>

namespace zambrel::bills {

namespace {

using Headers = std::array<const char16_t *, std::size_t(BillColumn::Count)>;

struct Layout {
    BillFormat csvFormat;
    std::optional<BillFormat> sheetFormat;
    Headers headers; ///< header names as normalised ("|" between alternatives); null: no such column
};

// Every kind of column but these must be in the header.
bool isOptional(BillColumn column)
{
    return column == BillColumn::DateFallback || column == BillColumn::MerchantNumber ||
           column == BillColumn::Refunded || column == BillColumn::FundState;
}

const std::array<Layout, 3> kLayouts{{
    {BillFormat::AlipayLegacyCsv,
     std::nullopt,
     {u"付款时间", u"交易创建时间", u"交易对方", u"商品名称", u"金额(元)", u"收/支", u"交易状态", u"类型",
      u"交易号", u"商家订单号", u"成功退款(元)", u"资金状态"}},
    {BillFormat::AlipayCsv,
     std::nullopt,
     {u"交易时间", nullptr, u"交易对方", u"商品说明", u"金额|金额(元)", u"收/支", u"交易状态", u"交易分类",
      u"交易订单号", u"商家订单号", nullptr, nullptr}},
    {BillFormat::WeChatCsv,
     BillFormat::WeChatXlsx,
     {u"交易时间", nullptr, u"交易对方", u"商品", u"金额(元)", u"收/支", u"当前状态", u"交易类型",
      u"交易单号", u"商户单号", nullptr, nullptr}},
}};

// A header cell as compared: trimmed, without a byte order mark, full-width
// forms made plain ("金额（元）" reads "金额(元)").
QString headerKey(const QString &cell)
{
    QString key = cell;
    key.remove(QChar(0xFEFF));
    key = key.trimmed();
    for (const QChar c : std::as_const(key)) {
        if (c.unicode() >= 0xFF00)
            return key.normalized(QString::NormalizationForm_KC);
    }
    return key;
}

std::optional<PaymentTable> matchLayout(const QStringList &keys, const Layout &layout, bool fromSheet,
                                        std::size_t row)
{
    PaymentTable table;
    table.headerRow = row;
    if (fromSheet) {
        if (!layout.sheetFormat)
            return std::nullopt;
        table.format = *layout.sheetFormat;
    } else {
        table.format = layout.csvFormat;
    }
    for (std::size_t kind = 0; kind < table.columns.size(); ++kind) {
        table.columns[kind] = -1;
        if (layout.headers[kind] == nullptr)
            continue;
        const QStringList names = QString::fromUtf16(layout.headers[kind]).split(u'|');
        for (const QString &name : names) {
            const qsizetype at = keys.indexOf(name);
            if (at >= 0) {
                table.columns[kind] = int(at);
                break;
            }
        }
        if (table.columns[kind] < 0 && !isOptional(BillColumn(kind)))
            return std::nullopt;
    }
    return table;
}

// A bill marks an empty field with a slash.
QString fieldText(const QString &cell)
{
    const QString text = cell.trimmed();
    return text == u"/" ? QString() : text;
}

// "姓名：张三", "微信昵称：[张三]".
QString holderNameIn(const std::vector<TableRow> &rows, std::size_t headerRow)
{
    static const QStringList kLabels{QStringLiteral("姓名"), QStringLiteral("微信昵称"),
                                     QStringLiteral("户名"), QStringLiteral("账户名")};
    for (std::size_t i = 0; i < headerRow; ++i) {
        for (const QString &cell : rows[i].cells) {
            const QString text = cell.trimmed().normalized(QString::NormalizationForm_KC);
            for (const QString &label : kLabels) {
                if (!text.startsWith(label + u':'))
                    continue;
                QString name = text.mid(label.size() + 1).trimmed();
                if (name.startsWith(u'[') && name.endsWith(u']'))
                    name = name.mid(1, name.size() - 2).trimmed();
                return name;
            }
        }
    }
    return {};
}

std::optional<Direction> flowOf(const QString &flow, const QString &fundState)
{
    if (flow == u"支出")
        return Direction::Expense;
    if (flow == u"收入")
        return Direction::Income;
    if (flow == u"不计收支")
        return Direction::Neutral;
    if (!flow.isEmpty())
        return std::nullopt;
    // The older layout leaves 收/支 empty on some rows; its fund state tells.
    if (fundState.endsWith(u"支出"))
        return Direction::Expense;
    if (fundState.endsWith(u"收入"))
        return Direction::Income;
    return Direction::Neutral;
}

Direction reversed(Direction direction)
{
    switch (direction) {
    case Direction::Expense:
        return Direction::Income;
    case Direction::Income:
        return Direction::Expense;
    case Direction::Neutral:
        break;
    }
    return Direction::Neutral;
}

} // namespace

std::optional<PaymentTable> findPaymentTable(const std::vector<TableRow> &rows, bool fromSheet)
{
    // The account lines above a header are a few dozen at most.
    const std::size_t searched = std::min<std::size_t>(rows.size(), 100);
    for (std::size_t row = 0; row < searched; ++row) {
        if (rows[row].cells.size() < 8)
            continue;
        QStringList keys;
        keys.reserve(rows[row].cells.size());
        for (const QString &cell : rows[row].cells)
            keys.append(headerKey(cell));
        for (const Layout &layout : kLayouts) {
            if (auto table = matchLayout(keys, layout, fromSheet, row))
                return table;
        }
    }
    return std::nullopt;
}

void readPaymentRows(const std::vector<TableRow> &rows, const PaymentTable &table, Bill &bill)
{
    bill.format = table.format;
    bill.dateOrder = DateOrder::YearMonthDay;
    bill.holderName = holderNameIn(rows, table.headerRow);
    const bool fromSheet = table.format == BillFormat::WeChatXlsx;
    int lastColumn = 0;
    for (std::size_t kind = 0; kind < table.columns.size(); ++kind) {
        if (!isOptional(BillColumn(kind)))
            lastColumn = std::max(lastColumn, table.columns[kind]);
    }

    for (std::size_t i = table.headerRow + 1; i < rows.size(); ++i) {
        const TableRow &row = rows[i];
        if (row.isBlank())
            continue;
        if (row.cells.value(0).trimmed().startsWith(QLatin1String("---")))
            break;
        const auto problem = [&bill, &row](const QString &reason) {
            bill.problems.push_back({row.line, reason});
        };
        if (const QString incomplete = incompleteRowReason(row, lastColumn + 1); !incomplete.isEmpty()) {
            problem(incomplete);
            continue;
        }
        const auto cell = [&row, &table](BillColumn kind) {
            const int column = table.columns[std::size_t(kind)];
            return column < 0 ? QString() : fieldText(row.cells.value(column));
        };

        QString dateText = cell(BillColumn::Date);
        if (dateText.isEmpty())
            dateText = cell(BillColumn::DateFallback);
        std::optional<QDate> date = parseDate(dateText, DateOrder::YearMonthDay);
        if (!date && fromSheet)
            date = excelSerialDate(dateText);
        if (!date) {
            problem(unreadableDateReason(dateText));
            continue;
        }
        const QString amountText = cell(BillColumn::Amount);
        const std::optional<double> amount = parseAmount(amountText);
        if (!amount) {
            problem(unreadableAmountReason(amountText));
            continue;
        }
        const QString flowText = cell(BillColumn::Flow);
        std::optional<Direction> direction = flowOf(flowText, cell(BillColumn::FundState));
        if (!direction) {
            problem(QStringLiteral("收/支无法识别 Unknown direction: %1").arg(flowText));
            continue;
        }

        BillTransaction transaction;
        transaction.date = *date;
        transaction.amount = *amount < 0 ? -*amount : *amount;
        transaction.direction = *amount < 0 ? reversed(*direction) : *direction;
        transaction.counterparty = cell(BillColumn::Counterparty);
        transaction.description = cell(BillColumn::Description);
        transaction.status = cell(BillColumn::Status);
        transaction.category = cell(BillColumn::Category);
        transaction.transactionNumber = cell(BillColumn::Number);
        transaction.merchantNumber = cell(BillColumn::MerchantNumber);
        transaction.refunded = qAbs(parseAmount(cell(BillColumn::Refunded)).value_or(0));
        transaction.line = row.line;
        transaction.format = table.format;
        bill.transactions.push_back(std::move(transaction));
    }
}

} // namespace zambrel::bills
