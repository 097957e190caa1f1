#pragma once

namespace zambrel::ledger {

class FeatureHost;

/// Provides 回看 (Command::LookBack): the month picker, made on first use
/// with the ledger's months and kept, hidden, between uses; closing it lets
/// it go, and the next use lists the months afresh.
void registerMonthPicker(FeatureHost &host);

} // namespace zambrel::ledger
