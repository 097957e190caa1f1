#include "ledger/month_panels.h"

namespace zambrel::ledger {
namespace {

bool maskSet(const QString &kind, int position)
{
    return kind.mid(position, 1) == QLatin1String("1");
}

} // namespace

void MonthPanels::beginUpdate()
{
    income.beginUpdate();
    expenditure.beginUpdate();
    assets.beginUpdate();
    liabilities.beginUpdate();
}

void MonthPanels::endUpdate()
{
    income.endUpdate();
    expenditure.endUpdate();
    assets.endUpdate();
    liabilities.endUpdate();
}

void MonthPanels::updateTotals()
{
    income.total();
    expenditure.total();
    assets.total();
    liabilities.total();
}

void resetPanels(MonthPanels &panels)
{
    panels.liabilities.clear();
    panels.assets.clear();
    panels.expenditure.clear();
    panels.income.clear();

    panels.income.clear();
    panels.income.setCaption(QStringLiteral("收入 Profit"));
    panels.income.setHeader(QStringLiteral("项  目,描      述,金 额,比 例"));

    panels.expenditure.clear();
    panels.expenditure.setCaption(QStringLiteral("支出 Loss"));
    panels.expenditure.setCaptionColour(panel::kLightRed);
    panels.expenditure.setHeader(QStringLiteral("项  目,描      述,预 计,实 际,比 例"));

    panels.assets.clear();
    panels.assets.setCaption(QStringLiteral("资产 Asset"));
    panels.assets.setHeader(QStringLiteral("项  目,描      述,首 付,总成本,比 例"));

    panels.liabilities.clear();
    panels.liabilities.setCaption(QStringLiteral("负债 Liabilities"));
    panels.liabilities.setCaptionColour(panel::kLightRed);
    panels.liabilities.setHeader(QStringLiteral("项  目,描      述,金 额,比 例"));
}

void addGroupRows(MonthPanels &panels, const QString &kind, const QString &types)
{
    if (maskSet(kind, 0))
        panels.income.putItem(types + QStringLiteral("收入"), 0, {});
    if (maskSet(kind, 1))
        panels.expenditure.putItem(types + QStringLiteral("支出"), 0, {});
    if (maskSet(kind, 2))
        panels.assets.putItem(types + QStringLiteral("资产"), 0, {});
    if (maskSet(kind, 3))
        panels.liabilities.putItem(types + QStringLiteral("贷款"), 0, {});
}

void placeItem(MonthPanels &panels, const QString &kind, const store::Item &item, const QString &memo)
{
    if (kind.trimmed().isEmpty())
        return;
    const QString &type = item.type;
    if (maskSet(kind, 0))
        panels.income.putItem(item.name, item.income, type + QStringLiteral("收入"), 0, item.code, memo);
    if (maskSet(kind, 1)) {
        const QString group = type + QStringLiteral("支出");
        panels.expenditure.putItem(item.name, item.plannedSpending, group, item.actualSpending, item.code,
                                   memo);
        // Same key and group: the repayment row replaces the row just placed.
        if (item.monthlyRepayment > 0)
            panels.expenditure.putItem(item.name + QStringLiteral("还贷"), item.monthlyRepayment, group,
                                       item.actualSpending, item.code);
        if (item.loanTotal > 0)
            panels.liabilities.putItem(item.name, item.loanTotal, type + QStringLiteral("贷款"), 0, item.code,
                                       memo);
    }
    if (maskSet(kind, 2))
        panels.assets.putItem(item.name, item.downPayment, type + QStringLiteral("资产"), item.totalCost,
                              item.code, memo);
    if (maskSet(kind, 3) && item.loanTotal > 0)
        panels.liabilities.putItem(item.name, item.loanTotal, type + QStringLiteral("贷款"), 0, item.code,
                                   memo);
}

void removeItem(MonthPanels &panels, const QString &key)
{
    panels.income.removeItem(key);
    panels.expenditure.removeItem(key);
    panels.assets.removeItem(key);
    panels.liabilities.removeItem(key);
}

} // namespace zambrel::ledger
