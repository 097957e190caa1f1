#pragma once

#include <QString>

namespace zambrel::skin {

class SkinnedWindow;

/// Applies a skin to one window: sets the skin path of its caption bar and its
/// three border strips, then redraws the caption bar (which runs the colour
/// pass when the path is new to it). An empty or unreadable path draws
/// nothing, silently.
void applySkin(SkinnedWindow *window, const QString &skinPath);

} // namespace zambrel::skin
