#include "connect_item_commands.h"

#include "entry_window_dialog.h"
#include "input/ui/entry_dialog.h"
#include "ledger/commands/item_commands.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"

#include <QPointer>

#include <memory>

namespace zambrel::ledger {
namespace {

// Holds the commands and their dialog as a child of the main window.
class ItemCommandsBinding : public QObject {
public:
    ItemCommandsBinding(MainWindow &window, MonthView &view)
        : QObject(&window), dialog(
                                &window,
                                [target = QPointer<MainWindow>(&window)] {
                                    return target ? target->typeList() : QStringList();
                                },
                                [target = QPointer<MainWindow>(&window)](input::EntryDialog &made) {
                                    if (target)
                                        target->followSkin(&made);
                                }),
          commands(view, window, [this]() -> ItemDialog & { return dialog; })
    {
    }

    EntryWindowDialog dialog;
    ItemCommands commands;
};

} // namespace

void connectItemCommands(MainWindow &window)
{
    MonthView *view = window.monthView();
    if (!view)
        return;
    auto *binding = new ItemCommandsBinding(window, *view);
    ItemCommands *commands = &binding->commands;
    window.provide(Command::Add, [commands] { commands->run(ItemCommand::Add); });
    window.provide(Command::Update, [commands] { commands->run(ItemCommand::Update); });
    window.provide(Command::Delete, [commands] { commands->run(ItemCommand::Delete); });
    for (panel::CategoryPanel *panel :
         {window.incomePanel, window.expenditurePanel, window.assetPanel, window.liabilityPanel}) {
        if (!panel)
            continue;
        QObject::connect(panel, &panel::CategoryPanel::clicked, binding,
                         [commands, panel](const QString &key) {
                             if (panel::CategoryRows *rows = panel->rows())
                                 commands->panelClick(*rows, key);
                         });
        QObject::connect(panel, &panel::CategoryPanel::doubleClicked, binding,
                         [commands](const QString &key) { commands->panelDoubleClick(key); });
    }
}

} // namespace zambrel::ledger
