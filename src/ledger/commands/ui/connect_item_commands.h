#pragma once

namespace zambrel::ledger {

class MainWindow;

/// Gives the main window its item commands: the add, change and delete
/// buttons run them, the four panels' clicked and doubleClicked select and open
/// items, and the entry window is made on first use and follows the skin.
/// The commands live as long as the window.
void connectItemCommands(MainWindow &window);

} // namespace zambrel::ledger
