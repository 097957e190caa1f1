#pragma once

#include <QString>

#include <functional>

namespace zambrel::base {

/// Writes a text into a panel of the main window's status bar.
using StatusWriter = std::function<void(const QString &text, int panel)>;

/// The main window installs its writer while it exists, naming itself as
/// the owner; releasing it takes it away only if it is still that owner's
/// (a window closing after the next one opened leaves the new writer).
void setStatusWriter(const void *owner, StatusWriter writer);
void releaseStatusWriter(const void *owner);

/// Writes `text` into status panel `panel` with every ":" as the full-width
/// "："; does nothing while no main window exists. Never throws.
void showStatus(const QString &text, int panel = 1);

} // namespace zambrel::base
