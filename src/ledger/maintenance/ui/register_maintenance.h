#pragma once

namespace zambrel::ledger {

class FeatureHost;

/// Provides the ledger file commands of the month button's menu: 备份当前账本
/// (Command::Backup), 选择另外一个帐本 (Command::OtherLedger) and 更换密码
/// (Command::ChangePassword). The change-password window is made on first
/// use, owned by the host window and kept, hidden, between uses.
void registerLedgerMaintenance(FeatureHost &host);

} // namespace zambrel::ledger
