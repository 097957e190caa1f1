#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::ledger {

/// Adds looking back ("find", the month menu's entry 回看, Ctrl+L): the
/// month picker, made on first use
/// with the ledger's months and kept, hidden, between uses; closing it lets
/// it go, and the next use lists the months afresh.
void registerMonthPicker(host::FeatureHost &host);

} // namespace zambrel::ledger
