// Loading a month of 2,000 items into the four category models, beside a
// straightforward model that rescans every row and rewrites every share after
// each row (the behaviour the models must reproduce, at quadratic cost).
#include "base/number_format.h"
#include "ledger/month_panels.h"

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

namespace {

using namespace zambrel;

struct TypeDef {
    QString name;
    QString kind;
};

const std::vector<TypeDef> &types()
{
    static const std::vector<TypeDef> list = [] {
        std::vector<TypeDef> out;
        const char *kinds[] = {"1000", "0100", "0010", "0011", "0001", "0101"};
        for (int i = 0; i < 24; ++i)
            out.push_back({QStringLiteral("类型%1").arg(i), QString::fromLatin1(kinds[i % 6])});
        return out;
    }();
    return list;
}

std::vector<store::Item> monthItems(int count)
{
    std::vector<store::Item> items;
    for (int i = 0; i < count; ++i) {
        store::Item item;
        item.type = types()[static_cast<std::size_t>(i * 7 % 24)].name;
        item.name = QStringLiteral("项目%1").arg(i);
        item.income = 100 + i % 37;
        item.actualSpending = 50 + i % 11;
        item.plannedSpending = 60 + i % 13;
        item.downPayment = 1000 + i;
        item.totalCost = 5000 + 3 * i;
        item.loanTotal = i % 3 ? 20000 + i : 0;
        item.monthlyRepayment = i % 5 ? 0 : 800;
        item.code = i + 1;
        items.push_back(item);
    }
    return items;
}

// The straightforward panel: every call scans all rows, then recomputes the
// total and every share.
class RescanningPanel {
public:
    explicit RescanningPanel(int columns) : m_columns(columns) {}

    void putItem(const QString &name, double amount, const QString &tag, double amount1 = 0, int code = 0)
    {
        const QString key = QStringLiteral("K") + QString::number(code);
        int position = -1;
        int existing = -1;
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            if (m_rows[static_cast<std::size_t>(i)].tag == tag) {
                position = i + 1;
                if (m_rows[static_cast<std::size_t>(i)].key == key) {
                    existing = i;
                    break;
                }
            }
        }
        if (existing >= 0) {
            Row &row = m_rows[static_cast<std::size_t>(existing)];
            row.cells[1] = name;
            row.cells[2] = base::numberToText(amount);
            if (m_columns > 3)
                row.cells[3] = base::numberToText(amount1);
        } else if (tag.isEmpty()) {
            Row row;
            row.cells[0] = name;
            row.tag = name;
            if (amount > 0)
                row.cells[2] = base::numberToText(amount);
            m_rows.push_back(row);
            position = static_cast<int>(m_rows.size()) - 1;
        } else if (position >= 0) {
            Row row;
            row.tag = tag;
            row.cells[1] = name;
            row.cells[2] = base::numberToText(amount);
            row.hasSubItems = true;
            if (m_columns > 3)
                row.cells[3] = base::numberToText(amount1);
            m_rows.insert(m_rows.begin() + position, row);
        }
        const double total = recompute();
        if (existing < 0 && position >= 0 && code > 0) {
            bool used = false;
            for (const Row &row : m_rows)
                used = used || row.key == key;
            if (!used)
                m_rows[static_cast<std::size_t>(position)].key = key;
        }
        benchmark::DoNotOptimize(total);
    }

    double recompute()
    {
        const int amountColumn = m_columns == 4 ? 2 : 3;
        const int shareColumn = m_columns == 4 ? 3 : 4;
        double total = 0;
        for (const Row &row : m_rows)
            total += base::toNumber(row.cells[static_cast<std::size_t>(amountColumn)]);
        if (total != 0) {
            for (Row &row : m_rows) {
                if (!row.hasSubItems)
                    continue;
                const double amount = base::toNumber(row.cells[static_cast<std::size_t>(amountColumn)]);
                row.cells[static_cast<std::size_t>(shareColumn)] =
                    amount <= 0 ? QString() : base::formatPicture(amount / total * 100, u"0.0") + u'%';
                row.bold = amount / total > 0.15;
            }
        }
        m_totalText = QStringLiteral("合计Total：") + base::formatPicture(total, u"#,##0.00");
        return total;
    }

private:
    struct Row {
        std::array<QString, 5> cells;
        QString tag;
        QString key;
        bool bold = false;
        bool hasSubItems = false;
    };
    int m_columns;
    std::vector<Row> m_rows;
    QString m_totalText;
};

void BM_MonthLoad_Models(benchmark::State &state)
{
    const auto items = monthItems(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ledger::MonthPanels panels;
        ledger::resetPanels(panels);
        ledger::PanelsBatch batch(panels);
        for (const TypeDef &type : types())
            ledger::addGroupRows(panels, type.kind, type.name);
        for (const auto &item : items)
            ledger::placeItem(panels, types()[static_cast<std::size_t>((item.code - 1) * 7 % 24)].kind, item);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MonthLoad_Models)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_MonthLoad_Rescanning(benchmark::State &state)
{
    const auto items = monthItems(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RescanningPanel income(4), payout(5), asset(5), debt(4);
        for (const TypeDef &type : types()) {
            if (type.kind[0] == u'1')
                income.putItem(type.name + QStringLiteral("收入"), 0, {});
            if (type.kind[1] == u'1')
                payout.putItem(type.name + QStringLiteral("支出"), 0, {});
            if (type.kind[2] == u'1')
                asset.putItem(type.name + QStringLiteral("资产"), 0, {});
            if (type.kind[3] == u'1')
                debt.putItem(type.name + QStringLiteral("贷款"), 0, {});
        }
        for (const auto &item : items) {
            const QString kind = types()[static_cast<std::size_t>((item.code - 1) * 7 % 24)].kind;
            if (kind[0] == u'1')
                income.putItem(item.name, item.income, item.type + QStringLiteral("收入"), 0, item.code);
            if (kind[1] == u'1') {
                payout.putItem(item.name, item.plannedSpending, item.type + QStringLiteral("支出"),
                               item.actualSpending, item.code);
                if (item.monthlyRepayment > 0)
                    payout.putItem(item.name + QStringLiteral("还贷"), item.monthlyRepayment,
                                   item.type + QStringLiteral("支出"), item.actualSpending, item.code);
                if (item.loanTotal > 0)
                    debt.putItem(item.name, item.loanTotal, item.type + QStringLiteral("贷款"), 0, item.code);
            }
            if (kind[2] == u'1')
                asset.putItem(item.name, item.downPayment, item.type + QStringLiteral("资产"), item.totalCost,
                              item.code);
            if (kind[3] == u'1' && item.loanTotal > 0)
                debt.putItem(item.name, item.loanTotal, item.type + QStringLiteral("贷款"), 0, item.code);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MonthLoad_Rescanning)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
