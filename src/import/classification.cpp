#include "import/classification.h"

#include <QHash>
#include <QSet>

#include <array>

namespace zambrel::bills {

namespace {

const QString kRefund = QStringLiteral("退款");

bool isRefund(const BillTransaction &transaction)
{
    return transaction.category.contains(kRefund) ||
           transaction.status.contains(QStringLiteral("退款成功")) ||
           transaction.description.startsWith(kRefund);
}

// Status words of a transaction through which no money moved.
constexpr std::array<const char16_t *, 11> kNotCompleted{u"交易关闭", u"已关闭",   u"全额退款", u"失败",
                                                         u"已撤销",   u"撤销成功", u"已取消",   u"交易取消",
                                                         u"未支付",   u"等待付款", u"待付款"};

// Why no money moved, or empty when it did.
QString notCompletedReason(const BillTransaction &transaction)
{
    for (const char16_t *words : kNotCompleted) {
        if (transaction.status.contains(QStringView(words)))
            return QStringLiteral("交易未成功 Not completed (%1)").arg(transaction.status);
    }
    if (transaction.amount > 0 && transaction.refunded >= transaction.amount)
        return QStringLiteral("已全额退款 Refunded in full");
    return {};
}

QString nameKey(const QString &name)
{
    return name.normalized(QString::NormalizationForm_KC).simplified().toCaseFolded();
}

bool isTransfer(const BillTransaction &transaction)
{
    const QString transfer = QStringLiteral("转账");
    return transaction.category.contains(transfer) || transaction.description.contains(transfer);
}

// The row an Alipay refund's number ("original_refund" or "original*refund")
// or a shared merchant number points to.
int refundedRow(const std::vector<BillTransaction> &rows, int refund, const QHash<QString, int> &byNumber,
                const QHash<QString, int> &byMerchant)
{
    const BillTransaction &transaction = rows[std::size_t(refund)];
    const QString &number = transaction.transactionNumber;
    for (const QChar mark : {QChar(u'_'), QChar(u'*')}) {
        const qsizetype at = number.indexOf(mark);
        if (at > 0) {
            const int found = byNumber.value(number.left(at), -1);
            if (found >= 0 && found != refund)
                return found;
        }
    }
    if (!transaction.merchantNumber.isEmpty()) {
        const int found = byMerchant.value(transaction.merchantNumber, -1);
        if (found >= 0 && found != refund)
            return found;
    }
    return -1;
}

Effect ordinaryEffect(Direction direction)
{
    switch (direction) {
    case Direction::Expense:
        return Effect::AddSpending;
    case Direction::Income:
        return Effect::AddIncome;
    case Direction::Neutral:
        break;
    }
    return Effect::None;
}

} // namespace

std::vector<RowClass> classifyTransactions(const Bill &bill, const QStringList &ownNames)
{
    const std::vector<BillTransaction> &rows = bill.transactions;
    QSet<QString> own;
    for (const QString &name : ownNames) {
        if (!name.trimmed().isEmpty())
            own.insert(nameKey(name));
    }
    if (!bill.holderName.trimmed().isEmpty())
        own.insert(nameKey(bill.holderName));

    // Originals a refund may point to: the first row of each number.
    QHash<QString, int> byNumber;
    QHash<QString, int> byMerchant;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (isRefund(rows[i]))
            continue;
        if (!rows[i].transactionNumber.isEmpty())
            byNumber.insert(rows[i].transactionNumber, byNumber.value(rows[i].transactionNumber, int(i)));
        if (!rows[i].merchantNumber.isEmpty())
            byMerchant.insert(rows[i].merchantNumber, byMerchant.value(rows[i].merchantNumber, int(i)));
    }

    std::vector<RowClass> classes(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const BillTransaction &transaction = rows[i];
        RowClass &row = classes[i];
        if (isRefund(transaction)) {
            row.kind = RowKind::Refund;
            row.reason = QStringLiteral("退款 Refund");
            row.refundOf = refundedRow(rows, int(i), byNumber, byMerchant);
            // A refund undoes its original; without one, money coming back
            // undoes a payment and money going out undoes an income.
            const Direction undone = row.refundOf >= 0 ? rows[std::size_t(row.refundOf)].direction
                                     : transaction.direction == Direction::Expense ? Direction::Income
                                                                                   : Direction::Expense;
            row.effect = undone == Direction::Income ? Effect::ReduceIncome : Effect::ReduceSpending;
            continue;
        }
        row.effect = ordinaryEffect(transaction.direction);
        if (QString reason = notCompletedReason(transaction); !reason.isEmpty()) {
            row.kind = RowKind::NotCompleted;
            row.reason = std::move(reason);
        } else if (transaction.direction == Direction::Neutral) {
            row.kind = RowKind::OwnTransfer;
            row.reason = QStringLiteral("不计收支 Neither income nor spending");
        } else if (isTransfer(transaction) && own.contains(nameKey(transaction.counterparty))) {
            row.kind = RowKind::OwnTransfer;
            row.reason = QStringLiteral("转账给自己 Transfer to oneself");
        }
    }
    return classes;
}

} // namespace zambrel::bills
