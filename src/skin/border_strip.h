#pragma once

#include "skin/bitmap_mask.h"

#include <QWidget>

namespace zambrel::skin {

/// Whether the border strips of `window` may resize it. Its caption bar
/// sets it by its style and state; each window has its own, so that a
/// dialog of one size shown meanwhile leaves the main window's borders
/// resizing it. False until set, and for no window.
bool borderResizeEnabled(const QWidget *window);
void setBorderResizeEnabled(QWidget *window, bool enabled);

/// Which edge a strip covers (its `edge()`); any other value draws nothing
/// and never resizes.
enum BorderType : int { NoBorder = 0, LeftBorder = 1, RightBorder = 2, BottomBorder = 3 };

/// Size of the corner zone at the lower end of a strip, in pixels.
inline constexpr int kCornerZonePixels = 10;

/// The zone under `pos` on a strip of `type` and `size`: 0 the lower-left
/// corner zone, 2 the lower-right corner zone, 1 elsewhere.
int borderZone(int type, QSize size, QPoint pos);
/// Window edges a press in `zone` of a strip resizes; empty for none.
Qt::Edges borderEdges(int type, int zone);
/// The sizing pointer shown over `zone`.
Qt::CursorShape borderCursor(int type, int zone);

/// A skinned border strip. The host window places it along its edge; its
/// thickness comes from the skin (width of the top piece, height of "BOTTOM").
class BorderStrip : public QWidget {
    Q_OBJECT
public:
    explicit BorderStrip(QWidget *parent = nullptr);

    int edge() const { return m_type; }
    void setEdge(int type);
    QString skinPath() const { return m_path; }
    void setSkinPath(const QString &path);
    void redraw();

    /// Width of a side strip or height of the bottom strip, in pixels.
    int thickness() const { return m_thickness; }

Q_SIGNALS:
    void thicknessChanged(int pixels);
    /// A press asked the window system to resize the host along `edges`.
    void resizeRequested(Qt::Edges edges);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void readSkin();

    int m_type = NoBorder;
    QString m_path;
    int m_zone = 1;
    int m_thickness = 0;
    BitmapMask m_first;  // top piece, or the left corner of the bottom strip
    BitmapMask m_second; // middle piece, or the right corner
    BitmapMask m_tile;   // the bottom strip's tiled piece
};

} // namespace zambrel::skin
