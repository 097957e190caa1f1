#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::history {

/// Provides 撤销 Undo (Ctrl+Z), 重做 Redo (Ctrl+Y, Ctrl+Shift+Z) and
/// 历史 History… (Ctrl+H), all in the month menu. Undo and redo name the step
/// they would take back or make again and are disabled when there is none;
/// they follow every step of the ledger. After an undo or redo the month
/// view shows the step's month (or reloads the month shown, for a step of
/// no month). The history window is made on first use and follows the
/// skin. The ledger keeps as many steps as the settings say.
void registerHistory(host::FeatureHost &host);

} // namespace zambrel::history
