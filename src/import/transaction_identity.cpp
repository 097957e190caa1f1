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

QString contentHash(const BillTransaction &transaction)
{
    const qint64 cents = std::llround(transaction.amount * 100);
    const qint64 signedCents = transaction.direction == Direction::Expense ? -cents : cents;
    const QString text = transaction.date.toString(Qt::ISODate) + u'\x1f' + QString::number(signedCents) +
                         u'\x1f' + matchKey(transaction.counterparty) + u'\x1f' +
                         matchKey(transaction.description);
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
