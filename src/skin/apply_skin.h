#pragma once

#include <QString>

namespace zambrel::skin {

class SkinnedWindow;

/// The skin to wear when `wanted` is asked for: `wanted` itself when it can
/// be read and holds every essential key; otherwise the next such skin in
/// `shippedFolder` (in the skin menu's order, after `wanted` when it is one
/// of them, else from the default skin on); otherwise plainSkinPath().
QString wearableSkin(const QString &wanted, const QString &shippedFolder);

/// Applies a skin to one window: sets the skin path of its caption bar and its
/// three border strips, then redraws the caption bar (which runs the colour
/// pass when the path is new to it). A skin that cannot be read, or lacks an
/// essential key, is replaced as wearableSkin() says, over the shipped skins
/// folder. Returns the path worn; the caller tells the user when it differs.
QString applySkin(SkinnedWindow *window, const QString &skinPath);

} // namespace zambrel::skin
