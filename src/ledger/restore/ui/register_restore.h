#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::ledger {

/// Adds "恢复 Restore…" ("restore", Ctrl+Shift+R) to the month button's menu,
/// after the backup. It opens the window "恢复账本 Restore", made on first
/// use and owned by the host window, listed afresh on each opening, and let
/// go when closed. After a restore the month view shows the restored books
/// (the newest month when the month shown is gone) and the status line
/// names the safety copy.
void registerRestore(host::FeatureHost &host);

} // namespace zambrel::ledger
