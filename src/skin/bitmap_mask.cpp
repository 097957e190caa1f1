#include "bitmap_mask.h"

namespace zambrel::skin {
namespace {

QImage &storedMask()
{
    static QImage image;
    return image;
}

QImage &storedInverseMask()
{
    static QImage image;
    return image;
}

QImage buildMask(const QImage &source, QRgb key, bool inverted)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage mask(rgb.size(), QImage::Format_RGB32);
    const QRgb keyRgb = key & RGB_MASK;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const bool isKey = (in[x] & RGB_MASK) == keyRgb;
            out[x] = isKey != inverted ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
    }
    return mask;
}

} // namespace

bool BitmapMask::loadFile(const QString &fileName)
{
    m_image = QImage(fileName);
    return !m_image.isNull();
}

bool BitmapMask::loadImage(const QImage &image)
{
    m_image = image;
    return !m_image.isNull();
}

void BitmapMask::paint(QPainter &target, int x, int y) const
{
    if (!m_image.isNull())
        target.drawImage(x, y, m_image);
}

QImage makeMask(const QImage &source, QRgb key)
{
    storedMask() = buildMask(source, key, false);
    return storedMask();
}

QImage makeInverseMask(const QImage &source, QRgb key)
{
    storedInverseMask() = buildMask(source, key, true);
    return storedInverseMask();
}

const QImage &maskImage()
{
    return storedMask();
}

const QImage &inverseMaskImage()
{
    return storedInverseMask();
}

} // namespace zambrel::skin
