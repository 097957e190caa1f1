#include "reports/graph/trend_painter.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace zambrel::graph {
namespace {

// Text sizes in screen pixels: points at 96 dpi.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Room kept between an amount label and the y axis.
constexpr double kAxisGap = 3;
// How far a text is moved, a line at a time, to get clear of another, and
// the room left between the two.
constexpr int kMaxMoves = 6;
constexpr double kTextGap = 2;

// A text as drawn: its baseline origin and the box its ink covers, which is
// what must stay inside the picture and clear of other texts.
struct PlacedText {
    QString text;
    QPointF baseline;
    QRectF ink;
    QColor colour;

    PlacedText moved(double dx, double dy) const
    {
        return {text, baseline + QPointF(dx, dy), ink.translated(dx, dy), colour};
    }
};

PlacedText keptInside(const PlacedText &placed, const QRectF &bounds)
{
    QRectF ink = placed.ink;
    if (ink.right() > bounds.right())
        ink.moveRight(bounds.right());
    if (ink.left() < bounds.left())
        ink.moveLeft(bounds.left());
    if (ink.bottom() > bounds.bottom())
        ink.moveBottom(bounds.bottom());
    if (ink.top() < bounds.top())
        ink.moveTop(bounds.top());
    return placed.moved(ink.left() - placed.ink.left(), ink.top() - placed.ink.top());
}

bool overlapsAny(const PlacedText &placed, const std::vector<PlacedText> &taken)
{
    return std::any_of(taken.begin(), taken.end(),
                       [&](const PlacedText &other) { return other.ink.intersects(placed.ink); });
}

// The first of `placed` moved by 0, 1, 2, ... lines down (and, with `upToo`,
// by 1, 2, ... lines up in between) that stays inside the picture and covers
// no taken text. When there is none: as low as the picture allows, or with
// `upToo` where it was.
PlacedText clearOf(const PlacedText &placed, const std::vector<PlacedText> &taken, const QRectF &bounds,
                   bool upToo)
{
    const double line = placed.ink.height() + kTextGap;
    for (int move = 0; move <= kMaxMoves; ++move) {
        for (const int direction : {1, -1}) {
            if (direction < 0 && (!upToo || move == 0))
                continue;
            const PlacedText candidate = placed.moved(0, direction * move * line);
            if (bounds.contains(candidate.ink) && !overlapsAny(candidate, taken))
                return candidate;
        }
    }
    return keptInside(upToo ? placed : placed.moved(0, bounds.height()), bounds);
}

class GraphPainter {
public:
    GraphPainter(QPainter &painter, QSizeF size, const TrendGeometry &geometry, const GraphColours &colours)
        : m_painter(painter), m_size(size), m_bounds(QPointF(0, 0), size), m_geometry(geometry),
          m_colours(colours), m_line(skin::toQColor(colours.line)),
          m_grid(skin::toQColor(gridColourValue(colours.line))), m_small(painter.font()),
          m_large(painter.font())
    {
        m_small.setPixelSize(qRound(kSmallTextPoints * kPixelsPerPoint));
        m_large.setPixelSize(qRound(kLargeTextPoints * kPixelsPerPoint));
    }

    void paint()
    {
        placeTexts();

        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setPen(QPen(m_line, 2));
        drawLine(m_geometry.xAxis);
        drawLine(m_geometry.yAxis);

        m_painter.setPen(QPen(m_line, 1, Qt::DashDotDotLine, Qt::FlatCap));
        for (const GraphLine &line : m_geometry.monthGrid)
            drawLine(line);
        m_painter.setPen(QPen(m_grid, 1, Qt::DotLine, Qt::FlatCap));
        for (const GraphLine &line : m_geometry.amountGrid)
            drawLine(line);

        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
        m_painter.setFont(m_small);
        drawTexts(m_smallTexts);

        m_painter.setFont(m_large);
        for (std::size_t i = 0; i < m_geometry.lines.size(); ++i) {
            drawSeries(m_geometry.lines[i]);
            if (i < m_endTexts.size())
                drawTexts({m_endTexts[i]});
        }
    }

private:
    QPointF at(QPointF graphPoint) const { return toPixels(graphPoint, m_size); }

    void drawLine(const GraphLine &line) { m_painter.drawLine(at(line.from), at(line.to)); }

    PlacedText place(const QFont &font, const GraphText &text, const QColor &colour) const
    {
        const QFontMetricsF metrics(font);
        const QPointF baseline = at(text.at) + QPointF(0, metrics.ascent());
        return {text.text, baseline, metrics.tightBoundingRect(text.text).translated(baseline), colour};
    }

    // Where every text goes, before anything is drawn: fixed texts first,
    // then the month labels (moved down when they would cover one another, as
    // at the turn of a year where two year labels meet), the legend, and the
    // end amounts, which may move either way.
    void placeTexts()
    {
        const double axisLeft = at(QPointF(0, 0)).x() - kAxisGap;
        for (const GraphText &label : m_geometry.amountLabels) {
            if (label.text.isEmpty())
                continue;
            PlacedText placed = place(m_small, label, m_line);
            // Long amounts end before the axis instead of running across it.
            if (placed.ink.right() > axisLeft)
                placed = placed.moved(axisLeft - placed.ink.right(), 0);
            m_smallTexts.push_back(keptInside(placed, m_bounds));
        }
        for (const GraphText &text : m_geometry.fixedTexts)
            m_smallTexts.push_back(keptInside(place(m_small, text, m_line), m_bounds));

        std::vector<PlacedText> months;
        for (const MonthLabel &month : m_geometry.months)
            months.push_back(keptInside(place(m_small, month.label, m_line), m_bounds));
        // A label that covers one to its left moves down, clear of the
        // labels either side, so the newer year keeps the upper row.
        for (std::size_t i = 0; i < months.size(); ++i) {
            const std::vector<PlacedText> earlier(months.begin(), months.begin() + std::ptrdiff_t(i));
            if (!overlapsAny(months[i], earlier))
                continue;
            std::vector<PlacedText> others = m_smallTexts;
            for (std::size_t k = 0; k < months.size(); ++k) {
                if (k != i)
                    others.push_back(months[k]);
            }
            months[i] = clearOf(months[i], others, m_bounds, false);
        }
        m_smallTexts.insert(m_smallTexts.end(), months.begin(), months.end());

        for (const LegendEntry &entry : m_geometry.legend)
            m_smallTexts.push_back(
                keptInside(place(m_small, entry.label, seriesColour(m_colours, entry.kind)), m_bounds));

        std::vector<PlacedText> taken = m_smallTexts;
        for (const SeriesLine &line : m_geometry.lines) {
            PlacedText end{line.endLabel.text, {}, {}, seriesColour(m_colours, line.kind)};
            if (!end.text.isEmpty())
                end = clearOf(place(m_large, line.endLabel, end.colour), taken, m_bounds, true);
            m_endTexts.push_back(end);
            taken.push_back(end);
        }
    }

    void drawTexts(const std::vector<PlacedText> &texts)
    {
        for (const PlacedText &text : texts) {
            if (text.text.isEmpty())
                continue;
            m_painter.setPen(text.colour);
            m_painter.drawText(text.baseline, text.text);
        }
    }

    void drawSeries(const SeriesLine &line)
    {
        if (line.points.empty())
            return;
        QPen pen(seriesColour(m_colours, line.kind), line.penWidth,
                 line.dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_painter.setPen(pen);
        if (line.points.size() == 1) {
            m_painter.drawPoint(at(line.points.front().at));
            return;
        }
        std::vector<QPointF> points;
        points.reserve(line.points.size());
        for (const SeriesPoint &point : line.points)
            points.push_back(at(point.at));
        m_painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }

    QPainter &m_painter;
    QSizeF m_size;
    QRectF m_bounds;
    const TrendGeometry &m_geometry;
    const GraphColours &m_colours;
    QColor m_line;
    QColor m_grid;
    QFont m_small;
    QFont m_large;
    std::vector<PlacedText> m_smallTexts;
    std::vector<PlacedText> m_endTexts; ///< one per line, in drawing order
};

} // namespace

skin::ColourValue gridColourValue(skin::ColourValue line)
{
    return static_cast<skin::ColourValue>((quint64(line) + 1) / 2);
}

QColor seriesColour(const GraphColours &colours, SeriesKind kind)
{
    switch (kind) {
    case SeriesKind::Income:
        return colours.income;
    case SeriesKind::Expenditure:
        return colours.expenditure;
    case SeriesKind::Assets:
        return skin::toQColor(colours.line);
    case SeriesKind::Debt:
        return colours.debt;
    case SeriesKind::NetWorth:
        return colours.netWorth;
    }
    return skin::toQColor(colours.line);
}

void paintTrendGraph(QPainter &painter, const QRectF &target, const TrendGeometry &geometry,
                     const GraphColours &colours, QSizeF logicalSize)
{
    if (logicalSize.isEmpty())
        logicalSize = target.size();
    if (logicalSize.isEmpty() || target.isEmpty())
        return;
    const double scale =
        std::min(target.width() / logicalSize.width(), target.height() / logicalSize.height());
    const QSizeF drawn = logicalSize * scale;

    painter.save();
    painter.translate(target.left() + (target.width() - drawn.width()) / 2,
                      target.top() + (target.height() - drawn.height()) / 2);
    painter.scale(scale, scale);
    const QRectF picture(QPointF(0, 0), logicalSize);
    painter.setClipRect(picture, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.fillRect(picture, colours.background);
    GraphPainter(painter, logicalSize, geometry, colours).paint();
    painter.restore();
}

QImage renderTrendGraph(const TrendGeometry &geometry, const GraphColours &colours, QSize size,
                        qreal devicePixelRatio)
{
    QImage image(size * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(colours.background);
    QPainter painter(&image);
    paintTrendGraph(painter, QRectF(QPointF(0, 0), QSizeF(size)), geometry, colours);
    return image;
}

} // namespace zambrel::graph
