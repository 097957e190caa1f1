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
    UCLVIncome.beginUpdate();
    UCLVPayout.beginUpdate();
    UCLVAsset.beginUpdate();
    UCLVDebt.beginUpdate();
}

void MonthPanels::endUpdate()
{
    UCLVIncome.endUpdate();
    UCLVPayout.endUpdate();
    UCLVAsset.endUpdate();
    UCLVDebt.endUpdate();
}

void initUcLV(MonthPanels &panels)
{
    panels.UCLVDebt.Clear();
    panels.UCLVAsset.Clear();
    panels.UCLVPayout.Clear();
    panels.UCLVIncome.Clear();

    panels.UCLVIncome.Clear();
    panels.UCLVIncome.setCaption(QStringLiteral("收入 Profit"));
    panels.UCLVIncome.setLvHeader(QStringLiteral("项  目,描      述,金 额,比 例"));

    panels.UCLVPayout.Clear();
    panels.UCLVPayout.setCaption(QStringLiteral("支出 Loss"));
    panels.UCLVPayout.setCaptionBgColor(panel::kLightRed);
    panels.UCLVPayout.setLvHeader(QStringLiteral("项  目,描      述,预 计,实 际,比 例"));

    panels.UCLVAsset.Clear();
    panels.UCLVAsset.setCaption(QStringLiteral("资产 Asset"));
    panels.UCLVAsset.setLvHeader(QStringLiteral("项  目,描      述,首 付,总成本,比 例"));

    panels.UCLVDebt.Clear();
    panels.UCLVDebt.setCaption(QStringLiteral("负债 Liabilities"));
    panels.UCLVDebt.setCaptionBgColor(panel::kLightRed);
    panels.UCLVDebt.setLvHeader(QStringLiteral("项  目,描      述,金 额,比 例"));
}

void addGroupRows(MonthPanels &panels, const QString &kind, const QString &types)
{
    if (maskSet(kind, 0))
        panels.UCLVIncome.setItem(types + QStringLiteral("收入"), 0, {});
    if (maskSet(kind, 1))
        panels.UCLVPayout.setItem(types + QStringLiteral("支出"), 0, {});
    if (maskSet(kind, 2))
        panels.UCLVAsset.setItem(types + QStringLiteral("资产"), 0, {});
    if (maskSet(kind, 3))
        panels.UCLVDebt.setItem(types + QStringLiteral("贷款"), 0, {});
}

void showItem(MonthPanels &panels, const QString &kind, const LedgerItem &item)
{
    if (kind.trimmed().isEmpty())
        return;
    const QString &type = item.types;
    if (maskSet(kind, 0))
        panels.UCLVIncome.setItem(item.name, item.InComePerMonth, type + QStringLiteral("收入"), 0, item.code,
                                  item.memo);
    if (maskSet(kind, 1)) {
        const QString group = type + QStringLiteral("支出");
        panels.UCLVPayout.setItem(item.name, item.willPayPerMonth, group, item.PayPerMonth, item.code,
                                  item.memo);
        // Same key and group: the repayment row replaces the row just placed.
        if (item.DebetPerMonth > 0)
            panels.UCLVPayout.setItem(item.name + QStringLiteral("还贷"), item.DebetPerMonth, group,
                                      item.PayPerMonth, item.code);
        if (item.Debet > 0)
            panels.UCLVDebt.setItem(item.name, item.Debet, type + QStringLiteral("贷款"), 0, item.code,
                                    item.memo);
    }
    if (maskSet(kind, 2))
        panels.UCLVAsset.setItem(item.name, item.FirstPay, type + QStringLiteral("资产"), item.TotalCost,
                                 item.code, item.memo);
    if (maskSet(kind, 3) && item.Debet > 0)
        panels.UCLVDebt.setItem(item.name, item.Debet, type + QStringLiteral("贷款"), 0, item.code,
                                item.memo);
}

void removeItem(MonthPanels &panels, const QString &key)
{
    panels.UCLVIncome.RemoveItem(key);
    panels.UCLVPayout.RemoveItem(key);
    panels.UCLVAsset.RemoveItem(key);
    panels.UCLVDebt.RemoveItem(key);
}

} // namespace zambrel::ledger
