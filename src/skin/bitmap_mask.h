#pragma once

#include <QImage>
#include <QPainter>
#include <QString>

namespace zambrel::skin {

/// One bitmap held for plain copies onto a painter.
class BitmapMask {
public:
    /// Releases what is held and loads the file; true when a bitmap is held.
    bool loadFile(const QString &fileName);
    /// Releases what is held and takes `image`; false for a null image.
    bool loadImage(const QImage &image);
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isNull() const { return m_image.isNull(); }
    const QImage &image() const { return m_image; }
    /// Copies the whole bitmap to (x, y); nothing when empty.
    void paint(QPainter &target, int x, int y) const;

private:
    QImage m_image;
};

/// The key colour the program masks with.
inline constexpr QRgb kMaskKeyColour = qRgb(255, 255, 255);

/// Black-and-white image of `source`: pixels of the key colour white, all
/// others black. Also kept as the program-wide mask image.
QImage makeMask(const QImage &source, QRgb key = kMaskKeyColour);
/// The same with black and white exchanged; kept as the inverse mask.
QImage makeInverseMask(const QImage &source, QRgb key = kMaskKeyColour);

/// The images the last mask and inverse-mask calls left behind.
const QImage &maskImage();
const QImage &inverseMaskImage();

} // namespace zambrel::skin
