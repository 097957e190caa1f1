#pragma once

namespace zambrel::ledger {
class FeatureHost;
}

namespace zambrel::journal {

/// Provides the journal command (menu entry 日志): the journal window is
/// made on first use, wears the main window's skin, and is shown modally
/// as it was left; the month view is not reloaded afterwards.
void registerJournal(ledger::FeatureHost &host);

} // namespace zambrel::journal
