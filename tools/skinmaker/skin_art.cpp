#include "skin_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zambrel::skinmaker {
namespace {

enum class Glyph { Close, Maximise, Restore, Minimise, PinLoose, PinFixed };
enum class State { Normal, Hover, Pressed };

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QLinearGradient captionGradient(const SkinDescription &d, int height)
{
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0.0, d.captionTop);
    gradient.setColorAt(d.glassy ? 0.48 : 0.5, d.captionMiddle);
    if (d.glassy)
        gradient.setColorAt(0.52, d.captionMiddle.darker(112));
    gradient.setColorAt(1.0, d.captionBottom);
    return gradient;
}

// A caption piece: the gradient, the outer edge on top, and for the ends the
// outer edge on their side.
QImage captionPiece(const SkinDescription &d, int width, bool leftEdge, bool rightEdge)
{
    const int h = d.captionHeight;
    QImage image = canvas(width, h);
    QPainter p(&image);
    p.fillRect(image.rect(), captionGradient(d, h));
    if (d.glassy) {
        QLinearGradient shine(0, 0, 0, h / 2);
        shine.setColorAt(0, QColor(255, 255, 255, 120));
        shine.setColorAt(1, QColor(255, 255, 255, 20));
        p.fillRect(QRect(0, 1, width, h / 2 - 1), shine);
    }
    p.setPen(d.edge);
    p.drawLine(0, 0, width - 1, 0);
    p.setPen(d.captionTop.lighter(125));
    p.drawLine(0, 1, width - 1, 1);
    p.setPen(d.edge);
    if (leftEdge)
        p.drawLine(0, 0, 0, h - 1);
    if (rightEdge)
        p.drawLine(width - 1, 0, width - 1, h - 1);
    p.setPen(d.captionBottom.darker(140));
    p.drawLine(0, h - 1, width - 1, h - 1);
    return image;
}

void drawGlyph(QPainter &p, Glyph glyph, const QRectF &box, const QColor &colour)
{
    QPen pen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF c = box.center();
    const qreal s = qMin(box.width(), box.height()) * 0.26;
    switch (glyph) {
    case Glyph::Close:
        pen.setWidthF(2.0);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
        p.drawLine(QPointF(c.x() + s, c.y() - s), QPointF(c.x() - s, c.y() + s));
        break;
    case Glyph::Maximise:
        p.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
        p.drawLine(QPointF(c.x() - s, c.y() - s + 1), QPointF(c.x() + s, c.y() - s + 1));
        break;
    case Glyph::Restore:
        p.drawRect(QRectF(c.x() - s + 2, c.y() - s - 1, 2 * s - 2, 2 * s - 2));
        p.setBrush(QColor(0, 0, 0, 0));
        p.drawRect(QRectF(c.x() - s - 1, c.y() - s + 2, 2 * s - 2, 2 * s - 2));
        break;
    case Glyph::Minimise:
        pen.setWidthF(2.0);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - s, c.y() + s * 0.7), QPointF(c.x() + s, c.y() + s * 0.7));
        break;
    case Glyph::PinLoose:
    case Glyph::PinFixed: {
        // A push pin: head, shaft; the fixed pin stands upright and filled.
        p.save();
        p.translate(c);
        if (glyph == Glyph::PinLoose)
            p.rotate(45);
        if (glyph == Glyph::PinFixed)
            p.setBrush(colour);
        p.drawRoundedRect(QRectF(-s * 0.7, -s * 1.3, s * 1.4, s * 1.2), 1.5, 1.5);
        p.drawLine(QPointF(-s * 1.1, -s * 0.1), QPointF(s * 1.1, -s * 0.1));
        p.drawLine(QPointF(0, -s * 0.1), QPointF(0, s * 1.3));
        p.restore();
        break;
    }
    }
}

QImage windowButton(const SkinDescription &d, Glyph glyph, State state, bool isClose)
{
    const int w = d.buttonWidth;
    const int h = d.buttonHeight;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor face = d.buttonFace;
    if (state == State::Hover)
        face = isClose ? d.closeHover : d.buttonFace.lighter(130);
    else if (state == State::Pressed)
        face = (isClose ? d.closeHover : d.buttonFace).darker(135);
    const QRectF body = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, face.lighter(d.glassy ? 150 : 108));
    fill.setColorAt(0.5, face);
    fill.setColorAt(1, face.darker(d.glassy ? 125 : 104));
    p.setPen(d.edge);
    p.setBrush(fill);
    p.drawRoundedRect(body, 3, 3);
    if (d.glassy && state != State::Pressed) {
        QLinearGradient shine(0, 0, 0, h / 2.0);
        shine.setColorAt(0, QColor(255, 255, 255, 150));
        shine.setColorAt(1, QColor(255, 255, 255, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h / 2.0 - 1), 2, 2);
    }
    QRectF glyphBox = image.rect();
    if (state == State::Pressed)
        glyphBox.translate(1, 1);
    if (d.glassy) {
        drawGlyph(p, glyph, glyphBox.translated(0, 1), QColor(0, 0, 0, 90));
    }
    drawGlyph(p, glyph, glyphBox, d.glyph);
    return image;
}

// A border piece: the outer edge line on the outside, the frame colour and
// a darker inner line on the inside. `horizontal` pieces run along x.
QImage borderPiece(const SkinDescription &d, int width, int height, bool horizontal, bool outerAtStart)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const int across = horizontal ? height : width;
    for (int i = 0; i < across; ++i) {
        const int fromOutside = outerAtStart ? i : across - 1 - i;
        QColor colour = fromOutside == 0            ? d.edge
                        : fromOutside == across - 1 ? d.captionBottom.darker(130)
                                                    : (fromOutside == 1 ? d.captionTop : d.captionMiddle);
        p.setPen(colour);
        if (horizontal)
            p.drawLine(0, i, width - 1, i);
        else
            p.drawLine(i, 0, i, height - 1);
    }
    return image;
}

QImage bottomCorner(const SkinDescription &d, bool left)
{
    const int b = d.borderWidth;
    const int w = 2 * b + 4;
    QImage image = borderPiece(d, w, b, true, false);
    QPainter p(&image);
    p.setPen(d.edge);
    const int x = left ? 0 : w - 1;
    p.drawLine(x, 0, x, b - 1);
    // A few grip dots mark the corner that resizes.
    p.setPen(d.captionTop);
    for (int i = 0; i < 3; ++i)
        p.drawPoint(left ? 2 + 2 * i : w - 3 - 2 * i, b / 2);
    return image;
}

} // namespace

void drawSkin(const SkinDescription &d, skin::SkinWriter &out)
{
    out.setPicture(QStringLiteral("TOPLEFT"), captionPiece(d, 32, true, false));
    out.setPicture(QStringLiteral("TOPMID"), captionPiece(d, 8, false, false));
    out.setPicture(QStringLiteral("TOPRIGHT"), captionPiece(d, 12, false, true));

    struct Button {
        const char *key;
        Glyph glyph;
        State state;
        bool isClose;
    };
    const Button buttons[] = {
        {"CLOSE", Glyph::Close, State::Normal, true},      {"CLOSE3", Glyph::Close, State::Hover, true},
        {"CLOSE2", Glyph::Close, State::Pressed, true},    {"MAX", Glyph::Maximise, State::Normal, false},
        {"MAX3", Glyph::Maximise, State::Hover, false},    {"MAX2", Glyph::Maximise, State::Pressed, false},
        {"RES1", Glyph::Restore, State::Normal, false},    {"RES2", Glyph::Restore, State::Hover, false},
        {"RES3", Glyph::Restore, State::Pressed, false},   {"MIN", Glyph::Minimise, State::Normal, false},
        {"MIN3", Glyph::Minimise, State::Hover, false},    {"MIN2", Glyph::Minimise, State::Pressed, false},
        {"ONTOP1", Glyph::PinLoose, State::Normal, false}, {"ONTOP3", Glyph::PinFixed, State::Pressed, false},
    };
    for (const Button &b : buttons)
        out.setPicture(QLatin1String(b.key), windowButton(d, b.glyph, b.state, b.isClose));

    const int b = d.borderWidth;
    out.setPicture(QStringLiteral("LEFTTOP"), borderPiece(d, b, 24, false, true));
    out.setPicture(QStringLiteral("LEFTMID"), borderPiece(d, b, 8, false, true));
    out.setPicture(QStringLiteral("RIGHTTOP"), borderPiece(d, b, 24, false, false));
    out.setPicture(QStringLiteral("RIGHTMID"), borderPiece(d, b, 8, false, false));
    out.setPicture(QStringLiteral("BOTTOM"), borderPiece(d, 8, b, true, false));
    out.setPicture(QStringLiteral("LEFTBOT"), bottomCorner(d, true));
    out.setPicture(QStringLiteral("RIGHTBOT"), bottomCorner(d, false));

    out.setNumber(QStringLiteral("XOFFSET"), d.xOffset);
    out.setNumber(QStringLiteral("XOFFSET2"), d.xOffset2);
    out.setNumber(QStringLiteral("YOFFSET"), d.yOffset);
    out.setNumber(QStringLiteral("FROMRIGHT"), d.fromRight);
    out.setNumber(QStringLiteral("FROMTOP"), d.fromTop);
    out.setNumber(QStringLiteral("ICONSPACE"), d.iconSpace);
    out.setColour(QStringLiteral("FORECOLOR"), skin::fromQColor(d.surface));
    out.setColour(QStringLiteral("BackColor"), skin::fromQColor(d.text));
    out.setColour(QStringLiteral("PARENTBACKCOLOR"), skin::fromQColor(d.parentBack));
}

} // namespace zambrel::skinmaker
