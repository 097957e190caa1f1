#pragma once

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <vector>

namespace zambrel::iconmaker {

/// The side of the square the icon's shapes are drawn in; pictures of other
/// sizes scale it.
inline constexpr int kIconUnits = 256;

/// One shape of the icon: an outline filled with a solid colour or a linear
/// gradient (logical coordinates) and/or stroked with a pen. Qt::NoBrush or
/// Qt::NoPen leaves out the fill or the stroke.
struct IconShape {
    QPainterPath path;
    QBrush fill = Qt::NoBrush;
    QPen stroke = Qt::NoPen;
};

/// The program icon, back to front, in a kIconUnits square: a ledger book
/// with a house on its page and a coin lying on it, on a rounded tile.
std::vector<IconShape> iconShapes();

/// The icon painted at `size` x `size` pixels on a transparent background.
QImage drawIcon(int size);

/// The same shapes as an SVG document (paths and linear gradients only).
QString iconSvg();

/// SVG path data for `path`: absolute M, L and C commands, a Z where a
/// subpath returns to its start; numbers with at most two decimals.
QString svgPathData(const QPainterPath &path);

} // namespace zambrel::iconmaker
