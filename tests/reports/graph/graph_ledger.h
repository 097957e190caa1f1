#pragma once

#include "item_fixtures.h"
#include "store/connection.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QDate>

namespace zambrel::graph::testing {

/// Writes a new ledger at `path` holding `months` consecutive months up to
/// `newest`: a salary (income), daily spending (expenditure), savings (asset)
/// and a credit card (liability) each month, amounts from the rules below.
inline void writeSampleLedger(const QString &path, const char *newest, int months)
{
    store::createLedger(path);
    store::Ledger ledger(path, {});
    const QDate first = QDate::fromString(QString::fromLatin1(newest) + QStringLiteral("-01"), Qt::ISODate);
    for (int i = 0; i < months; ++i) {
        const QString month = first.addMonths(-i).toString(QStringLiteral("yyyy-MM"));
        using testkit::itemOf;
        ledger.addItem(month, itemOf(QStringLiteral("工资"), QStringLiteral("月薪"), {12000.0 + 150 * (i % 5)}));
        ledger.addItem(month, itemOf(QStringLiteral("日常开销"), QStringLiteral("生活"),
                                     {0, 6500.0 + 300 * ((i * 3) % 4)}));
        ledger.addItem(month, itemOf(QStringLiteral("存款"), QStringLiteral("定期"), {0, 0, 0, 0, 40000.0 - 1200 * i}));
        ledger.addItem(month, itemOf(QStringLiteral("信用卡"), QStringLiteral("信用卡"),
                                     {0, 0, 0, 0, 0, 9000.0 + 250 * i}));
    }
}

/// Gives every credit-card item a loan of the largest whole number the
/// engine holds, and each month a second card: the loans of a month then
/// overflow when summed, so the debt series' query fails while the other
/// three still run (and the ledger still has every column it needs).
inline void makeLoanSumsOverflow(const QString &path)
{
    store::Connection raw(path, {});
    // A column of integer affinity keeps the loans whole numbers, which the
    // engine's sum refuses to overflow.
    raw.execute(QStringLiteral("ALTER TABLE Asset RENAME TO OldAsset"));
    raw.execute(QStringLiteral("CREATE TABLE Asset (code INTEGER PRIMARY KEY, months TEXT, types TEXT, "
                               "name TEXT, memo TEXT, InComePerMonth REAL, PayPerMonth REAL, "
                               "willPayPerMonth REAL, FirstPay REAL, TotalCost REAL, Debet INTEGER, "
                               "DebetPerMonth REAL)"));
    raw.execute(QStringLiteral("INSERT INTO Asset SELECT * FROM OldAsset"));
    raw.execute(QStringLiteral("DROP TABLE OldAsset"));
    raw.execute(QStringLiteral("UPDATE Asset SET Debet = 9223372036854775807 WHERE types = '信用卡'"));
    raw.execute(QStringLiteral("INSERT INTO Asset (months, types, name, Debet) "
                               "SELECT months, types, name, Debet FROM Asset WHERE types = '信用卡'"));
}

} // namespace zambrel::graph::testing
