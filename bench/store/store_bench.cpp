// The ledger API on generated encrypted ledgers of 24,000, 120,000 and
// 600,000 items (10 years of 200 items a month, 20 of 500, 50 of 1,000):
// what the month view, the month lists, the trend graph and a backup read;
// and the key derivation every opening starts with.
// `store_bench --plans` prints the engine's query plans instead of timing.
#include "bench_ledger.h"
#include "store/connection.h"
#include "store/key_derivation.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/ledger_statements.h"
#include "store/statement.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

using namespace zambrel::store;

namespace {

const QString kPassword = QStringLiteral("bench password");

struct Size {
    int months;
    int itemsPerMonth;
};
const Size kSizes[] = {{120, 200}, {240, 500}, {600, 1000}};

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

/// The ledger of size `index`, written on first use and kept open.
Ledger &ledger(int index)
{
    static std::map<int, std::unique_ptr<Ledger>> open;
    std::unique_ptr<Ledger> &books = open[index];
    if (!books) {
        const QString path = folder().filePath(QStringLiteral("bench%1.mdb").arg(index));
        createLedger(path, kPassword);
        writeBenchItems(path, kPassword, kSizes[index].months, kSizes[index].itemsPerMonth);
        books = std::make_unique<Ledger>(path, kPassword);
    }
    return *books;
}

void withSizes(benchmark::internal::Benchmark *benchmark)
{
    for (int index = 0; index < int(std::size(kSizes)); ++index)
        benchmark->Arg(index);
    benchmark->Unit(benchmark::kMillisecond);
}

void BM_OpenWithPassword(benchmark::State &state)
{
    const QString path = ledger(0).path();
    const QString copy = folder().filePath(QStringLiteral("open.mdb"));
    QFile::remove(copy);
    QFile::copy(path, copy);
    for (auto _ : state)
        Ledger opened(copy, kPassword);
}
BENCHMARK(BM_OpenWithPassword)->Unit(benchmark::kMillisecond);

// The ledger key from its password: the store's own derivation, and the
// crypto library's general routine the engine would use.
void BM_LedgerKey(benchmark::State &state)
{
    const QByteArray salt(kLedgerSaltBytes, '\x5a');
    for (auto _ : state) {
        QByteArray raw = rawLedgerKey(kPassword.toUtf8(), salt);
        wipe(raw);
    }
}
BENCHMARK(BM_LedgerKey)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same key on a thread that has just hashed a string, as the program's
// threads all have: Qt's string hash leaves the AVX registers' upper halves
// in use, which slows every SSE instruction after it on recent Intel
// processors.
void BM_LedgerKeyAfterAStringHash(benchmark::State &state)
{
    const QByteArray salt(kLedgerSaltBytes, '\x5a');
    const QString text = QStringLiteral("monthitems");
    for (auto _ : state) {
        benchmark::DoNotOptimize(qHash(text, QHashSeed::globalSeed()));
        QByteArray raw = rawLedgerKey(kPassword.toUtf8(), salt);
        wipe(raw);
    }
}
BENCHMARK(BM_LedgerKeyAfterAStringHash)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LedgerKeyByTheCryptoLibrary(benchmark::State &state)
{
    const QByteArray password = kPassword.toUtf8();
    const QByteArray salt(kLedgerSaltBytes, '\x5a');
    unsigned char key[kLedgerKeyBytes];
    for (auto _ : state)
        PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()), kLedgerSaltBytes,
                          kLedgerKeyRounds, EVP_sha1(), kLedgerKeyBytes, key);
}
BENCHMARK(BM_LedgerKeyByTheCryptoLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MonthItems(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    const QString month = books.latestMonth();
    for (auto _ : state)
        benchmark::DoNotOptimize(books.monthItems(month).size());
}
BENCHMARK(BM_MonthItems)->Apply(withSizes);

void BM_AssetTotal(benchmark::State &state)
{
    Ledger &books = ledger(0);
    const QString month = books.latestMonth();
    for (auto _ : state)
        benchmark::DoNotOptimize(books.assetTotal(month));
}
BENCHMARK(BM_AssetTotal)->Unit(benchmark::kMillisecond);

void BM_NewestMonths(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(books.newestMonths().size());
}
BENCHMARK(BM_NewestMonths)->Apply(withSizes);

void BM_AllMonths(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(books.allMonthsTable().rows.size());
}
BENCHMARK(BM_AllMonths)->Apply(withSizes);

void BM_LatestMonth(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(books.latestMonth().size());
}
BENCHMARK(BM_LatestMonth)->Apply(withSizes);

void BM_FourTrendSeries(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    for (auto _ : state) {
        for (Category category :
             {Category::Income, Category::Expenditure, Category::Assets, Category::Liabilities})
            benchmark::DoNotOptimize(books.trendSeries(category).size());
    }
}
BENCHMARK(BM_FourTrendSeries)->Apply(withSizes);

void BM_Backup(benchmark::State &state)
{
    Ledger &books = ledger(int(state.range(0)));
    const QString target = folder().filePath(QStringLiteral("backup.mdb"));
    for (auto _ : state)
        books.backupTo(target);
    QFile::remove(target);
}
BENCHMARK(BM_Backup)->Apply(withSizes);

void printPlans()
{
    const QString path = folder().filePath(QStringLiteral("plans.mdb"));
    createLedger(path, kPassword);
    writeBenchItems(path, kPassword, kSizes[0].months, kSizes[0].itemsPerMonth);
    const Connection connection(path, kPassword, Access::ReadOnly);
    for (LedgerStatement statement :
         {LedgerStatement::MonthItems, LedgerStatement::AssetTotal, LedgerStatement::NewestMonths,
          LedgerStatement::AllMonths, LedgerStatement::LatestMonth, LedgerStatement::TwentyFourthMonth,
          trendSince(Category::Expenditure), trendOverAll(Category::Expenditure)}) {
        const QByteArray sql = statementText(statement);
        std::printf("%s\n", sql.constData());
        Statement plan(connection, QByteArray("EXPLAIN QUERY PLAN " + sql).constData());
        while (plan.step())
            std::printf("    %s\n", plan.text(3).toUtf8().constData());
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
