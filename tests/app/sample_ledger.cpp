#include "sample_ledger.h"

#include "base/app_paths.h"
#include "logon/logon_steps.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

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

store::Item itemOf(const SampleItem &sample, double scale)
{
    store::Item item;
    item.type = QString::fromUtf8(sample.types);
    item.name = QString::fromUtf8(sample.name);
    item.memo = QString::fromUtf8(sample.memo);
    item.income = sample.income * scale;
    item.actualSpending = sample.pay * scale;
    item.plannedSpending = sample.willPay;
    item.downPayment = sample.firstPay;
    item.totalCost = sample.totalCost * scale;
    item.loanTotal = sample.debet;
    item.monthlyRepayment = sample.debetPerMonth;
    return item;
}

} // namespace

std::vector<store::Item> sampleItems(double scale)
{
    std::vector<store::Item> items;
    for (const SampleItem &sample : kHousehold)
        items.push_back(itemOf(sample, scale));
    return items;
}

std::vector<store::Item> manyItems(int count)
{
    const int kinds = static_cast<int>(std::size(kHousehold));
    std::vector<store::Item> items;
    items.reserve(std::size_t(count));
    for (int index = 0; index < count; ++index)
        items.push_back(itemOf(kHousehold[index % kinds], 1.0 + (index % 7) * 0.01));
    return items;
}

void writeSampleMonth(const QString &month, double scale)
{
    writeItems(store::ensureDefaultLedger(), month, sampleItems(scale));
}

void writeManyItems(const QString &month, int count)
{
    writeItems(store::ensureDefaultLedger(), month, manyItems(count));
}

void addItems(store::Ledger &ledger, const QString &month, const std::vector<store::Item> &items)
{
    for (const store::Item &item : items)
        ledger.addItem(month, item);
}

std::shared_ptr<store::Ledger> openDefaultLedger(const QString &password)
{
    const QString path = base::defaultLedgerPath();
    if (!base::fileExists(path))
        store::createLedger(path, password);
    return store::openLedger(path, password);
}

} // namespace zambrel::testkit
