#pragma once

namespace zambrel::ledger {
class MainWindow;
}

namespace zambrel::app {

/// Gives a new main window every feature: each feature's one registration
/// call provides its commands. The one place that lists the features.
void registerFeatures(ledger::MainWindow &window);

} // namespace zambrel::app
