#include "register_item_commands.h"

#include "entry_window_dialog.h"
#include "host/feature_host.h"
#include "input/ui/entry_dialog.h"
#include "ledger/commands/item_commands.h"
#include "ledger/month_view.h"

#include <QAction>
#include <QKeySequence>

namespace zambrel::ledger {
namespace {

// Holds the commands and their dialog as a child of the main window.
class ItemCommandsBinding : public QObject {
public:
    ItemCommandsBinding(host::FeatureHost &host, MonthView &view)
        : QObject(host.hostWindow()), dialog(
                                          host.hostWindow(),
                                          [&host] {
                                              const MonthView *shown = host.monthView();
                                              return shown ? shown->typeNames() : QStringList();
                                          },
                                          [&host](input::EntryDialog &made) { host.followSkin(&made); }),
          commands(view, [this]() -> ItemDialog & { return dialog; })
    {
    }

    EntryWindowDialog dialog;
    ItemCommands commands;
};

struct ItemCommandControl {
    ItemCommand command;
    const char16_t *button;
    QKeyCombination shortcut;
};

constexpr ItemCommandControl kControls[] = {
    {ItemCommand::Add, u"add", Qt::CTRL | Qt::Key_N},
    {ItemCommand::Update, u"update", QKeyCombination(Qt::Key_F2)},
    {ItemCommand::Delete, u"delete", QKeyCombination(Qt::Key_Delete)},
};

} // namespace

void registerItemCommands(host::FeatureHost &host)
{
    MonthView *view = host.monthView();
    if (!view)
        return;
    auto *binding = new ItemCommandsBinding(host, *view);
    ItemCommands *commands = &binding->commands;
    std::vector<QAction *> changing;
    QAction *update = nullptr;
    for (const ItemCommandControl &control : kControls) {
        const QString button = QString::fromUtf16(control.button);
        auto *action = new QAction(itemCommandCaption(control.command), binding);
        action->setObjectName(button);
        action->setToolTip(itemCommandToolTip(control.command));
        action->setShortcut(QKeySequence(control.shortcut));
        const ItemCommand command = control.command;
        host.addCommand(host::CommandPlace::toolbar(button), action,
                        [commands, command] { commands->run(command); });
        if (command == ItemCommand::Update)
            update = action;
        if (command != ItemCommand::Add) {
            // Change and delete wait for an item to act on.
            action->setEnabled(false);
            changing.push_back(action);
        }
    }
    host.onItemSelected([changing](bool selected) {
        for (QAction *action : changing)
            action->setEnabled(selected);
    });
    host.onItemClicked(
        [commands](panel::CategoryRows &rows, const QString &key) { commands->panelClick(rows, key); });
    // A double-click opens the item through the change command, on its road.
    host.onItemDoubleClicked([commands, update](const QString &key) {
        if (commands->selectItem(key))
            update->trigger();
    });
}

} // namespace zambrel::ledger
