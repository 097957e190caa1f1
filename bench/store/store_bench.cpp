// Reads of the month view, trend graph and month menu on an encrypted ledger
// of 10 years x 200 items a month. `store_bench --plans` prints the engine's
// query plans instead of timing.
#include "bench_ledger.h"
#include "store/connection.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace zambrel::store;

namespace {

const QString kPassword = QStringLiteral("bench password");

const QString kCategoryClause = QStringLiteral(" FROM [Asset]  WHERE ([Types] IN ( select AssetType.[types] "
                                               "from  [AssetType] WHERE AssetType.[KIND] LIKE '");

QString trendQuery(const char *amount, const char *pattern)
{
    return QStringLiteral("SELECT top 24 months,SUM([%1]) AS T  ").arg(QLatin1String(amount)) +
           kCategoryClause + QLatin1String(pattern) + QStringLiteral("') )") +
           QStringLiteral(" group by months order by months DESC");
}

const QString kMonthItems =
    QStringLiteral("select code,types,[name],[memo],incomepermonth,paypermonth,Willpaypermonth,"
                   "FirstPay,TotalCost,Debet,DebetPerMonth from Asset  where months='2030-06'");
const QString kMonthList = QStringLiteral("SELECT distinct top 24  months from asset order by months desc;");
const QString kAssetTotal = QStringLiteral("SELECT SUM([TotalCost]) AS T  ") + kCategoryClause +
                            QStringLiteral("[0-1][0-1]1[0-1]') )  AND  [Asset].[months]='2030-06'");

struct BenchLedger {
    BenchLedger()
    {
        path = dir.filePath(QStringLiteral("bench.mdb"));
        createLedger(path, kPassword);
        connectionString = ledgerConnectionString(path, kPassword);
        writeBenchItems(connectionString, 120, 200);
    }

    QTemporaryDir dir;
    QString path;
    QString connectionString;
};

BenchLedger &ledger()
{
    static BenchLedger instance;
    return instance;
}

Connection &openConnection()
{
    static Connection connection;
    if (connection.state() != adStateOpen)
        connection.open(ledger().connectionString);
    return connection;
}

void readAll(const QString &sql, benchmark::State &state)
{
    Connection &connection = openConnection();
    for (auto _ : state) {
        auto rows = connection.execute(sql);
        benchmark::DoNotOptimize(rows->recordCount());
    }
}

void BM_OpenWithPassword(benchmark::State &state)
{
    const QString text = ledger().connectionString;
    openConnection().close();
    for (auto _ : state) {
        Connection connection;
        connection.open(text);
    }
}
BENCHMARK(BM_OpenWithPassword)->Unit(benchmark::kMillisecond);

void BM_ReadMonth(benchmark::State &state)
{
    readAll(kMonthItems, state);
}
BENCHMARK(BM_ReadMonth)->Unit(benchmark::kMillisecond);

void BM_AssetTotal(benchmark::State &state)
{
    readAll(kAssetTotal, state);
}
BENCHMARK(BM_AssetTotal)->Unit(benchmark::kMillisecond);

void BM_MonthList(benchmark::State &state)
{
    readAll(kMonthList, state);
}
BENCHMARK(BM_MonthList)->Unit(benchmark::kMillisecond);

void BM_TrendIncome(benchmark::State &state)
{
    readAll(trendQuery("incomePermonth", "1[0-1][0-1][0-1]"), state);
}
BENCHMARK(BM_TrendIncome)->Unit(benchmark::kMillisecond);
void BM_TrendExpenditure(benchmark::State &state)
{
    readAll(trendQuery("payPermonth", "[0-1]1[0-1][0-1]"), state);
}
BENCHMARK(BM_TrendExpenditure)->Unit(benchmark::kMillisecond);
void BM_TrendAssets(benchmark::State &state)
{
    readAll(trendQuery("TotalCost", "[0-1][0-1]1[0-1]"), state);
}
BENCHMARK(BM_TrendAssets)->Unit(benchmark::kMillisecond);
void BM_TrendLiabilities(benchmark::State &state)
{
    readAll(trendQuery("Debet", "[0-1][0-1][0-1]1"), state);
}
BENCHMARK(BM_TrendLiabilities)->Unit(benchmark::kMillisecond);

void printPlans()
{
    Connection &connection = openConnection();
    const QString statements[] = {kMonthItems, kAssetTotal, kMonthList,
                                  trendQuery("TotalCost", "[0-1][0-1]1[0-1]")};
    for (const QString &sql : statements) {
        std::printf("%s\n", sql.toUtf8().constData());
        auto plan = connection.execute(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        for (; !plan->eof(); plan->moveNext())
            std::printf("    %s\n", plan->value(QStringLiteral("detail")).toString().toUtf8().constData());
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--plans") == 0) {
        printPlans();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
