#include "import/transaction_identity.h"

#include "import/import_rules.h"

#include <QCryptographicHash>
#include <QHash>

#include <cmath>

namespace zambrel::bills {

namespace {

QString sourceName(BillFormat format)
{
    switch (format) {
    case BillFormat::AlipayCsv:
    case BillFormat::AlipayLegacyCsv:
        return QStringLiteral("alipay:");
    case BillFormat::WeChatCsv:
    case BillFormat::WeChatXlsx:
        return QStringLiteral("wechat:");
    case BillFormat::BankCsv:
        break;
    }
    return QStringLiteral("bank:");
}

qint64 signedCents(const BillTransaction &transaction)
{
    const qint64 cents = std::llround(transaction.amount * 100);
    return transaction.direction == Direction::Expense ? -cents : cents;
}

QString contentHash(const BillTransaction &transaction)
{
    const QString text = transaction.date.toString(Qt::ISODate) + u'\x1f' +
                         QString::number(signedCents(transaction)) + u'\x1f' +
                         matchKey(transaction.counterparty) + u'\x1f' + matchKey(transaction.description);
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

} // namespace

QStringList transactionIdentities(const std::vector<BillTransaction> &transactions)
{
    QStringList identities;
    identities.reserve(qsizetype(transactions.size()));
    QHash<QString, int> seen;
    for (const BillTransaction &transaction : transactions) {
        if (transaction.format == BillFormat::BankCsv && !transaction.transactionNumber.isEmpty()) {
            // Banks number their own way, some only within one account:
            // the day and amount keep two banks' numbers apart.
            identities.append(sourceName(transaction.format) + transaction.date.toString(Qt::ISODate) + u':' +
                              QString::number(signedCents(transaction)) + u':' +
                              transaction.transactionNumber);
            continue;
        }
        if (!transaction.transactionNumber.isEmpty()) {
            identities.append(sourceName(transaction.format) + transaction.transactionNumber);
            continue;
        }
        const QString hash = contentHash(transaction);
        const int occurrence = ++seen[hash];
        identities.append(QStringLiteral("hash:") + hash + u'#' + QString::number(occurrence));
    }
    return identities;
}

} // namespace zambrel::bills
