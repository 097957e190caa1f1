#pragma once

namespace zambrel::ledger {
class FeatureHost;
}

namespace zambrel::stock {

/// Makes the menu entry 核对股票 (Command::StockCheck) open the stock check
/// for the month shown: the window is created on first use (and again after
/// it was closed from its caption bar), its holdings list is filled afresh
/// on every opening, and it is shown without blocking the main window.
void registerStockCheck(ledger::FeatureHost &host);

} // namespace zambrel::stock
