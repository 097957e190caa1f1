#pragma once

#include "ledger/commands/item_dialog.h"

#include <QString>

#include <functional>
#include <memory>

namespace zambrel::store {
class RecordSet;
}
namespace zambrel::panel {
class CategoryRows;
}

namespace zambrel::ledger {

class MonthView;
class MonthViewHost;

/// The three toolbar commands on single items.
enum class ItemCommand { Add, Update, Delete };

/// The main window's commands on single items of the current month:
/// selecting an item by its panel key, and adding, changing or deleting one
/// through the entry dialog. Each writes the ledger with one statement on
/// the program-wide connection and updates the panels in place (a changed
/// type reloads the month); the assessment follows.
///
/// The month view, the host and whatever the dialog provider returns must
/// outlive the commands. The provider is asked for the dialog on every
/// command, so it may create it on first use.
class ItemCommands {
public:
    using DialogProvider = std::function<ItemDialog &()>;

    ItemCommands(MonthView &view, MonthViewHost &host, DialogProvider dialog);
    ~ItemCommands();
    ItemCommands(const ItemCommands &) = delete;
    ItemCommands &operator=(const ItemCommands &) = delete;

    /// Makes the item with panel key `key` ("K57") the current row of the
    /// month records, titles the window with it and enables change and
    /// delete; an empty key (a group row) disables them. With `openEditor`
    /// the change command runs on it. Returns the item's memo without
    /// surrounding blanks, empty when nothing was selected.
    QString selectItem(const QString &key, bool openEditor);

    /// Runs a command. Failures of statements are reported by the engine's
    /// routines; any other error is shown through the message routine and
    /// the month is reloaded. Never throws.
    void run(ItemCommand command);

    /// A panel's click: selects the item and hands its memo to that panel.
    void panelClick(panel::CategoryRows &panel, const QString &key);
    /// A panel's double-click: selects the item and opens it for a change.
    void panelDoubleClick(const QString &key);

    /// True from the start of an add to the start of the next command.
    bool isAdding() const { return m_adding; }

    /// Toolbar key of a command ("add", "update", "delete") and back;
    /// fromButtonKey returns false for any other key.
    static QString buttonKey(ItemCommand command);
    static bool fromButtonKey(const QString &key, ItemCommand &command);

private:
    void execute(ItemCommand command);
    store::RecordSet *typeRecords();
    bool loadCurrentRow(input::EntryForm &form);
    QString statementFor(ItemCommand command, input::EntryForm &form, qint64 code) const;
    void saveNewType(ItemDialog &dialog);
    bool moveToCode(qint64 code);

    MonthView &m_view;
    MonthViewHost &m_host;
    DialogProvider m_dialog;
    std::unique_ptr<store::RecordSet> m_ownTypes; // only while the month view has none
    QString m_loadedType;
    bool m_adding = false;
};

} // namespace zambrel::ledger
