#include "journal_book.h"

#include "base/clock.h"
#include "base/scope_guard.h"
#include "base/text.h"
#include "host/error_report.h"
#include "store/ledger.h"

#include <QDate>

namespace zambrel::journal {
namespace {

constexpr int kYearLength = 4;
constexpr int kMonthLength = 7;
constexpr int kDayLength = 10;

PageTexts shownTexts(const store::JournalPage &page)
{
    PageTexts texts;
    for (std::size_t field = 0; field < texts.size(); ++field)
        texts[field] = base::shownLines(page.fields[field]);
    return texts;
}

store::JournalPage ledgerPage(const QString &date, const PageTexts &texts)
{
    store::JournalPage page;
    page.date = date;
    for (std::size_t field = 0; field < texts.size(); ++field)
        page.fields[field] = base::storedLines(texts[field]);
    return page;
}

// The boxes filed under a date whose stored page they were not read from:
// what that page holds stays, with the boxes' texts after it.
PageTexts keepingStored(const PageTexts &boxes, const PageTexts &stored)
{
    PageTexts merged = boxes;
    for (std::size_t field = 0; field < merged.size(); ++field) {
        const QString &kept = stored[field];
        if (kept.isEmpty() || merged[field] == kept)
            continue;
        merged[field] = merged[field].isEmpty() ? kept : kept + u'\n' + merged[field];
    }
    return merged;
}

QString yearText(int year)
{
    return QStringLiteral("%1").arg(year, kYearLength, 10, QLatin1Char('0'));
}

} // namespace

JournalBook::JournalBook(store::Ledger &ledger, QObject *parent) : QObject(parent), m_ledger(ledger) {}

JournalBook::~JournalBook() = default;

QString JournalBook::text(int field) const
{
    return field >= 0 && field < kFieldCount ? m_texts[std::size_t(field)] : QString();
}

void JournalBook::setText(int field, const QString &text)
{
    if (field >= 0 && field < kFieldCount)
        m_texts[std::size_t(field)] = text;
}

void JournalBook::load()
{
    m_tree.clear();
    m_selectedKey.clear();
    Q_EMIT treeCleared();
    // The page is empty afterwards whether the years could be read or not.
    const base::ScopeGuard emptyPage([this] {
        m_currentDate.clear();
        m_readDate.clear();
        m_texts = {};
        m_saved = {};
        Q_EMIT pageChanged();
    });
    for (const int year : m_ledger.journalYears())
        addNode(nodeKey(yearText(year)), yearText(year), {});
    if (m_tree.isEmpty())
        newDay();
}

bool JournalBook::clickOpensPage(const QString &key) const
{
    const JournalNode *node = m_tree.node(key);
    if (!node)
        return false;
    const NodeLevel level = levelOfKey(key);
    return !((level == NodeLevel::Year || level == NodeLevel::Month) && !node->loaded);
}

bool JournalBook::clickNode(const QString &key)
{
    if (!m_tree.node(key))
        return false;
    if (!clickOpensPage(key)) {
        loadChildren(key, true);
        return false;
    }
    openPage(dateOfKey(key));
    select(key);
    return true;
}

void JournalBook::expandNode(const QString &key)
{
    const JournalNode *node = m_tree.node(key);
    if (!node)
        return;
    if (!node->loaded && levelOfKey(key) != NodeLevel::Day)
        loadChildren(key, true);
    else
        setExpanded(key, true);
}

void JournalBook::collapseNode(const QString &key)
{
    setExpanded(key, false);
}

void JournalBook::newDay()
{
    const QDate today = base::today();
    const QString year = today.toString(QStringLiteral("yyyy"));
    const QString month = today.toString(QStringLiteral("yyyy-MM"));
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    addNode(nodeKey(year), year, {});
    addNode(nodeKey(month), today.toString(QStringLiteral("MM")), nodeKey(year));
    addNode(nodeKey(day), today.toString(QStringLiteral("dd")), nodeKey(month));
    setExpanded(nodeKey(year), true);
    setExpanded(nodeKey(month), true);
    setExpanded(nodeKey(day), true);
    select(nodeKey(day));
    m_currentDate = day;
    Q_EMIT pageChanged();
}

bool JournalBook::save()
{
    if (m_currentDate.size() <= kMonthLength) {
        // Text typed while no day is shown has a page to go to: today's,
        // as "新一天 New" makes it (and the saved notice names it).
        if (!isModified())
            return false;
        newDay();
    }
    PageTexts texts = m_texts;
    if (m_currentDate != m_readDate) {
        // Today's page may have been written earlier, unseen in the boxes.
        const std::optional<store::JournalPage> stored =
            host::onRoad(host::ErrorRoad::Statement, [this] { return m_ledger.journalPage(m_currentDate); });
        if (stored)
            texts = keepingStored(texts, shownTexts(*stored));
    }
    host::onRoad(host::ErrorRoad::Statement,
                 [this, &texts] { m_ledger.saveJournalPage(ledgerPage(m_currentDate, texts)); });
    m_readDate = m_currentDate;
    const bool merged = texts != m_texts;
    m_texts = texts;
    m_saved = texts;
    if (merged)
        Q_EMIT pageChanged();
    return true;
}

void JournalBook::close()
{
    if (isModified()) {
        m_texts = m_saved;
        Q_EMIT pageChanged();
    }
}

void JournalBook::search(const QString &text)
{
    if (text.isEmpty()) {
        clearSearch();
        return;
    }
    m_searchText = text;
    m_searching = true;
    runSearch();
}

void JournalBook::searchAgain()
{
    if (m_searching)
        runSearch();
}

void JournalBook::clearSearch()
{
    m_searchText.clear();
    m_results.clear();
    m_searching = false;
    Q_EMIT searchChanged();
}

void JournalBook::runSearch()
{
    // Told on every road out: a failed search leaves no results.
    const base::ScopeGuard tell([this] { Q_EMIT searchChanged(); });
    m_results.clear();
    m_results = m_ledger.searchJournal(m_searchText);
}

bool JournalBook::openFound(const QString &date)
{
    if (date.size() != kDayLength)
        return false;
    openPage(date);
    revealDay(date);
    return true;
}

void JournalBook::openPage(const QString &date)
{
    const std::optional<store::JournalPage> page = m_ledger.journalPage(date);
    m_currentDate = date;
    m_readDate = date;
    m_texts = page ? shownTexts(*page) : PageTexts{};
    m_saved = m_texts;
    Q_EMIT pageChanged();
}

void JournalBook::loadChildren(const QString &key, bool selectLast)
{
    const NodeLevel level = levelOfKey(key);
    const int childLength = level == NodeLevel::Year ? kMonthLength : kDayLength;
    const QStringList dates = m_ledger.journalDates(dateOfKey(key));
    QString previous;
    for (const QString &date : std::as_const(dates)) {
        const QString prefix = date.left(childLength);
        const QString childKey = nodeKey(prefix);
        // A date not written as yyyy-mm-dd has no place in the tree.
        if (prefix.size() != childLength || childKey == previous)
            continue;
        previous = childKey;
        addNode(childKey, prefix.right(2), key);
    }
    // Nodes added for today's page stay; the read ones join them in order.
    JournalNode *node = m_tree.node(key);
    node->loaded = true;
    node->expanded = true;
    Q_EMIT nodeChanged(key);
    if (selectLast && !node->children.isEmpty()) {
        const QString last = node->children.constLast();
        setExpanded(last, true);
        select(last);
    }
}

void JournalBook::revealDay(const QString &date)
{
    const QString year = date.left(kYearLength);
    const QString month = date.left(kMonthLength);
    addNode(nodeKey(year), year, {});
    if (!m_tree.node(nodeKey(year))->loaded)
        loadChildren(nodeKey(year), false);
    addNode(nodeKey(month), month.right(2), nodeKey(year));
    if (!m_tree.node(nodeKey(month))->loaded)
        loadChildren(nodeKey(month), false);
    addNode(nodeKey(date), date.right(2), nodeKey(month));
    setExpanded(nodeKey(year), true);
    setExpanded(nodeKey(month), true);
    select(nodeKey(date));
}

void JournalBook::addNode(const QString &key, const QString &text, const QString &parentKey)
{
    const int row = m_tree.add(key, text, parentKey);
    if (row >= 0)
        Q_EMIT nodeAdded(key, row);
}

void JournalBook::setExpanded(const QString &key, bool expanded)
{
    JournalNode *node = m_tree.node(key);
    if (!node || node->expanded == expanded)
        return;
    node->expanded = expanded;
    Q_EMIT nodeChanged(key);
}

void JournalBook::select(const QString &key)
{
    m_selectedKey = key;
    Q_EMIT selectionChanged(key);
}

} // namespace zambrel::journal
