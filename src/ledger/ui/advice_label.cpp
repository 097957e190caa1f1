#include "advice_label.h"

#include <QPainter>
#include <QPen>

namespace zambrel::ledger {

AdviceLabel::AdviceLabel(QWidget *parent) : QLabel(parent)
{
    // Selecting by keyboard would give the label a caret; selecting by mouse
    // still lets Ctrl+A and Ctrl+C take the text.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFocusPolicy(Qt::TabFocus);
}

void AdviceLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A dotted outline in the text's colour, inside the margin: the style's
    // focus frame would tint the text's background as well.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

void AdviceLabel::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void AdviceLabel::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

} // namespace zambrel::ledger
