#pragma once

#include "journal/journal_texts.h"
#include "journal/journal_tree.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::journal {

/// The nine texts of a page, g1..g9.
using PageTexts = std::array<QString, kFieldCount>;

/// The journal window without the window: the tree of years, months and
/// days (read lazily), the current page date, the nine texts as loaded or
/// last saved and as typed, and the roads the window's controls take.
///
/// Every read and write goes through the ledger. A failed read is reported
/// on the query road and changes nothing on the page; a failed save on the
/// statement road, and the typed texts stay. No road throws.
///
/// Typed text is never lost silently: a road that would replace or leave
/// texts that differ from what was loaded or last saved first asks
/// kUnsavedQuestion (Yes saves, No discards, Cancel stays). Yes stays too
/// when the write failed. Text typed while no day is current is saved under
/// today. Only "新一天 New" keeps the boxes without asking: a following save
/// files them under today.
///
/// Texts are held as the boxes show them: line breaks are "\n" here and
/// CR LF in the ledger, as the item memos keep them.
class JournalBook : public QObject {
    Q_OBJECT
public:
    /// `ledger` must outlive the book.
    explicit JournalBook(store::Ledger &ledger, QObject *parent = nullptr);
    ~JournalBook() override;

    // The roads -------------------------------------------------------------

    /// Opening: the years as top-level nodes (today's page when the journal
    /// has none), empty boxes and no current date. Asks nothing.
    void load();
    /// "刷   新 Ref": settles unsaved changes, then load(). False when the
    /// user stayed.
    bool refresh();
    /// A click on the node `key`. A year or month whose children were never
    /// read loads them (the last one expanded and selected) and nothing else
    /// happens. Any other node opens the page of its date (a year or month
    /// "page" is empty and cannot be saved), after settling unsaved changes.
    /// True when a page was opened. A stay re-selects the current node.
    bool clickNode(const QString &key);
    /// The tree's own expansion of `key`: loads unread children as a click
    /// would; an expanded node stays as it is.
    void expandNode(const QString &key);
    void collapseNode(const QString &key);
    /// "新一天 New": today's year, month and day nodes (added where missing),
    /// today's day selected and made the current date. The texts stay.
    void newDay();
    /// "确   定 OK": stores the texts under the current day (inserted or
    /// updated) and says so. When no day is current (the date has 7
    /// characters or fewer), typed texts go to today's page, which becomes
    /// current as newDay() makes it; with nothing typed nothing happens. True
    /// when the page was stored.
    bool save();
    /// Closing the window: settles unsaved changes; a discard puts the loaded
    /// texts back. True when the window may go.
    bool close();

    // The page ----------------------------------------------------------------

    /// Empty, a year, a month or a day ("yyyy-mm-dd").
    QString currentDate() const { return m_currentDate; }
    /// The window caption: "日志  " + current date.
    QString title() const { return kTitlePrefix + m_currentDate; }
    const PageTexts &texts() const { return m_texts; }
    QString text(int field) const;
    /// The texts as loaded or last saved.
    const PageTexts &savedTexts() const { return m_saved; }
    /// The user typed into box `field` (0..8). Emits nothing.
    void setText(int field, const QString &text);
    /// True when a box differs from what was loaded or last saved.
    bool isModified() const { return m_texts != m_saved; }

    // The tree ------------------------------------------------------------------

    const JournalTree &tree() const { return m_tree; }
    /// True when the tree holds a node with `key`.
    bool hasNode(const QString &key) const { return m_tree.contains(key); }
    /// The selected node's key, or empty.
    QString selectedKey() const { return m_selectedKey; }

    // Search ----------------------------------------------------------------------

    /// Finds the days whose fields contain `text` (letter case ignored),
    /// newest first. An empty text clears the search. False when the
    /// search failed (reported; the results are then empty).
    bool search(const QString &text);
    void clearSearch();
    bool isSearching() const { return m_searching; }
    QString searchText() const { return m_searchText; }
    const QStringList &searchResults() const { return m_results; }
    /// Opens the page of a found day, after settling unsaved changes, and
    /// selects its node (reading its year and month where needed). True
    /// when the page was opened.
    bool openFound(const QString &date);

Q_SIGNALS:
    void treeCleared();
    /// A node was added at `row` under its parent (see tree()).
    void nodeAdded(const QString &key, int row);
    /// A node's loaded or expanded flag changed.
    void nodeChanged(const QString &key);
    void selectionChanged(const QString &key);
    /// The current date, title and texts were replaced (not by typing).
    void pageChanged();
    void searchChanged();

private:
    bool settleChanges();
    bool openPage(const QString &date);
    bool openNode(const QString &key);
    bool loadChildren(const QString &key, bool selectLast);
    void addNode(const QString &key, const QString &text, const QString &parentKey);
    void setExpanded(const QString &key, bool expanded);
    void select(const QString &key);
    void revealDay(const QString &date);
    bool runSearch();

    store::Ledger &m_ledger;
    JournalTree m_tree;
    QString m_selectedKey;
    QString m_currentDate;
    PageTexts m_texts;
    PageTexts m_saved;
    QString m_searchText;
    QStringList m_results;
    bool m_searching = false;
};

} // namespace zambrel::journal
