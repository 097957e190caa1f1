#include "bench_ledger.h"

#include "store/connection.h"
#include "store/statement.h"

#include <QDate>
#include <QStringList>

using namespace zambrel::store;

QString lastBenchMonth(int months)
{
    const int m = months - 1;
    return QStringLiteral("%1-%2").arg(2021 + m / 12).arg(m % 12 + 1, 2, 10, QLatin1Char('0'));
}

void writeBenchItems(const QString &path, const QString &password, int months, int itemsPerMonth)
{
    const Connection connection(path, password);
    QStringList typeNames;
    {
        Statement types(connection, "SELECT types FROM AssetType");
        while (types.step())
            typeNames << types.text(0);
    }
    Transaction transaction(connection);
    Statement insert(connection, "INSERT INTO Asset (months, types, name, memo, InComePerMonth, PayPerMonth, "
                                 "willPayPerMonth, FirstPay, TotalCost, Debet) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    for (int m = 0; m < months; ++m) {
        const QString month = lastBenchMonth(m + 1);
        for (int i = 0; i < itemsPerMonth; ++i) {
            insert.bind(1, month);
            insert.bind(2, typeNames[i % typeNames.size()]);
            insert.bind(3, QStringLiteral("项目 %1").arg(i));
            insert.bind(4, QStringLiteral("备注"));
            insert.bind(5, 100.0 + i);
            insert.bind(6, 50.0 + i);
            insert.bind(7, 60.0 + i);
            insert.bind(8, 300.0 * i);
            insert.bind(9, 1000.0 * i);
            insert.bind(10, 500.0 * i);
            insert.run();
        }
    }
    transaction.commit();
}

QString lastBenchDay(int days)
{
    return QDate(2016, 1, 1).addDays(days - 1).toString(QStringLiteral("yyyy-MM-dd"));
}

void writeBenchJournal(const QString &path, const QString &password, int days)
{
    const Connection connection(path, password);
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
    Transaction transaction(connection);
    Statement insert(connection, "INSERT INTO log (dates, g1, g2, g3, g4, g5, g6, g7, g8, g9) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    const QDate first(2016, 1, 1);
    for (int d = 0; d < days; ++d) {
        insert.bind(1, first.addDays(d).toString(QStringLiteral("yyyy-MM-dd")));
        for (int field = 0; field < 9; ++field) {
            QString text = lines[field] + QStringLiteral(" #%1").arg(d);
            if (field == 5 && d % 30 == 0)
                text += QStringLiteral(" Marathon training");
            insert.bind(field + 2, text);
        }
        insert.run();
    }
    transaction.commit();
}
