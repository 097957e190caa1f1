#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::app {

/// Gives a new main window every feature: each feature's one registration
/// call adds its commands. The one place that lists the features.
void registerFeatures(host::FeatureHost &host);

} // namespace zambrel::app
