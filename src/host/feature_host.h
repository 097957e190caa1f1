#pragma once

#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace zambrel::store {
class Ledger;
}
namespace zambrel::skin {
class SkinnedWindow;
}
namespace zambrel::panel {
class CategoryRows;
}
namespace zambrel::ledger {
class MonthView;
}

namespace zambrel::host {

/// Where a feature's command shows. The place also decides how a failure
/// escaping the command is reported (see FeatureHost::addCommand).
struct CommandPlace {
    enum class Area {
        Toolbar,   ///< one of the toolbar's buttons
        MonthMenu, ///< an entry of the month button's menu
        Nowhere,   ///< no control: only its shortcut, anywhere in the main window
    };

    Area area = Area::Nowhere;
    /// Toolbar: the objectName of the button that shows the command. The
    /// toolbar's buttons are fixed, in their order, each with its picture:
    /// "add", "update", "delete", "refresh" (the main window's own),
    /// "chgSkin" (the skin menu) and "Graph".
    QString button;
    /// MonthMenu: the entries of commands stand in the order of this number
    /// (equal numbers in the order of registration), above the months. In
    /// use: undo 1, redo 2, the history 3, the stock check 10, the journal 20,
    /// looking back 30, the password 40, another ledger 50, the backup 60, the
    /// restore 65, the bill import 68, the CSV export 70.
    int order = 0;

    static CommandPlace toolbar(const QString &button) { return {Area::Toolbar, button, 0}; }
    static CommandPlace monthMenu(int order) { return {Area::MonthMenu, {}, order}; }
    static CommandPlace nowhere() { return {}; }
};

/// What a feature may ask of the main window. The main window implements it
/// and hands it to each feature's one registration function, which adds the
/// feature's commands and keeps what it needs. Everything handed out lives
/// as long as the main window.
class FeatureHost {
public:
    virtual ~FeatureHost() = default;

    /// Takes a feature's command. The feature makes `action` (its caption,
    /// the control's name as objectName, shortcut, a tooltip where the
    /// control has one) and keeps it: it enables it and changes its caption
    /// when it likes. The host shows it where `place` says, makes its
    /// shortcut work anywhere in the main window, takes it as a child of the
    /// main window, and runs `run` when it is triggered.
    ///
    /// A failure escaping `run` is reported once: a command of the toolbar
    /// with the program's name as title, after which the month is reloaded;
    /// any other with the title "出错了". Once the main window has closed,
    /// nothing runs. Returns `action`.
    virtual QAction *addCommand(const CommandPlace &place, QAction *action, std::function<void()> run) = 0;

    /// The open ledger.
    virtual store::Ledger &ledger() = 0;
    /// The main window, as the owner of a feature's windows.
    virtual QWidget *hostWindow() = 0;
    /// The month logic of the main window; null once the window has closed.
    virtual ledger::MonthView *monthView() = 0;
    /// The month shown ("yyyy-mm").
    virtual QString currentMonth() const = 0;
    /// Makes `month` the month shown (the month button's caption) and
    /// reloads the view.
    virtual void showMonth(const QString &month) = 0;
    /// Reloads the month shown.
    virtual void refreshMonth() = 0;
    /// The books changed beneath the window as a whole (a restore, an undone
    /// or redone step): the month view forgets what it read and kept, and
    /// the month menu lists the stored months again. Reloads nothing; show a
    /// month after it.
    virtual void booksReplaced() = 0;
    /// The window wears the main window's skin from now on.
    virtual void followSkin(skin::SkinnedWindow *window) = 0;
    /// Writes the status line.
    virtual void showStatus(const QString &text) = 0;

    /// A click on a row of one of the four category panels: `clicked`
    /// hears that panel's rows and the row's key ("K57"; empty for a group
    /// row).
    virtual void
    onItemClicked(std::function<void(panel::CategoryRows &rows, const QString &key)> clicked) = 0;
    /// A double-click on a row (or Enter on it): the row's key.
    virtual void onItemDoubleClicked(std::function<void(const QString &key)> doubleClicked) = 0;
    /// `changed` hears whether an item of the month is selected whenever
    /// that changes: an item chosen, a group row chosen, the item deleted,
    /// the month reloaded.
    virtual void onItemSelected(std::function<void(bool selected)> changed) = 0;

    /// Closes the main window without the exit question and without ending
    /// the program, and shows the logon window for `ledgerPath`.
    virtual void switchLedger(const QString &ledgerPath) = 0;
};

} // namespace zambrel::host
