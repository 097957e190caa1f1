#pragma once

#include "reports/graph/trend_painter.h"

#include <QImage>
#include <QWidget>

namespace zambrel::graph {

/// The graph as the window shows it: a picture drawn once from a geometry and
/// kept, so covering and uncovering the window only copies it back. It is
/// drawn again only when the geometry, the colours or the size change.
/// Hovering a series point shows its month and amount as the tip.
class GraphSurface : public QWidget {
    Q_OBJECT
public:
    explicit GraphSurface(QWidget *parent = nullptr);

    /// Draws `geometry` in `colours` into the kept picture.
    void showGraph(const TrendGeometry &geometry, const GraphColours &colours);

    const TrendGeometry &geometry() const { return m_geometry; }
    /// The kept picture, of the widget's size times its device pixel ratio.
    const QImage &picture() const { return m_picture; }
    /// How often the picture was drawn (not copied back).
    int drawCount() const { return m_drawCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void draw();

    TrendGeometry m_geometry;
    GraphColours m_colours;
    QImage m_picture;
    int m_drawCount = 0;
};

} // namespace zambrel::graph
