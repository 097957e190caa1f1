// A year of a household's payments, 10,000 transactions, as an Alipay CSV
// (GB18030), a WeChat Pay XLSX and a bank CSV with decimal commas: reading,
// the preview (classification, 100 rules, half the rows imported before) and
// the plan over a year of existing items; and all of it written into a
// ledger as one step.
#include "bill_files.h"

#include "import/bill_preview.h"
#include "import/bill_reader.h"
#include "import/books/bill_import.h"
#include "import/transaction_identity.h"

#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zambrel::bills;
using namespace zambrel::bills::fixtures;

namespace {

constexpr int kTransactions = 10000;
constexpr int kCounterparties = 200;
constexpr int kRules = 100;

// The same bill every run.
struct Generated {
    quint32 state = 20240301;
    quint32 next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

struct BillRow {
    QString time;
    QString counterparty;
    QString description;
    QString amount;
    QString flow;
    QString status;
    QString number;
};

QString counterpartyName(int index)
{
    return QStringLiteral("商户%1号店").arg(index, 3, 10, QLatin1Char('0'));
}

std::vector<BillRow> billRows()
{
    Generated random;
    std::vector<BillRow> rows;
    rows.reserve(kTransactions);
    const QDate first(2024, 1, 1);
    for (int i = 0; i < kTransactions; ++i) {
        BillRow row;
        const QDate day = first.addDays(i * 366 / kTransactions);
        row.time = day.toString(Qt::ISODate) + QStringLiteral(" %1:%2:00")
                                                   .arg(random.next() % 24, 2, 10, QLatin1Char('0'))
                                                   .arg(random.next() % 60, 2, 10, QLatin1Char('0'));
        row.counterparty = counterpartyName(int(random.next() % kCounterparties));
        row.description = QStringLiteral("商品%1").arg(random.next() % 1000);
        row.amount = QString::number(double(random.next() % 50000 + 1) / 100, 'f', 2);
        const quint32 kind = random.next() % 100;
        row.flow = kind < 80   ? QStringLiteral("支出")
                   : kind < 95 ? QStringLiteral("收入")
                               : QStringLiteral("不计收支");
        row.status = kind % 30 == 0 ? QStringLiteral("交易关闭") : QStringLiteral("交易成功");
        row.number = QStringLiteral("2024%1").arg(i, 16, 10, QLatin1Char('0'));
        rows.push_back(row);
    }
    return rows;
}

QByteArray alipayCsv()
{
    QStringList lines{
        QStringLiteral("导出信息："), QStringLiteral("姓名：林小雨"),
        QStringLiteral("交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,"
                       "交易订单号,商家订单号,备注,")};
    for (const BillRow &row : billRows()) {
        lines.append(QStringList{row.time, QStringLiteral("日用百货"), row.counterparty,
                                 QStringLiteral("***"), row.description, row.flow, row.amount,
                                 QStringLiteral("余额宝"), row.status, row.number + u'\t', QString(),
                                 QString()}
                         .join(u','));
    }
    return gb18030(crlfLines(lines));
}

QByteArray weChatXlsx()
{
    std::vector<QStringList> rows;
    for (const QString &line : weChatHead())
        rows.push_back({line.section(u',', 0, 0)});
    rows.push_back(
        QStringLiteral(
            "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注")
            .split(u','));
    for (const BillRow &row : billRows()) {
        rows.push_back({row.time, QStringLiteral("商户消费"), row.counterparty, row.description,
                        row.flow == u"不计收支" ? QStringLiteral("/") : row.flow, u'¥' + row.amount,
                        QStringLiteral("零钱"),
                        row.status == u"交易关闭" ? QStringLiteral("已全额退款") : QStringLiteral("支付成功"),
                        u'W' + row.number, QStringLiteral("/"), QStringLiteral("/")});
    }
    return xlsxWorkbook(rows, 1 << 30);
}

QByteArray bankCsv()
{
    QStringList lines{QStringLiteral("Datum;Buchungstext;Empfänger;Betrag")};
    for (const BillRow &row : billRows()) {
        const QDate date = QDate::fromString(row.time.left(10), Qt::ISODate);
        QString amount = row.amount;
        amount.replace(u'.', u',');
        lines.append(QStringList{date.toString(QStringLiteral("dd.MM.yyyy")), row.description,
                                 row.counterparty,
                                 (row.flow == u"收入" ? QString() : QStringLiteral("-")) + amount}
                         .join(u';'));
    }
    return crlfLines(lines).toUtf8();
}

BankCsvMapping bankMapping()
{
    BankCsvMapping mapping;
    mapping.separator = u';';
    mapping.decimalComma = true;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.counterpartyColumn = 2;
    mapping.amountColumn = 3;
    return mapping;
}

std::vector<ImportRule> rules()
{
    std::vector<ImportRule> list;
    for (int i = 0; i < kRules; ++i) {
        // Every second counterparty has a rule; the rest stay unassigned.
        list.push_back({counterpartyName(i * 2),
                        RuleSide::Any,
                        std::nullopt,
                        std::nullopt,
                        {QStringLiteral("类型%1").arg(i % 12), QStringLiteral("项目%1").arg(i)}});
    }
    return list;
}

std::vector<ExistingItem> existingItems()
{
    std::vector<ExistingItem> items;
    for (int month = 1; month <= 12; ++month) {
        for (int i = 0; i < 40; ++i) {
            items.push_back({QStringLiteral("2024-%1").arg(month, 2, 10, QLatin1Char('0')),
                             QStringLiteral("类型%1").arg(i % 12), QStringLiteral("项目%1").arg(i),
                             month * 100 + i});
        }
    }
    return items;
}

QStringList existingTypes()
{
    QStringList types;
    for (int i = 0; i < 12; ++i)
        types.append(QStringLiteral("类型%1").arg(i));
    return types;
}

// Identities of every second transaction: an overlapping earlier import.
QSet<QString> importedBefore(const Bill &bill)
{
    const QStringList identities = transactionIdentities(bill.transactions);
    QSet<QString> imported;
    for (qsizetype i = 0; i < identities.size(); i += 2)
        imported.insert(identities[i]);
    return imported;
}

void checkRead(benchmark::State &state, const BillReadResult &read)
{
    if (!read.ok() || read.bill.transactions.size() != std::size_t(kTransactions) ||
        !read.bill.problems.empty())
        state.SkipWithError("the generated bill did not read whole");
}

void BM_ReadAlipayCsv(benchmark::State &state)
{
    const QByteArray bytes = alipayCsv();
    for (auto _ : state) {
        const BillReadResult read = readBill(bytes);
        checkRead(state, read);
        benchmark::DoNotOptimize(read.bill.transactions.data());
    }
    state.counters["file_kB"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_ReadAlipayCsv)->Unit(benchmark::kMillisecond);

void BM_ReadWeChatXlsx(benchmark::State &state)
{
    const QByteArray bytes = weChatXlsx();
    for (auto _ : state) {
        const BillReadResult read = readBill(bytes);
        checkRead(state, read);
        benchmark::DoNotOptimize(read.bill.transactions.data());
    }
    state.counters["file_kB"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_ReadWeChatXlsx)->Unit(benchmark::kMillisecond);

void BM_ReadBankCsv(benchmark::State &state)
{
    const QByteArray bytes = bankCsv();
    const BankCsvMapping mapping = bankMapping();
    for (auto _ : state) {
        const BillReadResult read = readBill(bytes, mapping);
        checkRead(state, read);
        benchmark::DoNotOptimize(read.bill.transactions.data());
    }
    state.counters["file_kB"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_ReadBankCsv)->Unit(benchmark::kMillisecond);

// The bank CSV read for a ledger that keeps the mappings of 1 or 3 sources:
// the file read, found to be no payment app's bill, and read through each
// mapping to find the one that reads it (the others read no row).
void BM_ReadBankCsvForLedger(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString statement = folder.filePath(QStringLiteral("bank.csv"));
    QFile file(statement);
    if (!file.open(QIODevice::WriteOnly) || file.write(bankCsv()) < 0) {
        state.SkipWithError("the statement could not be written");
        return;
    }
    file.close();
    const QString books = folder.filePath(QStringLiteral("books.mdb"));
    zambrel::store::createLedger(books);
    zambrel::store::Ledger ledger(books, {});
    ledger.saveBankMapping(QStringLiteral("bank"), mappingToJson(bankMapping()));
    BankCsvMapping other = bankMapping();
    other.separator = u',';
    for (int source = 1; source < state.range(0); ++source)
        ledger.saveBankMapping(QStringLiteral("other %1").arg(source), mappingToJson(other));
    for (auto _ : state) {
        const BillReadResult read = readBillFor(ledger, statement);
        checkRead(state, read);
        benchmark::DoNotOptimize(read.bill.transactions.data());
    }
}
BENCHMARK(BM_ReadBankCsvForLedger)->Arg(1)->Arg(3)->ArgName("sources")->Unit(benchmark::kMillisecond);

// Classification, identities, duplicates and 100 rules over 10,000 rows.
void BM_Preview(benchmark::State &state)
{
    const Bill bill = readBill(alipayCsv()).bill;
    const QSet<QString> imported = importedBefore(bill);
    const std::vector<ImportRule> ruleList = rules();
    for (auto _ : state) {
        const BillPreview preview(bill, ruleList, imported);
        benchmark::DoNotOptimize(preview.rows().data());
    }
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond);

void BM_RememberRule(benchmark::State &state)
{
    BillPreview preview(readBill(alipayCsv()).bill, rules(), {});
    for (auto _ : state) {
        preview.chooseItem(1, {QStringLiteral("餐饮"), QStringLiteral("外卖")});
        benchmark::DoNotOptimize(preview.rememberRule(1));
    }
}
BENCHMARK(BM_RememberRule)->Unit(benchmark::kMillisecond);

void BM_Plan(benchmark::State &state)
{
    const BillPreview preview(readBill(alipayCsv()).bill, rules(), {});
    const std::vector<ExistingItem> items = existingItems();
    const QStringList types = existingTypes();
    for (auto _ : state) {
        const ImportPlan plan = preview.plan(items, types);
        benchmark::DoNotOptimize(plan.lines.data());
    }
}
BENCHMARK(BM_Plan)->Unit(benchmark::kMillisecond);

// Into a ledger of a year of 40 items a month with the 100 rules stored:
// the identities looked up, the plan made against the months' items and
// written in one transaction as one step (types, items, 10,000 identities).
void BM_ImportIntoLedger(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString start = dir.filePath(QStringLiteral("start.mdb"));
    const QString books = dir.filePath(QStringLiteral("books.mdb"));
    zambrel::store::createLedger(start);
    {
        zambrel::store::Ledger ledger(start, {});
        ledger.setHistoryLimit(0);
        for (const ExistingItem &existing : existingItems()) {
            zambrel::store::Item item;
            item.type = existing.type;
            item.name = existing.name;
            ledger.addItem(existing.month, item);
        }
        ledger.replaceImportRules(recordsFromRules(rules()));
    }
    const Bill bill = readBill(alipayCsv()).bill;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(books);
        QFile::copy(start, books);
        auto ledger = std::make_unique<zambrel::store::Ledger>(books, QString());
        state.ResumeTiming();
        const BillPreview preview = previewFor(*ledger, bill);
        const ImportPlan plan = planFor(*ledger, preview);
        if (!applyPlan(*ledger, plan, QStringLiteral("alipay.csv")))
            state.SkipWithError("nothing was written");
        state.PauseTiming();
        ledger.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportIntoLedger)->Unit(benchmark::kMillisecond);

// What opening the preview costs: the file read, the rows previewed and the
// plan made, for each format.
void BM_ReadPreviewPlan(benchmark::State &state)
{
    const QByteArray bytes = state.range(0) == 0   ? alipayCsv()
                             : state.range(0) == 1 ? weChatXlsx()
                                                   : bankCsv();
    const std::optional<BankCsvMapping> mapping =
        state.range(0) == 2 ? std::optional<BankCsvMapping>(bankMapping()) : std::nullopt;
    const QSet<QString> imported = importedBefore(readBill(bytes, mapping).bill);
    const std::vector<ImportRule> ruleList = rules();
    const std::vector<ExistingItem> items = existingItems();
    const QStringList types = existingTypes();
    for (auto _ : state) {
        BillReadResult read = readBill(bytes, mapping);
        checkRead(state, read);
        const BillPreview preview(std::move(read.bill), ruleList, imported);
        const ImportPlan plan = preview.plan(items, types);
        benchmark::DoNotOptimize(plan.lines.data());
    }
}
BENCHMARK(BM_ReadPreviewPlan)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("alipay0_wechat1_bank2")
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
