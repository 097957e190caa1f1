#pragma once

#include "ledger/commands/item_dialog.h"

#include <QString>

#include <functional>
#include <optional>

namespace zambrel::store {
struct Item;
}
namespace zambrel::panel {
class CategoryRows;
}

namespace zambrel::ledger {

class MonthView;
class MonthViewHost;

/// The three toolbar commands on single items.
enum class ItemCommand { Add, Update, Delete };

/// The command's caption, as its button and the entry window show it.
QString itemCommandCaption(ItemCommand command);
/// Its English name: the button's tip, and in the entry window's title.
QString itemCommandToolTip(ItemCommand command);

/// The main window's commands on single items of the current month:
/// selecting an item by its panel key, and adding, changing or deleting one
/// through the entry dialog. Each writes the ledger with one statement
/// through the month view's ledger and updates the panels in place (a
/// changed type reloads the month); the assessment follows. The selected
/// item is remembered by its code.
///
/// The month view and whatever the dialog provider returns must outlive the
/// commands; the window hears of captions and the selection through the
/// month view's host. The provider is asked for the dialog on every
/// command, so it may create it on first use.
class ItemCommands {
public:
    using DialogProvider = std::function<ItemDialog &()>;

    ItemCommands(MonthView &view, DialogProvider dialog);
    ~ItemCommands();
    ItemCommands(const ItemCommands &) = delete;
    ItemCommands &operator=(const ItemCommands &) = delete;

    /// Makes the item with panel key `key` ("K57") the selected one, titles
    /// the window with it and tells the host an item is selected; an empty
    /// key (a group row) tells it none is. A key of no item of the month
    /// changes nothing. Returns the item's memo without surrounding blanks,
    /// nothing when no item was selected.
    std::optional<QString> selectItem(const QString &key);

    /// Runs a command: shows the entry dialog, then writes and shows what it
    /// says. A failed statement leaves as a RoutedError on the statement's
    /// road, having changed nothing on screen; a new type that cannot be
    /// stored on the batch write's road, and the item is then not written.
    /// @throws store::DbError for any other failure (the caller reloads
    /// the month).
    void run(ItemCommand command);

    /// A panel's click: selects the item and hands its memo to that panel.
    void panelClick(panel::CategoryRows &panel, const QString &key);

    /// True from the start of an add to the start of the next command.
    bool isAdding() const { return m_adding; }
    /// The code of the selected item, if any.
    std::optional<qint64> selectedCode() const { return m_selected; }

private:
    void loadSelected(input::EntryForm &form, const store::Item &item);
    void saveNewType(ItemDialog &dialog);
    void writeItem(ItemCommand command, const input::EntryForm &form, qint64 &code);
    input::TypeLookup typeLookup() const;

    MonthView &m_view;
    MonthViewHost &m_host;
    DialogProvider m_dialog;
    std::optional<qint64> m_selected;
    QString m_loadedType;
    bool m_adding = false;
};

} // namespace zambrel::ledger
