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

namespace zambrel::ledger {

namespace {

const QString kSalaryType = QStringLiteral("工资");

} // namespace

LedgerItem itemFromRecord(const store::RecordSet &records)
{
    LedgerItem item;
    item.types = records.value(QStringLiteral("types")).toString();
    item.name = records.value(QStringLiteral("name")).toString();
    item.InComePerMonth = records.value(QStringLiteral("InComePerMonth")).toDouble();
    item.PayPerMonth = records.value(QStringLiteral("PayPerMonth")).toDouble();
    item.willPayPerMonth = records.value(QStringLiteral("willPayPerMonth")).toDouble();
    item.FirstPay = records.value(QStringLiteral("FirstPay")).toDouble();
    item.TotalCost = records.value(QStringLiteral("TotalCost")).toDouble();
    item.Debet = records.value(QStringLiteral("Debet")).toDouble();
    item.DebetPerMonth = records.value(QStringLiteral("DebetPerMonth")).toDouble();
    item.code = static_cast<qint32>(records.value(QStringLiteral("code")).toLongLong());
    return item; // the memo is left empty, as the panels are loaded
}

MonthView::MonthView(MonthViewHost *host) : m_host(host ? host : &m_noHost) {}

MonthView::~MonthView() = default;

void MonthView::RefreshMe()
{
    try {
        initUcLV();
        initRS();
        showAdvise();
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbOKOnly, {});
    } catch (const std::exception &error) {
        store::showMessage(QString::fromUtf8(error.what()), store::vbOKOnly, {});
    }
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, true);
    m_host->setWindowCaption(store::productName());
}

void MonthView::initUcLV()
{
    m_host->setToolbarButtonEnabled(ToolbarButton::Update, false);
    m_host->setToolbarButtonEnabled(ToolbarButton::Delete, false);
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, false);
    ledger::initUcLV(m_panels);
}

void MonthView::initRS()
{
    m_salary = 0;
    m_month.reset();
    if (!m_types || m_types->state() != store::adStateOpen)
        m_types = store::OpenRS(QStringLiteral("select * from AssetType order by types"));

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

    openAsset();
    for (m_month->moveFirst(); !m_month->eof(); m_month->moveNext()) {
        const LedgerItem item = itemFromRecord(*m_month);
        ledger::showItem(m_panels, store::typeKind(item.types, m_types.get()), item);
        if (item.types == kSalaryType)
            m_salary += item.InComePerMonth;
    }
    m_host->setToolbarButtonEnabled(ToolbarButton::Refresh, true);
}

void MonthView::openAsset()
{
    if (m_currentMonth.isEmpty()) {
        initMonth();
        m_currentMonth = genMonths(store::today());
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

double MonthView::checkSalery(store::RecordSet *records)
{
    if (!records || records->recordCount() == 0)
        return 0;
    double sum = 0;
    PanelsBatch batch(m_panels);
    for (records->moveFirst(); !records->eof(); records->moveNext()) {
        const LedgerItem item = itemFromRecord(*records);
        ledger::showItem(m_panels, store::typeKind(item.types, m_types.get()), item);
        if (item.types == kSalaryType)
            sum += item.InComePerMonth;
    }
    return sum;
}

Assessment MonthView::showAdvise()
{
    AssessmentFigures figures;
    figures.salary = checkSalery(m_month.get());
    m_salary = figures.salary;
    figures.income = m_panels.UCLVIncome.Total();
    figures.expenditure = m_panels.UCLVPayout.Total();
    figures.assets = m_panels.UCLVAsset.Total();
    figures.debts = m_panels.UCLVDebt.Total();

    const QString previous = getLastMonth(m_currentMonth);
    if (previous != m_previousMonth) {
        m_previousMonth = previous;
        m_previousAssets = AssetTotal(previous);
    }
    figures.previousAssets = m_previousAssets;

    Assessment verdict = assessMonth(figures);
    store::ShowStatus(verdict.statusLine);
    m_host->setAdvice(verdict.advice);
    return verdict;
}

} // namespace zambrel::ledger
