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
/// Every read and write goes through the ledger and throws what it throws;
/// a failed read leaves the page as it was, a failed save (on the statement
/// road: host::RoutedError) the typed texts. The book shows and asks
/// nothing.
///
/// Typed text is never lost silently: before a road that would replace or
/// leave texts that differ from what was loaded or last saved (isModified()
/// and, for a click, clickOpensPage()) the window asks unsavedQuestion():
/// Yes saves first, No lets the road replace them, Cancel stays. Yes stays
/// too when the write failed. Text typed while no day is current is saved
/// under today. Only "新一天 New" keeps the boxes without asking: a
/// following save files them under today.
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

    /// Opening, and "刷   新 Ref": the years as top-level nodes (today's page
    /// when the journal has none), empty boxes and no current date, even
    /// when the years cannot be read. @throws store::DbError
    void load();
    /// Whether a click on `key` opens a page (and so replaces typed text):
    /// every node but a year or month whose children were never read.
    bool clickOpensPage(const QString &key) const;
    /// A click on the node `key`. A year or month whose children were never
    /// read loads them (the last one expanded and selected) and nothing else
    /// happens. Any other node opens the page of its date (a year or month
    /// "page" is empty and cannot be saved). True when a page was opened.
    /// @throws store::DbError; the tree's selection is then where it was.
    bool clickNode(const QString &key);
    /// The tree's own expansion of `key`: loads unread children as a click
    /// would; an expanded node stays as it is. @throws store::DbError
    void expandNode(const QString &key);
    void collapseNode(const QString &key);
    /// "新一天 New": today's year, month and day nodes (added where missing),
    /// today's day selected and made the current date. The texts stay.
    void newDay();
    /// "确   定 OK": stores the texts under the current day (inserted or
    /// updated); the window then says so (savedNotice) and calls
    /// searchAgain(). When no day is current (the date has 7 characters or
    /// fewer), typed texts go to today's page, which becomes current as
    /// newDay() makes it; with nothing typed nothing happens. Boxes not read
    /// from the current day's stored page (after newDay(), or with no day
    /// shown) never replace what that page holds: each field keeps its stored
    /// text with the box's text after it, and the boxes show the result.
    /// True when the page was stored. A failed write leaves as
    /// host::RoutedError on the statement road.
    bool save();
    /// Closing the window, once unsaved changes were settled: typed texts
    /// left unsaved give way to the loaded ones.
    void close();

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
    /// newest first. An empty text clears the search. @throws
    /// store::DbError; the results are then empty.
    void search(const QString &text);
    /// Finds the search's text again (what was found may have changed with
    /// a save); nothing without a search. @throws store::DbError
    void searchAgain();
    void clearSearch();
    bool isSearching() const { return m_searching; }
    QString searchText() const { return m_searchText; }
    const QStringList &searchResults() const { return m_results; }
    /// Opens the page of a found day and selects its node (reading its year
    /// and month where needed). True when the page was opened.
    /// @throws store::DbError
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
    void openPage(const QString &date);
    void loadChildren(const QString &key, bool selectLast);
    void addNode(const QString &key, const QString &text, const QString &parentKey);
    void setExpanded(const QString &key, bool expanded);
    void select(const QString &key);
    void revealDay(const QString &date);
    void runSearch();

    store::Ledger &m_ledger;
    JournalTree m_tree;
    QString m_selectedKey;
    QString m_currentDate;
    /// The date whose stored page the boxes were read from; another date
    /// than the current one after "新一天 New" or with no day shown.
    QString m_readDate;
    PageTexts m_texts;
    PageTexts m_saved;
    QString m_searchText;
    QStringList m_results;
    bool m_searching = false;
};

} // namespace zambrel::journal
