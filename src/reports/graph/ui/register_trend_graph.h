#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::graph {

/// Adds the main window's Graph command (the toolbar's "Graph" button, 分析,
/// Ctrl+G): the trend graph window, made on first use and kept by the host
/// window, reads the ledger's series, draws them and is shown modally.
void registerTrendGraph(host::FeatureHost &host);

} // namespace zambrel::graph
