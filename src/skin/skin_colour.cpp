#include "skin_colour.h"

#include <QGuiApplication>
#include <QPalette>

namespace zambrel::skin {
namespace {

// System colour indices as skin files number them, mapped onto the palette
// roles that mean the same on this platform.
QColor systemColour(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 6:  // window frame
    case 21: // dark 3-D shadow
        return palette.color(QPalette::Shadow);
    case 7: // menu text
        return palette.color(QPalette::WindowText);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 2:  // active caption
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 9:  // caption text
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 22: // 3-D light
        return palette.color(QPalette::Midlight);
    case 23: // info text
        return palette.color(QPalette::ToolTipText);
    case 24: // info background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor toQColor(ColourValue value)
{
    if (value & kSystemColourBit)
        return systemColour(int(value & 0xFFu));
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}

} // namespace zambrel::skin
