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

QString hashOf(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

QString contentHash(const BillTransaction &transaction)
{
    return hashOf(transaction.date.toString(Qt::ISODate) + u'\x1f' +
                  QString::number(signedCents(transaction)) + u'\x1f' + matchKey(transaction.counterparty) +
                  u'\x1f' + matchKey(transaction.description));
}

QString rowHash(const BillTransaction &transaction)
{
    QString text =
        transaction.date.toString(Qt::ISODate) + u'\x1f' + QString::number(signedCents(transaction));
    for (const QString &cell : transaction.rowCells)
        text += u'\x1f' + cell.trimmed();
    return hashOf(text);
}

bool byRow(const BillTransaction &transaction)
{
    return transaction.format == BillFormat::BankCsv && transaction.transactionNumber.isEmpty() &&
           !transaction.rowCells.isEmpty();
}

// A hashed identity, numbered by how many rows of the bill up to it share
// the hash.
QString numbered(QHash<QString, int> &seen, const QString &prefix, const QString &hash)
{
    return prefix + hash + u'#' + QString::number(++seen[prefix + hash]);
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
        identities.append(byRow(transaction)
                              ? numbered(seen, QStringLiteral("row:"), rowHash(transaction))
                              : numbered(seen, QStringLiteral("hash:"), contentHash(transaction)));
    }
    return identities;
}

QStringList earlierIdentities(const std::vector<BillTransaction> &transactions)
{
    QStringList identities;
    identities.reserve(qsizetype(transactions.size()));
    QHash<QString, int> seen;
    for (const BillTransaction &transaction : transactions) {
        // Numbered the way earlier versions numbered them: among the rows
        // without a number that they hashed alike.
        const bool hashed = transaction.transactionNumber.isEmpty();
        const QString earlier =
            hashed ? numbered(seen, QStringLiteral("hash:"), contentHash(transaction)) : QString();
        identities.append(byRow(transaction) ? earlier : QString());
    }
    return identities;
}

} // namespace zambrel::bills
