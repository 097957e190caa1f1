#include "reports/stock/ui/chart_picture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace zambrel::stock {

ChartPicture::ChartPicture(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void ChartPicture::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void ChartPicture::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    setAccessibleDescription(hint);
    update();
}

void ChartPicture::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    if (!m_picture.isNull())
        painter.drawImage(area.topLeft(), m_picture);
    if (!m_hint.isEmpty()) {
        const QString line = fontMetrics().elidedText(m_hint, Qt::ElideRight, area.width() - 16);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, line);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = area.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ChartPicture::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void ChartPicture::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Q_EMIT clicked();
    QFrame::mouseReleaseEvent(event);
}

void ChartPicture::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            Q_EMIT clicked();
        event->accept();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

} // namespace zambrel::stock
