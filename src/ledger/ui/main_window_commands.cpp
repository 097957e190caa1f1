// The main window's commands: one QAction each, the toolbar buttons and the
// month menu's entries over them, and how a provided command runs.
#include "main_window.h"

#include "toolbar_images.h"

#include "host/error_report.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

namespace zambrel::ledger {
namespace {

struct CommandText {
    Command command;
    const char16_t *key; ///< the objectName of its button or menu entry
    const char16_t *caption;
    const char16_t *toolTip; ///< null: none
    QKeyCombination shortcut;
    bool inFixedMenu; ///< one of the month menu's six fixed entries
};

// clang-format off
const CommandText kCommands[] = {
    {Command::Add,            u"add",       u"新活动",           u"New",     Qt::CTRL | Qt::Key_N,             false},
    {Command::Update,         u"update",    u"修改",             u"Update",  QKeyCombination(Qt::Key_F2),      false},
    {Command::Delete,         u"delete",    u"删除",             u"Delete",  QKeyCombination(Qt::Key_Delete),  false},
    {Command::Refresh,        u"refresh",   u"刷新",             u"Refresh", QKeyCombination(Qt::Key_F5),      false},
    {Command::Graph,          u"Graph",     u"分析",             nullptr,    Qt::CTRL | Qt::Key_G,             false},
    {Command::StockCheck,     u"month",     u"核对股票",         nullptr,    Qt::CTRL | Qt::Key_K,             true},
    {Command::Journal,        u"log",       u"日志",             nullptr,    Qt::CTRL | Qt::Key_J,             true},
    {Command::LookBack,       u"find",      u"回看",             nullptr,    Qt::CTRL | Qt::Key_L,             true},
    {Command::ChangePassword, u"changePWD", u"更换密码",         nullptr,    Qt::CTRL | Qt::SHIFT | Qt::Key_P, true},
    {Command::OtherLedger,    u"sother",    u"选择另外一个帐本", nullptr,    Qt::CTRL | Qt::Key_O,             true},
    {Command::Backup,         u"backup",    u"备份当前账本",     nullptr,    Qt::CTRL | Qt::Key_B,             true},
    {Command::ExportCsv,      u"export",    u"导出 CSV Export",  nullptr,    Qt::CTRL | Qt::SHIFT | Qt::Key_E, false},
};
// clang-format on

const CommandText *commandText(const QString &key)
{
    for (const CommandText &text : kCommands) {
        if (key == QString::fromUtf16(text.key))
            return &text;
    }
    return nullptr;
}

/// The button shows its action's caption and enabled state; pressing it
/// runs the action. The action's tip is left alone: a button without a tip
/// keeps none.
void bindButton(QToolButton *button, QAction *action)
{
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setAccessibleName(action->text());
        button->setEnabled(action->isEnabled());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
}

} // namespace

void MainWindow::buildCommands()
{
    for (const CommandText &text : kCommands) {
        auto *commandAction = new QAction(QString::fromUtf16(text.caption), this);
        commandAction->setObjectName(QString::fromUtf16(text.key));
        commandAction->setData(QString::fromUtf16(text.key));
        commandAction->setShortcut(QKeySequence(text.shortcut));
        commandAction->setShortcutContext(Qt::WindowShortcut);
        commandAction->setEnabled(false); // until something provides it
        const Command command = text.command;
        connect(commandAction, &QAction::triggered, this, [this, command] { runCommand(command); });
        addAction(commandAction);
        m_actions.emplace(command, commandAction);
        if (text.inFixedMenu)
            m_monthMenu->addAction(commandAction);
    }
}

void MainWindow::buildToolbar()
{
    toolbar->setObjectName(QStringLiteral("Toolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    for (const char16_t *keyText : kToolbarKeys) {
        auto *toolButton = new QToolButton(toolbar);
        const QString key = QString::fromUtf16(keyText);
        toolButton->setObjectName(key);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        toolButton->setFocusPolicy(Qt::TabFocus);
        if (const CommandText *text = commandText(key)) {
            if (text->toolTip)
                toolButton->setToolTip(QString::fromUtf16(text->toolTip));
            bindButton(toolButton, action(text->command));
        } else {
            toolButton->setText(QStringLiteral("外观"));
            toolButton->setAccessibleName(toolButton->text());
            toolButton->setToolTip(QStringLiteral("Analytics"));
        }
        toolbar->addWidget(toolButton);
        toolButton->installEventFilter(this);
    }
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
    button(QStringLiteral("chgSkin"))->setMenu(m_skinMenu);
    button(QStringLiteral("chgSkin"))->setPopupMode(QToolButton::MenuButtonPopup);
    m_monthMenu->setObjectName(QStringLiteral("monthMenu"));
    m_skinMenu->setObjectName(QStringLiteral("skinMenu"));
}

QToolButton *MainWindow::button(const QString &key) const
{
    return toolbar->findChild<QToolButton *>(key, Qt::FindDirectChildrenOnly);
}

QAction *MainWindow::action(Command command) const
{
    return m_actions.at(command);
}

void MainWindow::provide(Command command, std::function<void()> run)
{
    if (!m_view)
        return; // closed: nothing runs on a released ledger
    const bool first = !isProvided(command);
    m_handlers[command] = std::move(run);
    QAction *commandAction = action(command);
    if (command == Command::Update || command == Command::Delete)
        commandAction->setEnabled(m_selectionAllowsChange);
    else
        commandAction->setEnabled(true);
    // A command beyond the fixed menu entries joins the menu where it is
    // provided: after them, before the months.
    if (first && isMenuCommand(command) && !m_monthMenu->actions().contains(commandAction)) {
        QAction *before = nullptr;
        for (QAction *entry : m_monthMenu->actions()) {
            if (entry->data().toString().startsWith(QLatin1Char('M'))) {
                before = entry;
                break;
            }
        }
        m_monthMenu->insertAction(before, commandAction);
    }
}

void MainWindow::runCommand(Command command)
{
    const auto handler = m_handlers.find(command);
    if (handler == m_handlers.end())
        return;
    // A copy: the command may replace its own handler while it runs.
    const std::function<void()> run = handler->second;
    try {
        run();
    } catch (const std::exception &error) {
        if (isMenuCommand(command)) {
            store::reportError(error, store::ErrorRoad::MenuCommand);
        } else {
            store::reportError(error, store::ErrorRoad::ToolbarCommand);
            refresh();
        }
    }
}

} // namespace zambrel::ledger
