#pragma once

#include "skin/bitmap_mask.h"
#include "skin/skin_colour.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

namespace zambrel::skin {

class SkinBag;

/// The window buttons of the caption bar, numbered as the hot-button codes.
enum CaptionButton : int {
    NoCaptionButton = -1,
    CloseButton = 0,
    MinimiseButton = 1,
    MaxRestoreButton = 2,
    OnTopButton = 3
};

/// What places the window buttons: the skin's offsets and the widths of the
/// images in each slot (0 for an empty slot).
struct CaptionButtonMetrics {
    int barWidth = 0;
    int fromRight = 0;
    int fromTop = 0;
    int iconSpace = 0;
    QSize close;
    int maxWidth = 0;
    int minWidth = 0;
    int onTopWidth = 0;
};

/// The rectangle of each button; every button is as high as the close image.
QRect captionButtonRect(const CaptionButtonMetrics &metrics, CaptionButton button);
/// The button strictly inside whose rectangle `pos` lies, checked close,
/// maximise, minimise, stay-on-top; NoCaptionButton otherwise.
CaptionButton captionHitTest(const CaptionButtonMetrics &metrics, QPoint pos);

/// Where a window maximised by the caption bar goes: the work area of its
/// screen, whatever side the task bars are on.
QRect maximisedPlacement(const QRect &workArea);

/// The skinned caption bar every window carries along its top: draws the
/// skin, shows icon and title, runs the window buttons, moves the window,
/// maximises into the work area and carries the skin colours onto the host.
class CaptionBar : public QWidget {
    Q_OBJECT
public:
    explicit CaptionBar(QWidget *host);
    ~CaptionBar() override;

    /// Whether the close, maximise and minimise buttons are drawn and the
    /// bar's buttons react at all (off: even a shown stay-on-top button is inert).
    bool windowButtonsEnabled() const { return m_windowButtonsEnabled; }
    void setWindowButtonsEnabled(bool on) { m_windowButtonsEnabled = on; }
    bool isMovable() const { return m_movable; }
    void setMovable(bool on) { m_movable = on; }
    bool staysOnTop() const { return m_onTop; }
    void setStaysOnTop(bool on);
    QString skinPath() const { return m_path; }
    void setSkinPath(const QString &path);
    bool iconShown() const { return m_iconShown; }
    void setIconShown(bool on) { m_iconShown = on; }
    bool onTopButtonShown() const { return m_onTopButtonShown; }
    void setOnTopButtonShown(bool on) { m_onTopButtonShown = on; }
    /// Which window buttons work and whether the borders resize: 0 close
    /// only, 1 all and resizable, 2 all, 3 no maximise, 4 no close.
    int windowStyle() const { return m_windowStyle; }
    void setWindowStyle(int style);
    /// Whether the maximise button is shown and works: not in style 3, and
    /// not on a host whose minimum and maximum size are the same.
    bool canMaximise() const;
    /// The host's frame as the maximise slot shows it: 0 minimised (empty
    /// slot), 1 maximised by the bar (restore image; no borders), 2 normal
    /// (maximise image; the window's top corners are cut).
    int frameState() const { return m_frameState; }
    void setFrameState(int value) { m_frameState = value; }
    /// Re-reads the skin and repaints.
    void redraw();
    void setFont(const QFont &font);
    /// Title colours used while no skin is in force (shadow and face copy).
    ColourValue titleShadowColour() const { return m_titleShadowColour; }
    void setTitleShadowColour(ColourValue value);
    ColourValue titleFaceColour() const { return m_titleFaceColour; }
    void setTitleFaceColour(ColourValue value);
    QString title() const;
    void setTitle(const QString &text);
    /// The title the bar paints: the host's window title, or title() when
    /// the host has none. It is also the bar's accessible name.
    QString shownTitle() const;

    /// Run-time state, read by the host and by tests.
    bool isMaximisedByBar() const { return m_maximisedByBar; }
    int hotButton() const { return m_hotFlag ? m_hot : NoCaptionButton; }
    CaptionButtonMetrics buttonMetrics() const;
    /// Key of the image each slot shows now ("" for an empty slot).
    QString slotImage(CaptionButton button) const;
    /// Height of the bar from the skin's left end, in pixels.
    int barHeight() const { return m_barHeight; }
    /// How often the colour pass ran (it runs once per new path).
    int colourPassCount() const { return m_colourPasses; }
    QRect savedPlacement() const { return m_saved; }

    /// Fills the work area, keeping the placement restore() goes back to:
    /// the window's normal one, or the one kept already while maximised.
    void maximise();
    void restore();

Q_SIGNALS:
    /// Raised at the end of every colour pass: surface colour, text colour.
    void coloursChanged(zambrel::skin::ColourValue surface, zambrel::skin::ColourValue text);
    void heightChanged(int pixels);
    /// A drag on the bar asked the window system to move the host.
    void moveRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// maximise() with `normal` as the placement to go back to, when valid.
    void maximiseFrom(const QRect &normal);
    void showTitleToAssistiveTools();
    void readAndPaint();
    void showInSlot(CaptionButton button, const QString &key);
    QString normalImage(CaptionButton button) const;
    void click(CaptionButton button);
    void toggleMaximised();

    QPointer<QWidget> m_host;
    QString m_path;
    QString m_colourPassPath;
    bool m_colourPassDone = false;
    bool m_movable = true;
    int m_windowStyle = 1;
    bool m_iconShown = true;
    bool m_windowButtonsEnabled = true;
    bool m_onTop = false;
    bool m_onTopButtonShown = false;
    ColourValue m_titleShadowColour = kSysButtonText;
    ColourValue m_titleFaceColour = 0xFFFFFF;
    ColourValue m_surface = 0; // the skin's FORECOLOR
    ColourValue m_text = 0;    // the skin's BackColor
    bool m_skinRead = false;
    int m_frameState = 0;
    QString m_title;
    bool m_maximisedByBar = false;
    QRect m_saved;
    int m_hot = CloseButton;
    bool m_hotFlag = false;
    bool m_pressed = false;
    bool m_dragArmed = false;
    QPoint m_pressPos;
    int m_colourPasses = 0;
    int m_barHeight = 0;
    int m_xOffset = 0, m_xOffset2 = 0, m_yOffset = 0, m_fromRight = 0, m_fromTop = 0, m_iconSpace = 0;
    std::shared_ptr<const SkinBag> m_bag;
    BitmapMask m_left, m_middle, m_right;
    BitmapMask m_slots[4];
    QString m_slotKeys[4];
};

} // namespace zambrel::skin
