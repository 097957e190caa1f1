#pragma once

#include <QImage>

namespace zambrel::ledger {

/// Number of toolbar buttons and the size of their images (pixels).
inline constexpr int kToolbarButtons = 6;
/// The toolbar's buttons in order, by key (their objectNames); the pictures
/// go to them in this order.
inline constexpr const char16_t *kToolbarKeys[kToolbarButtons] = {u"add",     u"update",  u"delete",
                                                                  u"refresh", u"chgSkin", u"Graph"};
inline constexpr int kToolbarImageSize = 24;

/// The picture of toolbar button `index` (1 to 6: new, change, delete,
/// month, skin, analysis) drawn on a white ground.
QImage drawToolbarImage(int index);

/// `image` with its white pixels made transparent (through the mask
/// routines), everything else kept.
QImage whiteToTransparent(const QImage &image);

} // namespace zambrel::ledger
