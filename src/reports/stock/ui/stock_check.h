#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::stock {

/// Adds the stock check ("month", the month menu's entry 核对股票, Ctrl+K),
/// which opens the stock check window for the month shown: the window is created on first use (and again
/// after it was closed from its caption bar), its holdings list is filled afresh on every opening, and it is
/// shown without blocking the main window.
void registerStockCheck(host::FeatureHost &host);

} // namespace zambrel::stock
