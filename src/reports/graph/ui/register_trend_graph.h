#pragma once

namespace zambrel::ledger {
class FeatureHost;
}

namespace zambrel::graph {

/// Provides the main window's Graph command: the trend graph window, made on
/// first use and kept by the host window, reads the ledger's series, draws
/// them and is shown modally.
void registerTrendGraph(ledger::FeatureHost &host);

} // namespace zambrel::graph
