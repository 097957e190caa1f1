#include "reports/graph/ui/graph_surface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace zambrel::graph {

GraphSurface::GraphSurface(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("graphSurface"));
    setAccessibleName(QStringLiteral("数据分析 Analytics"));
    setMouseTracking(true);
    // The kept picture covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphSurface::showGraph(const TrendGeometry &geometry, const GraphColours &colours)
{
    m_geometry = geometry;
    m_colours = colours;
    draw();
}

QSize GraphSurface::sizeHint() const
{
    return {810, 540};
}

void GraphSurface::draw()
{
    if (size().isEmpty())
        return;
    m_picture = renderTrendGraph(m_geometry, m_colours, size(), devicePixelRatioF());
    ++m_drawCount;
    update();
}

void GraphSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(event->rect(), m_colours.background);
        return;
    }
    painter.drawImage(QPointF(0, 0), m_picture);
}

void GraphSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    draw();
}

void GraphSurface::mouseMoveEvent(QMouseEvent *event)
{
    const std::optional<PointHit> hit = hitTest(m_geometry, QSizeF(size()), event->position());
    const QString tip = hit ? tipText(*hit) : QString();
    if (tip != toolTip()) {
        setToolTip(tip);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(), tip, this);
    }
    QWidget::mouseMoveEvent(event);
}

void GraphSurface::leaveEvent(QEvent *event)
{
    setToolTip({});
    QWidget::leaveEvent(event);
}

} // namespace zambrel::graph
