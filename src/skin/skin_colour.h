#pragma once

#include <QColor>
#include <QtGlobal>

namespace zambrel::skin {

/// A colour value of the program: 0x00BBGGRR (red in the lowest byte); a
/// value with the top bit set names a system colour by its index in the low
/// bits, resolved through the application palette.
using ColourValue = quint32;

inline constexpr ColourValue kSystemColourBit = 0x80000000u;
inline constexpr ColourValue kSysButtonFace = 0x8000000Fu;
inline constexpr ColourValue kSysButtonShadow = 0x80000010u;
inline constexpr ColourValue kSysButtonText = 0x80000012u;
inline constexpr ColourValue kSysInfoText = 0x80000017u;
inline constexpr ColourValue kSysInfoBackground = 0x80000018u;

/// The colour a value stands for; system colours come from the palette.
QColor toQColor(ColourValue value);

/// The value of a plain (non-system) colour.
constexpr ColourValue fromRgb(int red, int green, int blue)
{
    return ColourValue(blue & 0xFF) << 16 | ColourValue(green & 0xFF) << 8 | ColourValue(red & 0xFF);
}

inline ColourValue fromQColor(const QColor &colour)
{
    return fromRgb(colour.red(), colour.green(), colour.blue());
}

} // namespace zambrel::skin
