#include "icon_art.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace zambrel::iconmaker {
namespace {

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// Open strokes: each pair of points is one line, or a polyline when a list
// has more than two points.
QPainterPath strokes(std::initializer_list<std::initializer_list<QPointF>> lines)
{
    QPainterPath path;
    for (const auto &line : lines) {
        auto point = line.begin();
        path.moveTo(*point);
        for (++point; point != line.end(); ++point)
            path.lineTo(*point);
    }
    return path;
}

QBrush gradient(QPointF from, QPointF to, const QColor &first, const QColor &last)
{
    QLinearGradient linear(from, to);
    linear.setColorAt(0, first);
    linear.setColorAt(1, last);
    return QBrush(linear);
}

QPen roundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QString number(qreal value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString colourText(const QColor &colour)
{
    return colour.name(QColor::HexRgb);
}

// Appends the SVG paint for `brush` (and its gradient definition to `defs`).
QString fillAttributes(const QBrush &brush, int index, QString &defs)
{
    if (brush.style() == Qt::NoBrush)
        return QStringLiteral(" fill=\"none\"");
    if (const auto *linear = brush.gradient(); linear && linear->type() == QGradient::LinearGradient) {
        const auto *g = static_cast<const QLinearGradient *>(linear);
        const QString id = QStringLiteral("fill%1").arg(index);
        defs += QStringLiteral("    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                               "y1=\"%3\" x2=\"%4\" y2=\"%5\">\n")
                    .arg(id, number(g->start().x()), number(g->start().y()), number(g->finalStop().x()),
                         number(g->finalStop().y()));
        for (const auto &[offset, colour] : g->stops()) {
            defs += QStringLiteral("      <stop offset=\"%1\" stop-color=\"%2\"")
                        .arg(number(offset), colourText(colour));
            if (colour.alpha() != 255)
                defs += QStringLiteral(" stop-opacity=\"%1\"").arg(number(colour.alphaF()));
            defs += QStringLiteral("/>\n");
        }
        defs += QStringLiteral("    </linearGradient>\n");
        return QStringLiteral(" fill=\"url(#%1)\"").arg(id);
    }
    QString text = QStringLiteral(" fill=\"%1\"").arg(colourText(brush.color()));
    if (brush.color().alpha() != 255)
        text += QStringLiteral(" fill-opacity=\"%1\"").arg(number(brush.color().alphaF()));
    return text;
}

QString strokeAttributes(const QPen &pen)
{
    if (pen.style() == Qt::NoPen)
        return {};
    QString text = QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                       .arg(colourText(pen.color()), number(pen.widthF()));
    if (pen.color().alpha() != 255)
        text += QStringLiteral(" stroke-opacity=\"%1\"").arg(number(pen.color().alphaF()));
    switch (pen.capStyle()) {
    case Qt::RoundCap:
        text += QStringLiteral(" stroke-linecap=\"round\"");
        break;
    case Qt::SquareCap:
        text += QStringLiteral(" stroke-linecap=\"square\"");
        break;
    default:
        break;
    }
    switch (pen.joinStyle()) {
    case Qt::RoundJoin:
        text += QStringLiteral(" stroke-linejoin=\"round\"");
        break;
    case Qt::BevelJoin:
        text += QStringLiteral(" stroke-linejoin=\"bevel\"");
        break;
    default:
        break;
    }
    return text;
}

} // namespace

std::vector<IconShape> iconShapes()
{
    const QColor green(0x2f, 0x6f, 0x5e);
    const QColor burgundy(0x9e, 0x2f, 0x28);
    const QColor cream(0xfb, 0xf4, 0xe2);
    const QColor goldEdge(0x8e, 0x62, 0x12);

    std::vector<IconShape> shapes;
    // Tile.
    shapes.push_back({roundedRect({16, 16, 224, 224}, 44),
                      gradient({0, 16}, {0, 240}, QColor(0x46, 0x8d, 0x78), QColor(0x1f, 0x4b, 0x40))});
    // The book: its shadow, the cover (which shows as spine and rim) and the
    // page block; two gold bands across the spine.
    shapes.push_back({roundedRect({60, 46, 148, 184}, 14), QColor(0, 0, 0, 70)});
    shapes.push_back({roundedRect({50, 36, 148, 184}, 14),
                      gradient({50, 0}, {198, 0}, QColor(0xb2, 0x3a, 0x30), QColor(0x7c, 0x22, 0x1f))});
    shapes.push_back({roundedRect({76, 46, 112, 164}, 6), cream});
    shapes.push_back({strokes({{{56, 62}, {70, 62}}, {{56, 194}, {70, 194}}}), Qt::NoBrush,
                      roundPen(QColor(0xe6, 0xbb, 0x55), 5)});
    // The household: a house at the head of the page.
    shapes.push_back({polygon({{96, 100}, {132, 68}, {168, 100}}), burgundy});
    shapes.push_back({roundedRect({104, 96, 56, 38}, 2), green});
    shapes.push_back({roundedRect({125, 110, 14, 24}, 2), cream});
    // Ledger rules and the amount column.
    shapes.push_back({strokes({{{90, 152}, {174, 152}}, {{90, 170}, {150, 170}}, {{90, 188}, {140, 188}}}),
                      Qt::NoBrush, roundPen(QColor(0x9f, 0xb8, 0xc9), 4)});
    shapes.push_back(
        {strokes({{{122, 144}, {122, 196}}}), Qt::NoBrush, roundPen(QColor(0xd9, 0x89, 0x7a), 3)});
    // A coin lying on the page, with a yuan sign.
    shapes.push_back({circle({186, 190}, 38),
                      gradient({0, 152}, {0, 228}, QColor(0xf7, 0xd9, 0x80), QColor(0xc6, 0x8f, 0x28)),
                      roundPen(goldEdge, 5)});
    shapes.push_back({circle({186, 190}, 28), Qt::NoBrush, roundPen(QColor(0xb0, 0x7e, 0x1e), 2.5)});
    shapes.push_back({strokes({{{173, 170}, {186, 188}, {199, 170}},
                               {{186, 188}, {186, 212}},
                               {{174, 192}, {198, 192}},
                               {{174, 202}, {198, 202}}}),
                      Qt::NoBrush, roundPen(QColor(0x6e, 0x4a, 0x0c), 6)});
    return shapes;
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(size) / kIconUnits, qreal(size) / kIconUnits);
    for (const IconShape &shape : iconShapes()) {
        if (shape.fill.style() != Qt::NoBrush)
            painter.fillPath(shape.path, shape.fill);
        if (shape.stroke.style() != Qt::NoPen)
            painter.strokePath(shape.path, shape.stroke);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString svgPathData(const QPainterPath &path)
{
    QStringList parts;
    QPointF subpathStart;
    QPointF last;
    bool open = false;
    auto closeIfReturned = [&] {
        if (open && last == subpathStart)
            parts << QStringLiteral("Z");
        open = false;
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            closeIfReturned();
            subpathStart = last = element;
            parts << QStringLiteral("M%1 %2").arg(number(element.x), number(element.y));
            break;
        case QPainterPath::LineToElement:
            last = element;
            open = true;
            parts << QStringLiteral("L%1 %2").arg(number(element.x), number(element.y));
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            last = end;
            open = true;
            parts << QStringLiteral("C%1 %2 %3 %4 %5 %6")
                         .arg(number(element.x), number(element.y), number(second.x), number(second.y),
                              number(end.x), number(end.y));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    closeIfReturned();
    return parts.join(QLatin1Char(' '));
}

QString iconSvg()
{
    QString defs;
    QString body;
    int index = 0;
    for (const IconShape &shape : iconShapes()) {
        body += QStringLiteral("  <path d=\"%1\"%2%3/>\n")
                    .arg(svgPathData(shape.path), fillAttributes(shape.fill, index, defs),
                         strokeAttributes(shape.stroke));
        ++index;
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n"
                          "  <defs>\n%2  </defs>\n%3</svg>\n")
        .arg(QString::number(kIconUnits), defs, body);
}

} // namespace zambrel::iconmaker
