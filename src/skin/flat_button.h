#pragma once

#include "skin/skin_colour.h"

#include <QAbstractButton>

namespace zambrel::skin {

/// The program's flat push button: word-wrapped centred caption, normal,
/// hover, pressed and disabled looks, focus rectangle, Enter and Space.
/// Its six colours follow the skin through the colour pass. `clicked()` is
/// the button's Click.
class FlatButton : public QAbstractButton {
    Q_OBJECT
public:
    enum Look : int { NormalLook = -1, HoverLook = 0, PressedLook = 1 };

    explicit FlatButton(const QString &caption = QStringLiteral("1"), QWidget *parent = nullptr);

    /// Repaints in the current look (after colour changes).
    void refresh() { update(); }

    ColourValue normalBackColour() const { return m_backNormal; }
    void setNormalBackColour(ColourValue value) { m_backNormal = value; }
    ColourValue hoverBackColour() const { return m_backOver; }
    void setHoverBackColour(ColourValue value) { m_backOver = value; }
    ColourValue pressedBackColour() const { return m_backPush; }
    void setPressedBackColour(ColourValue value) { m_backPush = value; }
    ColourValue normalTextColour() const { return m_foreNormal; }
    void setNormalTextColour(ColourValue value) { m_foreNormal = value; }
    ColourValue hoverTextColour() const { return m_foreOver; }
    void setHoverTextColour(ColourValue value) { m_foreOver = value; }
    ColourValue pressedTextColour() const { return m_forePush; }
    void setPressedTextColour(ColourValue value) { m_forePush = value; }

    QString caption() const { return text(); }
    /// Stores the caption (also the accessible name) and re-wraps it.
    void setCaption(const QString &caption);
    void setButtonFont(const QFont &font);

    /// The look last drawn.
    int look() const { return m_look; }
    bool isHovering() const { return m_hover; }
    /// Height of the wrapped caption block, measured at the first resize and
    /// on every caption or font change.
    int captionHeight() const { return m_textHeight; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF pos);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void nextCheckState() override {}

private:
    void pointerAt(QPointF pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift);
    void drawLook(int look);
    void measureCaption();
    void onClicked();

    ColourValue m_backNormal = kSysButtonFace;
    ColourValue m_backOver = 0x80C0FF;
    ColourValue m_backPush = 0xE0E0E0;
    ColourValue m_foreNormal = kSysButtonText;
    ColourValue m_foreOver = kSysButtonText;
    ColourValue m_forePush = kSysButtonText;
    int m_look = NormalLook;
    bool m_hover = false;
    bool m_pressed = false;
    bool m_measured = false;
    int m_textHeight = 0;
};

} // namespace zambrel::skin
