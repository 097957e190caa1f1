#include "flat_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace zambrel::skin {
namespace {

// Captions are measured in a box 45 twips (3 pixels) inside the button on
// every side, so they wrap to the width less 6 pixels.
constexpr int kCaptionInset = 3;

} // namespace

FlatButton::FlatButton(const QString &caption, QWidget *parent) : QAbstractButton(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    setCaption(caption);
    connect(this, &QAbstractButton::clicked, this, &FlatButton::onClicked);
}

void FlatButton::setCaption(const QString &caption)
{
    setText(caption);
    setAccessibleName(QString(caption).remove(QLatin1Char('&')).simplified());
    measureCaption();
}

void FlatButton::setButtonFont(const QFont &font)
{
    setFont(font);
}

QSize FlatButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(qMax(81, metrics.horizontalAdvance(text()) + 16), qMax(25, metrics.height() + 10));
}

void FlatButton::measureCaption()
{
    const int wrapWidth = qMax(1, width() - 2 * kCaptionInset);
    const QFontMetrics metrics(font());
    m_textHeight = metrics.boundingRect(QRect(0, 0, wrapWidth, 1 << 20), Qt::TextWordWrap, text()).height();
    drawLook(NormalLook);
}

void FlatButton::drawLook(int look)
{
    m_look = look;
    update();
}

void FlatButton::onClicked()
{
    drawLook(NormalLook);
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = rect();
    QColor back;
    QColor fore;
    int shift = 0;
    if (isEnabled()) {
        if (m_look == HoverLook) {
            back = toQColor(m_backOver);
            fore = toQColor(m_foreOver);
        } else if (m_look == PressedLook) {
            back = toQColor(m_backPush);
            fore = toQColor(m_forePush);
            shift = 1;
        } else {
            back = toQColor(m_backNormal);
            fore = toQColor(m_foreNormal);
        }
    } else {
        back = toQColor(kSysButtonFace);
        fore = toQColor(kSysButtonShadow);
    }
    painter.fillRect(client, back);

    const QRect edge = client.adjusted(0, 0, -1, -1);
    if (!isEnabled()) {
        painter.setPen(fore);
        painter.drawRect(edge);
    } else if (m_look == HoverLook || m_look == PressedLook) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        const bool raised = m_look == HoverLook;
        painter.setPen(raised ? light : dark);
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(raised ? dark : light);
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    } else {
        painter.setPen(Qt::black);
        painter.drawRect(edge);
    }

    if (hasFocus()) {
        painter.save();
        QPen dotted(fore, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(client.adjusted(2, 2, -3, -3));
        painter.restore();
    }

    // The caption block keeps the height measured last, centred vertically.
    const int top = (client.height() - m_textHeight) / 2 + shift;
    const QRect captionRect(kCaptionInset + shift, top, client.width() - 2 * kCaptionInset, m_textHeight);
    painter.setPen(fore);
    painter.setFont(font());
    painter.drawText(captionRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
}

void FlatButton::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    if (!m_measured) {
        m_measured = true;
        measureCaption();
    }
    drawLook(NormalLook);
}

void FlatButton::pointerAt(QPointF pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift)
{
    Q_EMIT mouseMoved(buttons, shift, pos);
    const bool inside = rect().contains(pos.toPoint());
    if (inside) {
        if (!m_hover) {
            drawLook(m_pressed ? PressedLook : HoverLook);
            m_hover = true;
        }
        return;
    }
    drawLook(NormalLook);
    if (!m_pressed)
        m_hover = false;
}

void FlatButton::mouseMoveEvent(QMouseEvent *event)
{
    pointerAt(event->position(), event->buttons(), event->modifiers());
    QAbstractButton::mouseMoveEvent(event);
}

void FlatButton::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position());
    drawLook(PressedLook);
    m_pressed = true;
    QAbstractButton::mousePressEvent(event);
}

void FlatButton::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    pointerAt(event->position(), event->buttons(), event->modifiers());
    Q_EMIT mouseReleased(event->button(), event->modifiers(), event->position());
    QAbstractButton::mouseReleaseEvent(event);
}

void FlatButton::leaveEvent(QEvent *event)
{
    // Without a held button Qt reports leaving instead of moves outside.
    if (!m_pressed && m_hover) {
        drawLook(NormalLook);
        m_hover = false;
    }
    QAbstractButton::leaveEvent(event);
}

void FlatButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void FlatButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void FlatButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    update();
}

void FlatButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    update();
}

void FlatButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        measureCaption();
    else if (event->type() == QEvent::EnabledChange)
        update();
}

} // namespace zambrel::skin
