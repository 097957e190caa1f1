#include "sample_ledger.h"

#include "store/app_paths.h"
#include "store/connection.h"
#include "store/ledger_schema.h"
#include "store/mod_db.h"
#include "store/record_set.h"
#include "store/ui/logon_steps.h"

#include <iterator>
#include <memory>

namespace zambrel::testkit {
namespace {

struct SampleItem {
    const char *types;
    const char *name;
    const char *memo;
    double income, pay, willPay, firstPay, totalCost, debet, debetPerMonth;
};

const SampleItem kHousehold[] = {
    {"工资", "公司月薪", "税后", 15800, 0, 0, 0, 0, 0, 0},
    {"工资", "兼职稿费", "", 2400, 0, 0, 0, 0, 0, 0},
    {"利息", "定期存款利息", "一年期", 126.5, 0, 0, 0, 0, 0, 0},
    {"日常开销", "超市买菜", "两周一次大采购", 0, 2317.8, 2500, 0, 0, 0, 0},
    {"水电燃气", "水电燃气费", "", 0, 512.3, 450, 0, 0, 0, 0},
    {"交通", "地铁公交", "", 0, 268, 300, 0, 0, 0, 0},
    {"通讯", "手机宽带", "", 0, 199, 199, 0, 0, 0, 0},
    {"教育", "孩子学费", "钢琴课", 0, 1200, 1200, 0, 0, 0, 0},
    {"保险", "家庭保险", "", 0, 800, 800, 0, 0, 0, 0},
    {"房贷", "房贷月供", "公积金组合贷", 0, 4200, 4200, 0, 0, 820000, 4200},
    {"房产", "自住房", "三室两厅", 0, 0, 0, 600000, 1800000, 0, 0},
    {"汽车", "家用轿车", "", 0, 0, 0, 80000, 156000, 0, 0},
    {"股票", "沪深股票", "", 0, 0, 0, 50000, 62340, 0, 0},
    {"基金", "指数基金", "每月定投", 0, 0, 0, 20000, 21870, 0, 0},
    {"存款", "银行存款", "", 0, 0, 0, 0, 96500, 0, 0},
    {"信用卡", "信用卡欠款", "下月初还清", 0, 0, 0, 0, 0, 5320, 0},
};

void add(store::RecordSet &items, const QString &month, const SampleItem &item, double scale)
{
    items.addNew();
    items.setValue(QStringLiteral("months"), month);
    items.setValue(QStringLiteral("types"), QString::fromUtf8(item.types));
    items.setValue(QStringLiteral("name"), QString::fromUtf8(item.name));
    items.setValue(QStringLiteral("memo"), QString::fromUtf8(item.memo));
    items.setValue(QStringLiteral("InComePerMonth"), item.income * scale);
    items.setValue(QStringLiteral("PayPerMonth"), item.pay * scale);
    items.setValue(QStringLiteral("willPayPerMonth"), item.willPay);
    items.setValue(QStringLiteral("FirstPay"), item.firstPay);
    items.setValue(QStringLiteral("TotalCost"), item.totalCost * scale);
    items.setValue(QStringLiteral("Debet"), item.debet);
    items.setValue(QStringLiteral("DebetPerMonth"), item.debetPerMonth);
}

// Rows go in through one batch: one transaction however many there are.
template <typename Fill> void writeBatch(Fill fill)
{
    store::RecordSet items;
    items.setLockType(store::adLockBatchOptimistic);
    items.open(QStringLiteral("select * from asset where 1=2"), *store::modDB::connection());
    fill(items);
    items.updateBatch();
}

} // namespace

void writeSampleMonth(const QString &month, double scale)
{
    writeBatch([&](store::RecordSet &items) {
        for (const SampleItem &item : kHousehold)
            add(items, month, item, scale);
    });
}

void writeManyItems(const QString &month, int count)
{
    const int kinds = static_cast<int>(std::size(kHousehold));
    writeBatch([&](store::RecordSet &items) {
        for (int index = 0; index < count; ++index)
            add(items, month, kHousehold[index % kinds], 1.0 + (index % 7) * 0.01);
    });
}

void openDefaultLedger(const QString &password)
{
    const QString path = store::defaultLedgerPath();
    if (!store::fileExists(path))
        store::createLedger(path, password);
    store::openLedgerConnection(path, password);
}

} // namespace zambrel::testkit
