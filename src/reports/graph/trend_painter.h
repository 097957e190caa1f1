#pragma once

#include "reports/graph/trend_geometry.h"
#include "skin/skin_colour.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

namespace zambrel::graph {

/// The colours of the graph. `line` is the text colour the caption bar hands
/// out with its colour event: axes, grid, labels and the assets line.
struct GraphColours {
    skin::ColourValue line = skin::fromRgb(0, 0, 0);
    QColor background = Qt::white;
    QColor income{0, 192, 0};
    QColor expenditure{255, 128, 128};
    QColor debt{0, 0, 255};
    QColor netWorth{160, 0, 160};
};

/// The colour value of the dotted amount grid: the line colour's value halved
/// and rounded (halves up), as one number, not channel by channel.
skin::ColourValue gridColourValue(skin::ColourValue line);

/// The colour a line of the graph, its end amount and its legend entry use.
QColor seriesColour(const GraphColours &colours, SeriesKind kind);

/// Paints the graph. `logicalSize` is the picture's size in screen pixels
/// (the window's drawing area); pen widths and text sizes are given in those
/// pixels (9 and 18 points at 96 dpi). The picture is scaled to fit `target`
/// in the painter's coordinates, keeping its proportions, and centred; an
/// empty `logicalSize` means the target's own size, unscaled, as on the
/// screen. The background is filled, nothing outside the picture is touched,
/// and the painter is left as it was. Texts are kept inside the picture and
/// moved down (month labels) or up and down (end amounts) by a line where they
/// would cover another text.
void paintTrendGraph(QPainter &painter, const QRectF &target, const TrendGeometry &geometry,
                     const GraphColours &colours, QSizeF logicalSize = {});

/// The graph as an image of `size` screen pixels; `devicePixelRatio` above 1
/// gives a sharper image of the same logical size.
QImage renderTrendGraph(const TrendGeometry &geometry, const GraphColours &colours, QSize size,
                        qreal devicePixelRatio = 1);

} // namespace zambrel::graph
