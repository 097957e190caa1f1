#pragma once

#include <QString>

#include <functional>

namespace zambrel::store {

/// Installs what the engine routines ask of the window layer: the busy
/// pointer (the arrow with hourglass), the clipboard, and writing a status
/// panel through `statusWriter` (the main window's status bar; may be empty).
void installUiHooks(std::function<void(const QString &text, int panel)> statusWriter);

} // namespace zambrel::store
