#include "toolbar_images.h"

#include "skin/bitmap_mask.h"

#include <QPainter>
#include <QPainterPath>

namespace zambrel::ledger {
namespace {

void drawNew(QPainter &p)
{
    p.setPen(QPen(QColor(0x2E, 0x7D, 0x32), 1.5));
    p.setBrush(QColor(0x66, 0xBB, 0x6A));
    p.drawEllipse(QRectF(3, 3, 18, 18));
    p.setPen(QPen(Qt::black, 2.5));
    p.drawLine(QPointF(12, 7), QPointF(12, 17));
    p.drawLine(QPointF(7, 12), QPointF(17, 12));
}

void drawChange(QPainter &p)
{
    p.setPen(QPen(QColor(0x5D, 0x40, 0x37), 1));
    p.setBrush(QColor(0xFF, 0xB3, 0x00));
    QPainterPath pencil;
    pencil.moveTo(5, 19);
    pencil.lineTo(7, 13);
    pencil.lineTo(17, 3);
    pencil.lineTo(21, 7);
    pencil.lineTo(11, 17);
    pencil.closeSubpath();
    p.drawPath(pencil);
    p.setBrush(QColor(0x42, 0x42, 0x42));
    p.drawPolygon(QPolygonF({QPointF(5, 19), QPointF(7, 13), QPointF(11, 17)}));
    p.setPen(QPen(QColor(0x19, 0x76, 0xD2), 2));
    p.drawLine(QPointF(3, 22), QPointF(21, 22));
}

void drawDelete(QPainter &p)
{
    p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void drawMonth(QPainter &p)
{
    p.setPen(QPen(QColor(0x37, 0x47, 0x4F), 1.2));
    p.setBrush(QColor(0xEC, 0xEF, 0xF1));
    p.drawRect(QRectF(3, 5, 18, 16));
    p.setBrush(QColor(0xE5, 0x39, 0x35));
    p.drawRect(QRectF(3, 5, 18, 5));
    p.setPen(QPen(QColor(0x37, 0x47, 0x4F), 2));
    p.drawLine(QPointF(8, 3), QPointF(8, 7));
    p.drawLine(QPointF(16, 3), QPointF(16, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x37, 0x47, 0x4F));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            p.drawRect(QRectF(6 + column * 5, 12.5 + row * 4, 3, 2.5));
}

void drawSkin(QPainter &p)
{
    p.setPen(QPen(QColor(0x6D, 0x4C, 0x41), 1.2));
    p.setBrush(QColor(0xF5, 0xDE, 0xB3));
    QPainterPath palette;
    palette.addEllipse(QRectF(2, 4, 20, 16));
    QPainterPath hole;
    hole.addEllipse(QRectF(14, 13, 4, 4));
    p.drawPath(palette.subtracted(hole));
    const QColor dots[] = {QColor(0xE5, 0x39, 0x35), QColor(0x1E, 0x88, 0xE5), QColor(0x43, 0xA0, 0x47),
                           QColor(0xFD, 0xD8, 0x35)};
    const QPointF at[] = {QPointF(7, 9), QPointF(12, 7.5), QPointF(17, 9), QPointF(7, 14.5)};
    p.setPen(Qt::NoPen);
    for (int dot = 0; dot < 4; ++dot) {
        p.setBrush(dots[dot]);
        p.drawEllipse(at[dot], 2.2, 2.2);
    }
}

void drawGraph(QPainter &p)
{
    p.setPen(QPen(QColor(0x37, 0x47, 0x4F), 1.5));
    p.drawLine(QPointF(3, 21), QPointF(21, 21));
    p.drawLine(QPointF(3, 21), QPointF(3, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1E, 0x88, 0xE5));
    p.drawRect(QRectF(6, 13, 3.5, 7));
    p.setBrush(QColor(0x43, 0xA0, 0x47));
    p.drawRect(QRectF(11, 8, 3.5, 12));
    p.setBrush(QColor(0xFB, 0x8C, 0x00));
    p.drawRect(QRectF(16, 11, 3.5, 9));
}

} // namespace

QImage drawToolbarImage(int index)
{
    QImage image(kToolbarImageSize, kToolbarImageSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // No smoothing: blended edge pixels near white would survive the mask as
    // a pale fringe.
    switch (index) {
    case 1:
        drawNew(painter);
        break;
    case 2:
        drawChange(painter);
        break;
    case 3:
        drawDelete(painter);
        break;
    case 4:
        drawMonth(painter);
        break;
    case 5:
        drawSkin(painter);
        break;
    case 6:
        drawGraph(painter);
        break;
    default:
        break;
    }
    return image;
}

QImage whiteToTransparent(const QImage &image)
{
    // The mask is white where the key colour is: those pixels become clear.
    const QImage mask = skin::makeMask(image, skin::kMaskKeyColour);
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (qGray(mask.pixel(x, y)) > 127)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return result;
}

} // namespace zambrel::ledger
