#pragma once

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::bills {

/// Adds "导入账单 Import…" ("importBill", Ctrl+Shift+I) to the month menu: the import window, made on
/// first use; after an import the host shows the newest month it wrote.
void registerImport(host::FeatureHost &host);

} // namespace zambrel::bills
