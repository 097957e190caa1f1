#include "border_strip.h"

#include "skin/skin_cache.h"
#include "skin/skin_file.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace zambrel::skin {
namespace {
constexpr char kBorderResize[] = "zambrelBorderResize";
} // namespace

bool borderResizeEnabled(const QWidget *window)
{
    return window && window->window()->property(kBorderResize).toBool();
}

void setBorderResizeEnabled(QWidget *window, bool enabled)
{
    if (window)
        window->window()->setProperty(kBorderResize, enabled);
}

int borderZone(int type, QSize size, QPoint pos)
{
    const int h = size.height();
    const int w = size.width();
    switch (type) {
    case LeftBorder:
        return pos.y() >= h - kCornerZonePixels && pos.y() <= h ? 0 : 1;
    case RightBorder:
        return pos.y() >= h - kCornerZonePixels && pos.y() <= h ? 2 : 1;
    case BottomBorder:
        if (pos.x() >= 0 && pos.x() <= kCornerZonePixels)
            return 0;
        if (pos.x() >= w - kCornerZonePixels && pos.x() <= w)
            return 2;
        return 1;
    default:
        return 1;
    }
}

Qt::Edges borderEdges(int type, int zone)
{
    switch (type) {
    case LeftBorder:
        return zone == 0   ? (Qt::LeftEdge | Qt::BottomEdge)
               : zone == 1 ? Qt::Edges(Qt::LeftEdge)
                           : Qt::Edges();
    case RightBorder:
        return zone == 2   ? (Qt::RightEdge | Qt::BottomEdge)
               : zone == 1 ? Qt::Edges(Qt::RightEdge)
                           : Qt::Edges();
    case BottomBorder:
        return zone == 0   ? (Qt::LeftEdge | Qt::BottomEdge)
               : zone == 2 ? (Qt::RightEdge | Qt::BottomEdge)
                           : Qt::Edges(Qt::BottomEdge);
    default:
        return {};
    }
}

Qt::CursorShape borderCursor(int type, int zone)
{
    if (zone == 0)
        return Qt::SizeBDiagCursor;
    if (zone == 2)
        return Qt::SizeFDiagCursor;
    return type == BottomBorder ? Qt::SizeVerCursor : Qt::SizeHorCursor;
}

BorderStrip::BorderStrip(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void BorderStrip::setEdge(int type)
{
    m_type = type;
    readSkin();
}

void BorderStrip::setSkinPath(const QString &path)
{
    m_path = path;
    readSkin();
}

void BorderStrip::redraw()
{
    readSkin();
}

void BorderStrip::readSkin()
{
    const auto bag = skin::readSkin(m_path);
    switch (m_type) {
    case LeftBorder:
        m_first.loadImage(bag->picture(QStringLiteral("LEFTTOP")));
        m_second.loadImage(bag->picture(QStringLiteral("LEFTMID")));
        m_tile.loadImage({});
        break;
    case RightBorder:
        m_first.loadImage(bag->picture(QStringLiteral("RIGHTTOP")));
        m_second.loadImage(bag->picture(QStringLiteral("RIGHTMID")));
        m_tile.loadImage({});
        break;
    case BottomBorder:
        m_first.loadImage(bag->picture(QStringLiteral("LEFTBOT")));
        m_second.loadImage(bag->picture(QStringLiteral("RIGHTBOT")));
        m_tile.loadImage(bag->picture(QStringLiteral("BOTTOM")));
        break;
    default:
        m_first.loadImage({});
        m_second.loadImage({});
        m_tile.loadImage({});
        break;
    }
    const int thickness = m_type == BottomBorder ? m_tile.height() : m_first.width();
    if (thickness != m_thickness) {
        m_thickness = thickness;
        Q_EMIT thicknessChanged(thickness);
    }
    update();
}

void BorderStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_type == LeftBorder || m_type == RightBorder) {
        if (m_second.height() > 0)
            for (int y = 0; y < height(); y += m_second.height())
                m_second.paint(painter, 0, y);
        m_first.paint(painter, 0, 0);
    } else if (m_type == BottomBorder) {
        if (m_tile.width() > 0)
            for (int x = 0; x < width(); x += m_tile.width())
                m_tile.paint(painter, x, 0);
        m_first.paint(painter, 0, 0);
        m_second.paint(painter, width() - m_second.width(), 0);
    }
}

void BorderStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (!borderResizeEnabled(window()) || m_type < LeftBorder || m_type > BottomBorder)
        return;
    m_zone = borderZone(m_type, size(), event->position().toPoint());
    setCursor(borderCursor(m_type, m_zone));
}

void BorderStrip::mousePressEvent(QMouseEvent *event)
{
    if (!borderResizeEnabled(window()) || event->button() != Qt::LeftButton)
        return;
    // The press acts on the zone the pointer was last seen in, which a press
    // without a preceding move (touch, tests) takes from the press point.
    m_zone = borderZone(m_type, size(), event->position().toPoint());
    const Qt::Edges edges = borderEdges(m_type, m_zone);
    if (!edges)
        return;
    Q_EMIT resizeRequested(edges);
    if (QWindow *handle = window()->windowHandle())
        handle->startSystemResize(edges);
}

} // namespace zambrel::skin
