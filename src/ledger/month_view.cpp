#include "ledger/month_view.h"

#include "ledger/ledger_queries.h"
#include "ledger/month_keys.h"
#include "store/clock.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/db_routines.h"
#include "store/message.h"
#include "store/mod_db.h"
#include "store/record_set.h"

#include <QSet>

#include <array>

namespace zambrel::ledger {

namespace {

const QString kSalaryType = QStringLiteral("工资");

// Where the item fields sit in a month record set, found once per record set
// rather than by name on every row. A missing field is still asked for by
// name, so that it fails as it always did.
class ItemColumns {
public:
    explicit ItemColumns(const store::RecordSet &records)
    {
        for (std::size_t field = 0; field < kNames.size(); ++field)
            m_index[field] = records.fieldIndex(QString::fromLatin1(kNames[field]));
    }

    LedgerItem read(const store::RecordSet &records) const
    {
        LedgerItem item;
        item.types = value(records, Types).toString();
        item.name = value(records, Name).toString();
        item.InComePerMonth = value(records, InComePerMonth).toDouble();
        item.PayPerMonth = value(records, PayPerMonth).toDouble();
        item.willPayPerMonth = value(records, WillPayPerMonth).toDouble();
        item.FirstPay = value(records, FirstPay).toDouble();
        item.TotalCost = value(records, TotalCost).toDouble();
        item.Debet = value(records, Debet).toDouble();
        item.DebetPerMonth = value(records, DebetPerMonth).toDouble();
        item.code = static_cast<qint32>(value(records, Code).toLongLong());
        return item; // the memo is left empty, as the panels are loaded
    }

private:
    enum Field {
        Types,
        Name,
        InComePerMonth,
        PayPerMonth,
        WillPayPerMonth,
        FirstPay,
        TotalCost,
        Debet,
        DebetPerMonth,
        Code
    };
    static constexpr std::array<const char *, 10> kNames = {
        "types",    "name",      "InComePerMonth", "PayPerMonth",   "willPayPerMonth",
        "FirstPay", "TotalCost", "Debet",          "DebetPerMonth", "code"};

    QVariant value(const store::RecordSet &records, Field field) const
    {
        const int index = m_index[field];
        return index >= 0 ? records.value(index) : records.value(QString::fromLatin1(kNames[field]));
    }

    std::array<int, kNames.size()> m_index{};
};

} // namespace

LedgerItem itemFromRecord(const store::RecordSet &records)
{
    return ItemColumns(records).read(records);
}

MonthView::MonthView(MonthViewHost *host) : m_host(host ? host : &m_noHost) {}

MonthView::~MonthView() = default;

void MonthView::refresh()
{
    try {
        bool placedOnce = false;
        {
            // Emptied and filled as one change: a list then rewrites the rows
            // it already shows instead of dropping and recreating them all.
            PanelsBatch batch(m_panels);
            resetPanels();
            placedOnce = loadMonth();
        }
        // The assessment places the month again; right after loading, that
        // mostly changes nothing but the memos.
        if (placedOnce && placingAgainChangesNothing()) {
            emptyMemosAsPlacingAgainWould();
            adviseOn(m_salary);
        } else {
            adviseOn(placeItemsAndSumSalary(m_month.get()));
        }
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbOKOnly, {});
    } catch (const std::exception &error) {
        store::showMessage(QString::fromUtf8(error.what()), store::vbOKOnly, {});
    }
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, true);
    m_host->setWindowCaption(store::productName());
}

void MonthView::resetPanels()
{
    m_host->setToolbarButtonEnabled(ToolbarButton::Update, false);
    m_host->setToolbarButtonEnabled(ToolbarButton::Delete, false);
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, false);
    ledger::resetPanels(m_panels);
}

bool MonthView::loadMonth()
{
    m_salary = 0;
    m_month.reset();
    if (!m_types || m_types->state() != store::adStateOpen)
        m_types = store::OpenRS(QStringLiteral("select * from AssetType order by types"));

    bool placedOnce = false;
    {
        PanelsBatch batch(m_panels);
        QStringList typeNames;
        if (m_types) {
            for (m_types->moveFirst(); !m_types->eof(); m_types->moveNext()) {
                const QString types = m_types->value(QStringLiteral("types")).toString();
                typeNames.append(types);
                addGroupRows(m_panels, m_types->value(QStringLiteral("kind")).toString(), types);
            }
        }
        m_host->setTypeList(typeNames);

        openMonth();
        placedOnce = placeItems(*m_month, m_salary);
    }
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, true);
    return placedOnce;
}

bool MonthView::placeItems(store::RecordSet &records, double &salary)
{
    const ItemColumns columns(records);
    const QHash<QString, QString> kinds = store::typeKinds(m_types.get());
    QSet<qint32> codes;
    bool distinctCodes = true;
    for (records.moveFirst(); !records.eof(); records.moveNext()) {
        const LedgerItem item = columns.read(records);
        ledger::placeItem(m_panels, kinds.value(item.types), item);
        if (item.types == kSalaryType)
            salary += item.InComePerMonth;
        if (distinctCodes) {
            const qsizetype before = codes.size();
            codes.insert(item.code);
            distinctCodes = item.code > 0 && codes.size() > before;
        }
    }
    return distinctCodes;
}

bool MonthView::placingAgainChangesNothing() const
{
    // With every item keyed by its own code, placing again updates each item
    // row in place with what it shows, and the batch writes the shares for
    // the same total. Only a total of 0 keeps shares written on the way,
    // which placing again would overwrite.
    for (const panel::CategoryRows *rows :
         {&m_panels.income, &m_panels.expenditure, &m_panels.assets, &m_panels.liabilities}) {
        if (rows->keyedRowCount() > 0 && rows->lastTotal() == 0)
            return false;
    }
    return true;
}

void MonthView::emptyMemosAsPlacingAgainWould()
{
    for (panel::CategoryRows *rows :
         {&m_panels.income, &m_panels.expenditure, &m_panels.assets, &m_panels.liabilities}) {
        if (rows->keyedRowCount() > 0)
            rows->setMemo({});
    }
}

void MonthView::openMonth()
{
    if (m_currentMonth.isEmpty()) {
        carryForward();
        m_currentMonth = monthKeyOf(store::today());
        m_host->setRefreshCaption(m_currentMonth);
    }
    m_month.reset();
    m_month =
        readRows(QStringLiteral("select code,types,[name],[memo],incomepermonth,paypermonth,Willpaypermonth,"
                                "FirstPay,TotalCost,Debet,DebetPerMonth from Asset ") +
                 QStringLiteral(" where months='") + store::sqlText(m_currentMonth) + QStringLiteral("'"));
}

void MonthView::removeItem(const QString &key)
{
    ledger::removeItem(m_panels, key);
    m_host->setToolbarButtonEnabled(ToolbarButton::Update, false);
    m_host->setToolbarButtonEnabled(ToolbarButton::Delete, false);
}

double MonthView::placeItemsAndSumSalary(store::RecordSet *records)
{
    if (!records || records->recordCount() == 0)
        return 0;
    double sum = 0;
    PanelsBatch batch(m_panels);
    placeItems(*records, sum);
    return sum;
}

Assessment MonthView::assess()
{
    return adviseOn(placeItemsAndSumSalary(m_month.get()));
}

Assessment MonthView::adviseOn(double salary)
{
    AssessmentFigures figures;
    figures.salary = salary;
    m_salary = figures.salary;
    figures.income = m_panels.income.total();
    figures.expenditure = m_panels.expenditure.total();
    figures.assets = m_panels.assets.total();
    figures.debts = m_panels.liabilities.total();

    const QString previous = previousMonthKey(m_currentMonth);
    if (previous != m_previousMonth) {
        m_previousMonth = previous;
        m_previousAssets = AssetTotal(previous);
    }
    figures.previousAssets = m_previousAssets;

    Assessment verdict = assessMonth(figures);
    store::showStatus(verdict.statusLine);
    m_host->setAdvice(verdict.advice);
    return verdict;
}

} // namespace zambrel::ledger
