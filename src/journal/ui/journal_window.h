#pragma once

#include "journal/journal_book.h"
#include "journal/ui/journal_text_box.h"
#include "skin/skinned_window.h"

#include <QHash>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace zambrel::store {
class Ledger;
}
namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::journal {

/// The journal window: nine framed boxes in three rows of three, the tree
/// of years, months and days with the search box above it, and the four
/// buttons. It binds its controls to a JournalBook, which decides what each
/// does; the window asks the book's questions, says what the book did, and
/// catches a failure of each of its controls, once.
///
/// Made once and hidden between uses; closing (by "关 闭 Close" or the
/// caption bar) asks about unsaved changes first and may stay. The tree is
/// read when the window is made and on "刷   新 Ref" only.
class JournalWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// `ledger` must outlive the window.
    explicit JournalWindow(store::Ledger &ledger, QWidget *parent = nullptr);
    ~JournalWindow() override;

    JournalBook &book() { return m_book; }
    const JournalBook &book() const { return m_book; }

    /// Shows the window modally as it was left; returns once it is hidden.
    void showModal();
    /// Reads the journal again, as "刷   新 Ref" does, for pages changed
    /// beneath the hidden window (an undone save, a restore).
    void reload();

    /// The tree item of a node key, or null.
    QTreeWidgetItem *nodeItem(const QString &key) const;

    // Controls; each has its control name as objectName.
    std::array<QGroupBox *, kFieldCount> fieldFrames{};     ///< Frame1_0 .. Frame1_8
    std::array<JournalTextBox *, kFieldCount> fieldBoxes{}; ///< Text1_0 .. Text1_8
    QLineEdit *const searchBox;
    QLabel *const foundLabel;
    QStackedWidget *const treeOrFound;
    QTreeWidget *const dateTree;
    QListWidget *const foundList;
    skin::FlatButton *const newButton;
    skin::FlatButton *const refreshButton;
    skin::FlatButton *const okButton;
    skin::FlatButton *const closeButton;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void bindBook();
    void bindControls();
    void showPage();
    void showSearch();
    void addNodeItem(const QString &key, int row);
    void showNodeState(const QString &key);
    void selectNodeItem(const QString &key);
    void clickItem(QTreeWidgetItem *item);
    void closeClicked();
    /// Runs one of the window's steps: a failure is reported on the query road
    /// (a failed save on the statement road). True when it failed.
    bool failed(const std::function<void()> &step);
    /// "确   定 OK": saves and says so. True when the page was stored.
    bool save();
    /// Asks about typed text the book holds unsaved, if any: Yes saves, No
    /// lets it go, Cancel stays. False when the window stays.
    bool settleChanges();

    JournalBook m_book;
    QHash<QString, QTreeWidgetItem *> m_items;
    bool m_showing = false; // programmatic changes are not the user's doing
};

} // namespace zambrel::journal
