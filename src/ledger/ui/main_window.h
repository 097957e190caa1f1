#pragma once

#include "host/feature_host.h"
#include "ledger/month_view.h"
#include "ledger/month_view_host.h"
#include "skin/skin_colour.h"
#include "skin/skinned_window.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QAction;
class QStatusBar;
class QTextBrowser;
class QToolBar;
class QToolButton;

namespace zambrel::panel {
class CategoryPanel;
class CategoryRows;
} // namespace zambrel::panel

namespace zambrel::ledger {

class SplitterHandle;
class StatusPanels;

/// The main window: toolbar with the month and skin menus, the four
/// category panels under their headings, the written assessment, the status
/// bar, the splitter and the right-hand pane. The month logic lives in
/// MonthView; this window shows it and routes the commands.
///
/// It owns the open ledger from the logon until it closes. It hosts the
/// features (FeatureHost): each adds its commands as QActions it made, and
/// says where they go; a toolbar button stays disabled and blank until a
/// command takes it.
class MainWindow : public skin::SkinnedWindow, public MonthViewHost, public host::FeatureHost {
    Q_OBJECT
public:
    /// Builds the window before its ledger is open: controls, toolbar,
    /// panels, skin menu, size and home page. It stays hidden until
    /// openBooks() gives it the ledger.
    explicit MainWindow(QWidget *parent = nullptr);
    /// The window over `ledger` at once.
    explicit MainWindow(std::shared_ptr<store::Ledger> ledger, QWidget *parent = nullptr);
    /// Hands the window its open ledger: the month menu lists the stored
    /// months and the window becomes the status line's target. Once only.
    void openBooks(std::shared_ptr<store::Ledger> ledger);
    /// Wears the skin now chosen, unless the window already wears it.
    void wearCurrentSkin();
    ~MainWindow() override;

    // Controls; each has its control name as objectName.
    QToolBar *const toolbar;
    QLabel *const versionLabel;
    QLabel *const profitLossHeading;
    QLabel *const balanceSheetHeading;
    QLabel *const adviceLabel;
    QStatusBar *const statusBar;
    SplitterHandle *const splitterHandle;
    QWidget *const splitterBar;
    QTextBrowser *const homePage;
    panel::CategoryPanel *incomePanel = nullptr;
    panel::CategoryPanel *expenditurePanel = nullptr;
    panel::CategoryPanel *assetPanel = nullptr;
    panel::CategoryPanel *liabilityPanel = nullptr;

    /// A toolbar button by key: add, update, delete, refresh, chgSkin, Graph.
    QToolButton *button(const QString &key) const;
    /// The command whose action has the objectName `name`, or null.
    QAction *command(const QString &name) const;
    QMenu *monthMenu() const { return m_monthMenu; }
    QMenu *skinMenu() const { return m_skinMenu; }
    /// Texts of the five status bar panels (1 to 5).
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString &text);

    /// Loading: the ledger in the heading, the stored skin, maximised and
    /// refreshed.
    void load();
    void prepareToolbarImages();
    /// Reloads the month; before the month is first opened, offers the
    /// month-end carry-forward. A failure is reported on the toolbar's road
    /// (a failed carry-forward on the batch write's, and the month still
    /// opens). Never throws.
    void refresh();
    void fillMonthMenu();
    void fillSkinMenu();
    /// Applies a skin to this window and every window that follows it; empty
    /// means the default skin.
    void applySkin(const QString &path);
    /// Lays the window out with the splitter at `x` (twips).
    void layOut(double x);

    /// While set, closing asks nothing and does not end the program.
    void setSwitchingLedger(bool switching) { m_switching = switching; }

    // FeatureHost
    QAction *addCommand(const host::CommandPlace &place, QAction *action, std::function<void()> run) override;
    store::Ledger &ledger() override { return *m_ledger; }
    QWidget *hostWindow() override { return this; }
    MonthView *monthView() override { return m_view.get(); }
    QString currentMonth() const override { return m_view ? m_view->currentMonth() : QString(); }
    void showMonth(const QString &month) override;
    void refreshMonth() override { refresh(); }
    void booksReplaced() override;
    void followSkin(skin::SkinnedWindow *window) override;
    void showStatus(const QString &text) override;
    void onItemClicked(std::function<void(panel::CategoryRows &rows, const QString &key)> clicked) override;
    void onItemDoubleClicked(std::function<void(const QString &key)> doubleClicked) override;
    void onItemSelected(std::function<void(bool selected)> changed) override;
    void switchLedger(const QString &ledgerPath) override;

    // MonthViewHost
    void setWindowCaption(const QString &caption) override;
    void setRefreshCaption(const QString &month) override;
    void setRefreshEnabled(bool enabled) override;
    void setItemSelected(bool selected) override;
    void setAdvice(const QString &advice) override;

Q_SIGNALS:
    /// The user confirmed leaving: the program should end.
    void programEnding();
    /// Another ledger is to be opened: the window has closed (asking nothing)
    /// and the owner shows the logon window for `ledgerPath`.
    void ledgerSwitchRequested(const QString &ledgerPath);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSkinNotice();
    void buildToolbar();
    void buildPanels();
    void connectPanels();
    void orderTabStops();
    void initialise();
    void runCommand(const std::function<void()> &run, bool onToolbar);
    /// Asks before the month-end carry-forward and carries forward on Yes.
    void offerCarryForward(const MonthView::CarryForward &due);
    void chooseSkin(const QString &caption);
    void applySkinColours(skin::ColourValue first, skin::ColourValue second);
    void splitterPressed();
    void splitterMoved(int windowX);
    void splitterReleased();
    void place(QWidget *widget, const QRect &twipsRect);
    void releaseLedger();
    bool appendMonthEntry(const QString &key, const QString &caption);

    std::shared_ptr<store::Ledger> m_ledger;
    std::unique_ptr<MonthView> m_view;
    QMenu *m_monthMenu;
    QMenu *m_skinMenu;
    StatusPanels *m_statusPanels = nullptr;
    struct Command {
        QAction *action;
        host::CommandPlace place;
    };
    std::vector<Command> m_commands;
    QAction *m_refreshAction = nullptr;
    std::vector<std::function<void(panel::CategoryRows &, const QString &)>> m_itemClicked;
    std::vector<std::function<void(const QString &)>> m_itemDoubleClicked;
    std::vector<std::function<void(bool)>> m_itemSelected;
    std::vector<QPointer<skin::SkinnedWindow>> m_secondary;
    QString m_skinPath;
    /// Which skin could not be read, for the status line once the window
    /// shows (the month's refresh writes there while it opens).
    QString m_skinNotice;
    bool m_initialised = false;
    bool m_switching = false;
    bool m_splitterMoving = false;
    skin::ColourValue m_backColour = 0;
    bool m_hasBackColour = false;
};

/// A main window built while the logon waits for the password, hidden, its
/// skin worn and its pictures and fonts ready; openMainWindow() finishes it.
MainWindow *prepareMainWindow();

/// What a successful logon does next: hands the ledger to `prepared` (or to
/// a window made now when there is none), makes it the status line's
/// target, prepares its pictures, refreshes it and shows it. Returns the
/// window (it deletes itself on close).
MainWindow *openMainWindow(std::shared_ptr<store::Ledger> ledger, MainWindow *prepared = nullptr);

} // namespace zambrel::ledger
