// The main window as the features' host: the toolbar's buttons and the month
// menu's entries over the features' actions, how a command runs, and the
// panels' clicks handed on.
#include "main_window.h"

#include "toolbar_images.h"

#include "host/error_report.h"
#include "panel/ui/category_panel.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

namespace zambrel::ledger {
namespace {

/// The tip a button shows for `action`: the one its feature gave it, or
/// none (an action's tip is its caption unless it was given one).
QString buttonTip(const QAction *action)
{
    QString caption = action->text();
    caption.remove(QLatin1Char('&'));
    return action->toolTip() == caption ? QString() : action->toolTip();
}

/// The button shows its action's caption, tip and enabled state; pressing
/// it runs the action.
void bindButton(QToolButton *button, QAction *action)
{
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setAccessibleName(action->text());
        button->setToolTip(buttonTip(action));
        button->setEnabled(action->isEnabled());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
}

} // namespace

void MainWindow::buildToolbar()
{
    toolbar->setObjectName(QStringLiteral("Toolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    for (const char16_t *keyText : kToolbarKeys) {
        auto *toolButton = new QToolButton(toolbar);
        toolButton->setObjectName(QString::fromUtf16(keyText));
        toolButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        toolButton->setFocusPolicy(Qt::TabFocus);
        // A button waits for the command that takes it.
        toolButton->setEnabled(false);
        toolbar->addWidget(toolButton);
        toolButton->installEventFilter(this);
    }
    QToolButton *skinButton = button(QStringLiteral("chgSkin"));
    skinButton->setText(QStringLiteral("外观"));
    skinButton->setAccessibleName(skinButton->text());
    skinButton->setToolTip(QStringLiteral("Analytics"));
    skinButton->setEnabled(true);

    // The month button is this window's own command: its caption is the
    // month shown.
    m_refreshAction = new QAction(QStringLiteral("刷新"), this);
    m_refreshAction->setObjectName(QStringLiteral("refresh"));
    m_refreshAction->setToolTip(QStringLiteral("Refresh"));
    m_refreshAction->setShortcut(QKeySequence(Qt::Key_F5));
    addCommand(host::CommandPlace::toolbar(QStringLiteral("refresh")), m_refreshAction,
               [this] { refresh(); });

    // The two drop-down menus open from the keyboard anywhere in the window
    // (and with Alt+Down on their buttons).
    for (const auto &[key, keys] : {std::pair{u"refresh", QKeySequence(Qt::CTRL | Qt::Key_M)},
                                    std::pair{u"chgSkin", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}}) {
        QToolButton *menuButton = button(QString::fromUtf16(key));
        auto *opener = new QShortcut(keys, this);
        opener->setObjectName(QString::fromUtf16(key) + QStringLiteral("Menu"));
        connect(opener, &QShortcut::activated, menuButton, [menuButton] {
            if (menuButton->isEnabled())
                menuButton->showMenu();
        });
    }
    button(QStringLiteral("refresh"))->setMenu(m_monthMenu);
    button(QStringLiteral("refresh"))->setPopupMode(QToolButton::MenuButtonPopup);
    skinButton->setMenu(m_skinMenu);
    skinButton->setPopupMode(QToolButton::MenuButtonPopup);
    m_monthMenu->setObjectName(QStringLiteral("monthMenu"));
    m_skinMenu->setObjectName(QStringLiteral("skinMenu"));
}

QToolButton *MainWindow::button(const QString &key) const
{
    return toolbar->findChild<QToolButton *>(key, Qt::FindDirectChildrenOnly);
}

QAction *MainWindow::command(const QString &name) const
{
    for (const Command &each : m_commands) {
        if (each.action->objectName() == name)
            return each.action;
    }
    return nullptr;
}

QAction *MainWindow::addCommand(const host::CommandPlace &place, QAction *action, std::function<void()> run)
{
    action->setParent(this);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    m_commands.push_back({action, place});
    switch (place.area) {
    case host::CommandPlace::Area::Toolbar:
        if (QToolButton *toolButton = button(place.button))
            bindButton(toolButton, action);
        break;
    case host::CommandPlace::Area::MonthMenu: {
        // Above the months, among the other commands by their order.
        qsizetype index = 0;
        for (const Command &each : m_commands) {
            if (each.action != action && each.place.area == host::CommandPlace::Area::MonthMenu &&
                each.place.order <= place.order)
                ++index;
        }
        m_monthMenu->insertAction(m_monthMenu->actions().value(index, nullptr), action);
        break;
    }
    case host::CommandPlace::Area::Nowhere:
        break;
    }
    const bool onToolbar = place.area == host::CommandPlace::Area::Toolbar;
    connect(action, &QAction::triggered, this,
            [this, onToolbar, run = std::move(run)] { runCommand(run, onToolbar); });
    if (!m_view)
        action->setEnabled(false); // closed: nothing runs on a released ledger
    return action;
}

void MainWindow::runCommand(const std::function<void()> &run, bool onToolbar)
{
    if (!m_view)
        return;
    const host::ErrorRoad road = onToolbar ? host::ErrorRoad::ToolbarCommand : host::ErrorRoad::MenuCommand;
    // After a toolbar command's own failure the month is read again; one
    // reported on a road of its own (a failed statement) changed nothing.
    if (host::runReported(road, run) == host::ErrorRoad::ToolbarCommand)
        refresh();
}

void MainWindow::connectPanels()
{
    for (panel::CategoryPanel *panel : {incomePanel, expenditurePanel, assetPanel, liabilityPanel}) {
        connect(panel, &panel::CategoryPanel::clicked, this, [this, panel](const QString &key) {
            if (panel::CategoryRows *rows = panel->rows()) {
                for (const auto &clicked : m_itemClicked)
                    clicked(*rows, key);
            }
        });
        connect(panel, &panel::CategoryPanel::doubleClicked, this, [this](const QString &key) {
            for (const auto &doubleClicked : m_itemDoubleClicked)
                doubleClicked(key);
        });
    }
}

void MainWindow::onItemClicked(std::function<void(panel::CategoryRows &, const QString &)> clicked)
{
    m_itemClicked.push_back(std::move(clicked));
}

void MainWindow::onItemDoubleClicked(std::function<void(const QString &)> doubleClicked)
{
    m_itemDoubleClicked.push_back(std::move(doubleClicked));
}

void MainWindow::onItemSelected(std::function<void(bool)> changed)
{
    m_itemSelected.push_back(std::move(changed));
}

void MainWindow::setItemSelected(bool selected)
{
    for (const auto &changed : m_itemSelected)
        changed(selected);
}

} // namespace zambrel::ledger
