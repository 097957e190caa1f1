#pragma once

namespace zambrel::ledger {

class frmMainUI;

/// Gives the main window its item commands: the add, change and delete
/// buttons run them, the four panels' Click and DoubleClick select and open
/// items, and the entry window is made on first use and follows the skin.
/// The commands live as long as the window.
void connectItemCommands(frmMainUI &window);

} // namespace zambrel::ledger
