#include "bench_ledger.h"

#include "store/connection.h"
#include "store/record_set.h"

#include <QStringList>

using namespace zambrel::store;

QString lastBenchMonth(int months)
{
    const int m = months - 1;
    return QStringLiteral("%1-%2").arg(2021 + m / 12).arg(m % 12 + 1, 2, 10, QLatin1Char('0'));
}

void writeBenchItems(const QString &connectionString, int months, int itemsPerMonth)
{
    Connection connection;
    connection.open(connectionString);
    auto types = connection.execute(QStringLiteral("select types from AssetType"));
    QStringList typeNames;
    for (; !types->eof(); types->moveNext())
        typeNames << types->value(0).toString();

    RecordSet items;
    items.setLockType(adLockBatchOptimistic);
    items.open(QStringLiteral("select * from asset where 1=2"), connection);
    for (int m = 0; m < months; ++m) {
        const QString month = lastBenchMonth(m + 1);
        for (int i = 0; i < itemsPerMonth; ++i) {
            items.addNew();
            items.setValue(QStringLiteral("months"), month);
            items.setValue(QStringLiteral("types"), typeNames[i % typeNames.size()]);
            items.setValue(QStringLiteral("name"), QStringLiteral("项目 %1").arg(i));
            items.setValue(QStringLiteral("memo"), QStringLiteral("备注"));
            items.setValue(QStringLiteral("InComePerMonth"), 100.0 + i);
            items.setValue(QStringLiteral("PayPerMonth"), 50.0 + i);
            items.setValue(QStringLiteral("willPayPerMonth"), 60.0 + i);
            items.setValue(QStringLiteral("FirstPay"), 300.0 * i);
            items.setValue(QStringLiteral("TotalCost"), 1000.0 * i);
            items.setValue(QStringLiteral("Debet"), 500.0 * i);
        }
    }
    items.updateBatch();
}
