#pragma once

namespace zambrel::base {

/// Window sizes and positions of the design are in twips; the screens the
/// program assumes have 15 twips to a pixel. Convert only through here.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace zambrel::base
