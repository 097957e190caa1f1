#include "splitter_handle.h"

#include <QMouseEvent>
#include <QPainter>

namespace zambrel::ledger {

SplitterHandle::SplitterHandle(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::SplitHCursor);
    setAccessibleName(QStringLiteral("分隔条"));
}

void SplitterHandle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    const int middle = width() / 2;
    for (int y = height() / 2 - 12; y <= height() / 2 + 12; y += 4)
        painter.drawPoint(middle, y);
}

void SplitterHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    Q_EMIT pressed();
}

void SplitterHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        Q_EMIT moved(qRound(event->position().x()));
}

void SplitterHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    Q_EMIT released();
}

} // namespace zambrel::ledger
