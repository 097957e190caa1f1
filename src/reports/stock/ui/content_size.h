#pragma once

#include <QSize>

namespace zambrel::skin {
class SkinnedWindow;
}

namespace zambrel::stock {

/// Fixes `window` at the size that gives its content area `content`, now and
/// whenever a skin changes the caption bar's height or a border's thickness,
/// so that the controls placed in the content area always fit.
void keepContentSize(skin::SkinnedWindow *window, QSize content);

} // namespace zambrel::stock
