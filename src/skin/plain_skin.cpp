#include "plain_skin.h"

#include <QPainter>

namespace zambrel::skin {
namespace {

constexpr int kCaptionHeight = 26;
constexpr int kButtonWidth = 20;
constexpr int kButtonHeight = 18;
constexpr int kBorder = 3;

const QColor kCaption(0x34, 0x40, 0x4E);
const QColor kHover(0x4C, 0x5A, 0x6A);
const QColor kPressed(0x22, 0x2A, 0x34);
const QColor kGlyph(0xF2, 0xF4, 0xF6);
const QColor kEdge(0x8A, 0x94, 0xA0);

// System colour values: the button face and the button text of the palette.
constexpr ColourValue kButtonFace = 0x8000000Fu;
constexpr ColourValue kButtonText = 0x80000012u;

QImage filled(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

enum class Glyph { Close, Maximise, Restore, Minimise, OnTop, OnTopSet };

QImage button(Glyph glyph, const QColor &back)
{
    QImage image = filled(kButtonWidth, kButtonHeight, back);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kGlyph, 1.6));
    const QRectF box(6, 5, 8, 8);
    switch (glyph) {
    case Glyph::Close:
        painter.drawLine(box.topLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomLeft());
        break;
    case Glyph::Maximise:
        painter.drawRect(box);
        break;
    case Glyph::Restore:
        painter.drawRect(box.adjusted(0, 2, -2, 0));
        painter.drawLine(box.topLeft() + QPointF(2, 0), box.topRight());
        painter.drawLine(box.topRight(), box.bottomRight() - QPointF(0, 2));
        break;
    case Glyph::Minimise:
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        break;
    case Glyph::OnTop:
    case Glyph::OnTopSet:
        painter.setBrush(glyph == Glyph::OnTopSet ? kGlyph : Qt::transparent);
        painter.drawEllipse(box.center(), 3, 3);
        break;
    }
    return image;
}

} // namespace

SkinBag plainSkin()
{
    SkinWriter writer;
    writer.setPicture(QStringLiteral("TOPLEFT"), filled(8, kCaptionHeight, kCaption));
    writer.setPicture(QStringLiteral("TOPMID"), filled(8, kCaptionHeight, kCaption));
    writer.setPicture(QStringLiteral("TOPRIGHT"), filled(8, kCaptionHeight, kCaption));
    struct Button {
        const char *normal;
        const char *hover;
        const char *pressed;
        Glyph glyph;
    };
    // The restore button names its hover picture 2 and its pressed one 3.
    const Button buttons[] = {
        {"CLOSE", "CLOSE3", "CLOSE2", Glyph::Close},
        {"MAX", "MAX3", "MAX2", Glyph::Maximise},
        {"RES1", "RES2", "RES3", Glyph::Restore},
        {"MIN", "MIN3", "MIN2", Glyph::Minimise},
    };
    for (const Button &b : buttons) {
        writer.setPicture(QLatin1String(b.normal), button(b.glyph, kCaption));
        writer.setPicture(QLatin1String(b.hover), button(b.glyph, kHover));
        writer.setPicture(QLatin1String(b.pressed), button(b.glyph, kPressed));
    }
    writer.setPicture(QStringLiteral("ONTOP1"), button(Glyph::OnTop, kCaption));
    writer.setPicture(QStringLiteral("ONTOP3"), button(Glyph::OnTopSet, kCaption));
    writer.setNumber(QStringLiteral("XOFFSET"), 6);
    writer.setNumber(QStringLiteral("XOFFSET2"), 4);
    writer.setNumber(QStringLiteral("YOFFSET"), 5);
    writer.setNumber(QStringLiteral("FROMRIGHT"), 4);
    writer.setNumber(QStringLiteral("FROMTOP"), (kCaptionHeight - kButtonHeight) / 2);
    writer.setNumber(QStringLiteral("ICONSPACE"), 2);
    // The title is drawn in the surface colour on the dark bar, its shadow in
    // the text colour.
    writer.setColour(QStringLiteral("FORECOLOR"), kButtonFace);
    writer.setColour(QStringLiteral("BackColor"), kButtonText);
    writer.setColour(QStringLiteral("PARENTBACKCOLOR"), kButtonFace);
    writer.setPicture(QStringLiteral("LEFTTOP"), filled(kBorder, 8, kEdge));
    writer.setPicture(QStringLiteral("LEFTMID"), filled(kBorder, 8, kEdge));
    writer.setPicture(QStringLiteral("RIGHTTOP"), filled(kBorder, 8, kEdge));
    writer.setPicture(QStringLiteral("RIGHTMID"), filled(kBorder, 8, kEdge));
    writer.setPicture(QStringLiteral("LEFTBOT"), filled(8, kBorder, kEdge));
    writer.setPicture(QStringLiteral("RIGHTBOT"), filled(8, kBorder, kEdge));
    writer.setPicture(QStringLiteral("BOTTOM"), filled(8, kBorder, kEdge));
    return SkinBag::fromPayload(writer.payload());
}

QString plainSkinPath()
{
    // A resource-style name: no file on disk can have it.
    return QStringLiteral(":/zambrel/plain.jss");
}

} // namespace zambrel::skin
