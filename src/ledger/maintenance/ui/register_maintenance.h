#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::ledger {

/// Adds the ledger file commands of the month button's menu: the password
/// ("changePWD", 更换密码, Ctrl+Shift+P), another ledger ("sother", Ctrl+O)
/// and the backup ("backup", Ctrl+B). The change-password window is made on
/// first use, owned by the host window and kept, hidden, between uses.
void registerLedgerMaintenance(host::FeatureHost &host);

} // namespace zambrel::ledger
