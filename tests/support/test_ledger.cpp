#include "test_ledger.h"

#include "store/connection.h"
#include "store/connection_string.h"
#include "store/statement.h"

#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace zambrel::testkit {

void writeItems(const QString &path, const QString &month, const std::vector<store::Item> &items,
                const QString &password)
{
    const store::Connection connection(path, password);
    store::Transaction transaction(connection);
    store::Statement insert(connection,
                            "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, "
                            "willPayPerMonth, FirstPay, TotalCost, Debet, DebetPerMonth) "
                            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    for (const store::Item &item : items) {
        insert.bind(1, month);
        insert.bind(2, item.type);
        insert.bind(3, item.name);
        insert.bind(4, item.memo);
        const double amounts[] = {item.income,    item.actualSpending, item.plannedSpending, item.downPayment,
                                  item.totalCost, item.loanTotal,      item.monthlyRepayment};
        for (int at = 0; at < 7; ++at)
            insert.bind(5 + at, amounts[at]);
        insert.run();
    }
    transaction.commit();
}

QByteArray secondProcessTries(const QString &path, const QString &password)
{
    QProcess probe;
    probe.start(QStringLiteral(ZAMBREL_LOCK_PROBE),
                {QStringLiteral("try"), store::ledgerConnectionString(path, password)});
    if (!probe.waitForFinished(60000))
        return "no answer";
    return probe.readAllStandardOutput().trimmed();
}

void damageTablePages(const QString &path, const QString &password, const QString &table)
{
    std::vector<qint64> pages;
    qint64 pageSize = 0;
    {
        const store::Connection connection(path, password);
        store::Statement roots(connection, "SELECT rootpage FROM sqlite_master WHERE tbl_name = ?1");
        roots.bind(1, table);
        while (roots.step())
            pages.push_back(roots.integer(0));
        store::Statement size(connection, "PRAGMA page_size");
        pageSize = size.step() ? size.integer(0) : 0;
    }
    QFile file(path);
    if (pages.empty() || !file.open(QIODevice::ReadWrite))
        throw std::runtime_error("no pages to damage");
    for (const qint64 page : pages) {
        // Page 1 holds the schema; damaging it would refuse the whole ledger.
        if (page < 2 || file.size() < page * pageSize || !file.seek((page - 1) * pageSize))
            throw std::runtime_error("page out of reach");
        // From the page's header on, so that a plain ledger notices too.
        file.write(QByteArray(pageSize / 2, '\x5a'));
    }
}

} // namespace zambrel::testkit
