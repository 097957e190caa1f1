#pragma once

#include "ledger/month_view.h"
#include "ledger/month_view_host.h"
#include "skin/skin_colour.h"
#include "skin/skinned_window.h"

#include <QPointer>
#include <QStringList>

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

struct ShellLayout;
class SplitterHandle;

/// The main window: toolbar with the month and skin menus, the four
/// category panels under their headings, the written assessment, the status
/// bar, the splitter and the right-hand pane. The month logic lives in
/// MonthView; this window shows it and routes the commands.
class MainWindow : public skin::SkinnedWindow, public MonthViewHost {
    Q_OBJECT
public:
    /// Runs the one-time initialisation (menus, size, home page). Needs the
    /// program-wide connection to be open.
    explicit MainWindow(QWidget *parent = nullptr);
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
    QString currentMonth() const { return m_view ? m_view->currentMonth() : QString(); }

    /// Loading: the ledger in the heading, the stored skin, maximised and
    /// refreshed.
    void load();
    void prepareToolbarImages();
    void refresh();
    void fillMonthMenu();
    void fillSkinMenu();
    /// Applies a skin to this window and every secondary window; empty means
    /// the default skin.
    void applySkin(const QString &path);
    /// Lays the window out with the splitter at `x` (twips).
    void layOut(double x);

    /// Windows that follow the skin (dialogs as they are created).
    void addSecondaryWindow(skin::SkinnedWindow *window);
    /// While set, closing asks nothing and does not end the program.
    void setSwitchingLedger(bool switching) { m_switching = switching; }
    /// The add, change and delete commands become available once something
    /// answers itemCommandRequested(); until then the buttons stay disabled.
    void setItemCommandsAvailable(bool available);

    // MonthViewHost
    void setWindowEnabled(bool enabled) override;
    void setWindowCaption(const QString &caption) override;
    void addMonthMenuEntry(const QString &key, const QString &caption) override;
    void setRefreshCaption(const QString &month) override;
    void setToolbarButtonEnabled(ToolbarButton button, bool enabled) override;
    void setTypeList(const QStringList &types) override { m_typeNames = types; }
    void setAdvice(const QString &advice) override;
    QStringList typeList() const { return m_typeNames; }

Q_SIGNALS:
    /// add, update or delete was pressed (key of the button).
    void itemCommandRequested(const QString &buttonKey);
    /// The user confirmed leaving: the program should end.
    void programEnding();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar();
    void buildStatusBar();
    void buildPanels();
    void initialise();
    void toolbarClick(const QString &key);
    void monthMenuClick(QAction *entry);
    void skinMenuClick(QAction *entry);
    void applySkinColours(skin::ColourValue first, skin::ColourValue second);
    void splitterPressed();
    void splitterMoved(int windowX);
    void splitterReleased();
    void place(QWidget *widget, const QRect &twipsRect);
    void releaseLedger();
    bool appendMonthEntry(const QString &key, const QString &caption);

    std::unique_ptr<MonthView> m_view;
    QMenu *m_monthMenu;
    QMenu *m_skinMenu;
    std::vector<QLabel *> m_statusPanels;
    std::vector<QPointer<skin::SkinnedWindow>> m_secondary;
    QStringList m_typeNames;
    bool m_initialised = false;
    bool m_switching = false;
    bool m_itemCommands = false;
    bool m_splitterMoving = false;
    skin::ColourValue m_backColour = 0;
    bool m_hasBackColour = false;
};

/// What a successful logon does next: creates the main window, makes it the
/// program-wide main window, prepares its pictures, refreshes it and shows
/// it. Returns the window (owned by the caller; it deletes itself on close).
MainWindow *openMainWindow();

} // namespace zambrel::ledger
