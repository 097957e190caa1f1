#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::ledger {

/// Gives the main window its item commands: "add", "update" and "delete" on
/// the toolbar (change and delete only while an item is selected), a click
/// on a panel's row selects its item and shows its memo in that panel, a
/// double-click opens it for a change; the entry window is made on first use
/// and follows the skin. The commands live as long as the window.
void registerItemCommands(host::FeatureHost &host);

} // namespace zambrel::ledger
