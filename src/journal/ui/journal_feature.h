#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::journal {

/// Adds the journal command ("log", the month menu's entry 日志, Ctrl+J): the
/// journal window is made on first use, wears the main window's skin, and is
/// shown modally as it was left; the month view is not reloaded afterwards.
void registerJournal(host::FeatureHost &host);

} // namespace zambrel::journal
