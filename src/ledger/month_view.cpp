#include "ledger/month_view.h"

#include "base/clock.h"
#include "base/message.h"
#include "base/month_keys.h"
#include "base/scope_guard.h"
#include "base/status_line.h"
#include "store/ledger.h"

#include <QSet>

namespace zambrel::ledger {
namespace {

const QString kSalaryType = QStringLiteral("工资");

} // namespace

MonthView::MonthView(store::Ledger &ledger, MonthViewHost *host)
    : m_ledger(&ledger), m_host(host ? host : &m_noHost)
{
}

MonthView::MonthView(MonthViewHost *host) : m_host(host ? host : &m_noHost) {}

MonthView::~MonthView() = default;

void MonthView::readTypes()
{
    // Read once per window; types added later join the list at its end.
    if (m_typesRead)
        return;
    m_types = m_ledger->itemTypes();
    m_kinds = typeKinds(m_types);
    m_typesRead = true;
}

void MonthView::booksReplaced()
{
    m_typesRead = false;
    m_types.clear();
    m_kinds.clear();
    m_previousMonth.clear();
    m_previousAssets = 0;
}

void MonthView::addType(const store::ItemType &type)
{
    m_types.push_back(type);
    if (!m_kinds.contains(type.name))
        m_kinds.insert(type.name, type.kind);
}

const store::Item *MonthView::item(qint64 code) const
{
    for (const store::Item &candidate : m_items) {
        if (candidate.code == code)
            return &candidate;
    }
    return nullptr;
}

Assessment MonthView::reload()
{
    const base::ScopeGuard settle([this] {
        m_host->setRefreshEnabled(true);
        m_host->setWindowCaption(base::productName());
    });
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
    if (placedOnce && placingAgainChangesNothing())
        emptyMemosAsPlacingAgainWould();
    else
        placeItemsAgain();
    return adviseOn(summary());
}

void MonthView::resetPanels()
{
    m_host->setItemSelected(false);
    m_host->setRefreshEnabled(false);
    ledger::resetPanels(m_panels);
}

bool MonthView::loadMonth()
{
    m_salary = 0;
    m_items.clear();
    readTypes();

    bool placedOnce = false;
    {
        PanelsBatch batch(m_panels);
        m_typeNames.clear();
        m_typeNames.reserve(qsizetype(m_types.size()));
        for (const store::ItemType &type : m_types) {
            m_typeNames.append(type.name);
            addGroupRows(m_panels, type.kind, type.name);
        }

        openMonth();
        placedOnce = placeItems(&m_salary);
    }
    m_host->setRefreshEnabled(true);
    return placedOnce;
}

bool MonthView::placeItems(double *salary)
{
    QSet<qint64> codes;
    bool distinctCodes = true;
    for (const store::Item &each : m_items) {
        // A loaded month shows no memos; a click shows the item's own.
        ledger::placeItem(m_panels, m_kinds.value(each.type), each, QString());
        if (salary && each.type == kSalaryType)
            *salary += each.income;
        if (distinctCodes) {
            const qsizetype before = codes.size();
            codes.insert(each.code);
            distinctCodes = each.code > 0 && codes.size() > before;
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
        m_currentMonth = base::monthKeyOf(base::today());
        m_host->setRefreshCaption(m_currentMonth);
    }
    m_items.clear();
    m_items = m_ledger->monthItems(m_currentMonth);
}

void MonthView::removeItem(const QString &key)
{
    ledger::removeItem(m_panels, key);
    m_host->setItemSelected(false);
}

void MonthView::placeItemsAgain()
{
    if (m_items.empty())
        return;
    PanelsBatch batch(m_panels);
    placeItems();
}

Assessment MonthView::assess()
{
    placeItemsAgain();
    return adviseOn(summary());
}

Assessment MonthView::adviseOn(const MonthSummary &summary)
{
    // The panels bring their totals and shares up to date for what they show.
    m_panels.updateTotals();
    AssessmentFigures figures;
    figures.salary = summary.salary;
    m_salary = figures.salary;
    figures.income = summary.income;
    figures.expenditure = summary.expenditure;
    figures.assets = summary.assets;
    figures.debts = summary.liabilities;
    figures.unreadableAmounts = summary.unreadableAmounts;

    const QString previous = base::previousMonthKey(m_currentMonth);
    if (previous != m_previousMonth) {
        m_previousAssets = m_ledger->assetTotal(previous);
        m_previousMonth = previous;
    }
    figures.previousAssets = m_previousAssets;

    Assessment verdict = assessMonth(figures);
    m_host->showStatus(m_statusNotice.isEmpty() ? verdict.statusLine
                                                : m_statusNotice + QStringLiteral("  ") + verdict.statusLine);
    m_statusNotice.clear();
    m_host->setAdvice(verdict.advice);
    return verdict;
}

} // namespace zambrel::ledger
