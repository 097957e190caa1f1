#pragma once

#include "store/connection.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

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
        const auto item = [](const char *type, const char *name) {
            store::Item made;
            made.type = QString::fromUtf8(type);
            made.name = QString::fromUtf8(name);
            return made;
        };
        store::Item salary = item("工资", "月薪");
        salary.income = 12000 + 150 * (i % 5);
        store::Item spending = item("日常开销", "生活");
        spending.actualSpending = 6500 + 300 * ((i * 3) % 4);
        store::Item savings = item("存款", "定期");
        savings.totalCost = 40000 - 1200 * i;
        store::Item card = item("信用卡", "信用卡");
        card.loanTotal = 9000 + 250 * i;
        for (const store::Item &each : {salary, spending, savings, card})
            ledger.addItem(month, each);
    }
}

/// Rebuilds the ledger's item table without its loan column, so that the
/// debt series' query fails while the other three still run.
inline void dropLoanColumn(const QString &path)
{
    store::Connection raw;
    raw.open(store::ledgerConnectionString(path, {}));
    raw.execute(QStringLiteral("ALTER TABLE Asset RENAME TO OldAsset"));
    raw.execute(QStringLiteral("CREATE TABLE Asset AS SELECT months, types, InComePerMonth, PayPerMonth, "
                               "TotalCost FROM OldAsset"));
    raw.execute(QStringLiteral("DROP TABLE OldAsset"));
}

} // namespace zambrel::graph::testing
