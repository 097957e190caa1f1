#include "bench_ledger.h"

#include "store/connection.h"
#include "store/record_set.h"

#include <QDate>
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

QString lastBenchDay(int days)
{
    return QDate(2016, 1, 1).addDays(days - 1).toString(QStringLiteral("yyyy-MM-dd"));
}

void writeBenchJournal(const QString &connectionString, int days)
{
    Connection connection;
    connection.open(connectionString);
    const QString lines[] = {
        QStringLiteral("和家人一起吃了晚饭，聊得很开心。"),
        QStringLiteral("帮邻居搬了箱子，顺路送同事回家。"),
        QStringLiteral("1. 周报 2. 交水电费 3. 预约牙医 – plan the week"),
        QStringLiteral("比昨天多读了二十页书，早起了半小时。"),
        QStringLiteral("晴 18°C 早上七点"),
        QStringLiteral("心情平静，想到一个记账的小点子。"),
        QStringLiteral("新闻：地铁新线开通；朋友圈里有人换了工作。"),
        QStringLiteral("早餐燕麦，午饭米饭青菜，体重 68.5 kg"),
        QStringLiteral("梦见在海边骑自行车，风很大。"),
    };
    RecordSet pages;
    pages.setLockType(adLockBatchOptimistic);
    pages.open(QStringLiteral("select * from log where 1=2"), connection);
    const QDate first(2016, 1, 1);
    for (int d = 0; d < days; ++d) {
        pages.addNew();
        pages.setValue(QStringLiteral("dates"), first.addDays(d).toString(QStringLiteral("yyyy-MM-dd")));
        for (int field = 0; field < 9; ++field) {
            QString text = lines[field] + QStringLiteral(" #%1").arg(d);
            if (field == 5 && d % 30 == 0)
                text += QStringLiteral(" Marathon training");
            pages.setValue(QStringLiteral("g%1").arg(field + 1), text);
        }
    }
    pages.updateBatch();
}
