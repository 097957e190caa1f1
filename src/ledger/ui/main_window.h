#pragma once

#include "host/feature_host.h"
#include "ledger/month_view.h"
#include "ledger/month_view_host.h"
#include "skin/skin_colour.h"
#include "skin/skinned_window.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
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
}

namespace zambrel::ledger {

class SplitterHandle;
class StatusPanels;

/// The main window: toolbar with the month and skin menus, the four
/// category panels under their headings, the written assessment, the status
/// bar, the splitter and the right-hand pane. The month logic lives in
/// MonthView; this window shows it and routes the commands.
///
/// It owns the open ledger from the logon until it closes. Every command is
/// a QAction (caption, shortcut, enabled state); features provide their
/// commands through the FeatureHost interface, and a command is available
/// only once something provides it.
class MainWindow : public skin::SkinnedWindow, public MonthViewHost, public FeatureHost {
    Q_OBJECT
public:
    /// Runs the one-time initialisation (menus, size, home page).
    explicit MainWindow(std::shared_ptr<store::Ledger> ledger, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Controls; each keeps the design's name as its objectName.
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
    QMenu *monthMenu() const { return m_monthMenu; }
    QMenu *skinMenu() const { return m_skinMenu; }
    /// Texts of the five status bar panels (1 to 5).
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString &text);

    /// The month logic; gone once the window has closed.
    MonthView *monthView() const { return m_view.get(); }

    /// Loading: the ledger in the heading, the stored skin, maximised and
    /// refreshed.
    void load();
    void prepareToolbarImages();
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
    QStringList typeList() const { return m_typeNames; }

    // FeatureHost
    store::Ledger &ledger() override { return *m_ledger; }
    QWidget *hostWindow() override { return this; }
    QString currentMonth() const override { return m_view ? m_view->currentMonth() : QString(); }
    void showMonth(const QString &month) override;
    void refreshMonth() override { refresh(); }
    void followSkin(skin::SkinnedWindow *window) override;
    void showStatus(const QString &text) override;
    void provide(Command command, std::function<void()> run) override;
    QAction *action(Command command) const override;
    void switchLedger(const QString &ledgerPath) override;

    // MonthViewHost
    void setWindowEnabled(bool enabled) override;
    void setWindowCaption(const QString &caption) override;
    void addMonthMenuEntry(const QString &key, const QString &caption) override;
    void setRefreshCaption(const QString &month) override;
    void setToolbarButtonEnabled(ToolbarButton button, bool enabled) override;
    void setTypeList(const QStringList &types) override { m_typeNames = types; }
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
    void buildCommands();
    void buildToolbar();
    void buildPanels();
    void orderTabStops();
    void initialise();
    void runCommand(Command command);
    bool isProvided(Command command) const { return m_handlers.count(command) > 0; }
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
    std::map<Command, QAction *> m_actions;
    std::map<Command, std::function<void()>> m_handlers;
    std::vector<QPointer<skin::SkinnedWindow>> m_secondary;
    QString m_skinPath;
    /// Which skin could not be read, for the status line once the window
    /// shows (the month's refresh writes there while it opens).
    QString m_skinNotice;
    QStringList m_typeNames;
    bool m_initialised = false;
    bool m_switching = false;
    bool m_selectionAllowsChange = false;
    bool m_splitterMoving = false;
    skin::ColourValue m_backColour = 0;
    bool m_hasBackColour = false;
};

/// What a successful logon does next: creates the main window over the
/// ledger, makes it the status line's target, prepares its pictures,
/// refreshes it and shows it. Returns the window (it deletes itself on
/// close).
MainWindow *openMainWindow(std::shared_ptr<store::Ledger> ledger);

} // namespace zambrel::ledger
