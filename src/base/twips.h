#pragma once

namespace zambrel::base {

/// The program's window sizes and positions are given in twips; the screens
/// it assumes have 15 twips to a pixel. Convert only through here.
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
