#pragma once

#include "skin/skin_colour.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QWidget;

namespace zambrel::skin {

class BalloonTipPopup;

/// A balloon tip attached to one control: a title with an icon over a text
/// whose "|" marks line breaks. Shows after the hover time while the pointer
/// rests on the control and hides after the popup time.
class BalloonTip : public QObject {
    Q_OBJECT
public:
    enum TipIcon : int { NoIcon = 0, InfoIcon = 1, WarningIcon = 2, ErrorIcon = 3 };
    enum TipStyle : int { AlwaysTip = 1, BalloonStyle = 64, KeptStyleBit = 128 };

    explicit BalloonTip(QObject *parent = nullptr);
    ~BalloonTip() override;

    /// Attaches a tip to `control`, replacing any earlier one. Returns false
    /// (and attaches nothing) for a missing control, a style other than 0,
    /// 1, 64 or 65 (bit 128 aside) or an icon outside 0 to 3.
    bool attach(QWidget *control, const QString &text, int style = 65, bool centred = false,
                int icon = NoIcon, const QString &title = {}, ColourValue foreColour = kSysButtonText,
                ColourValue backColour = kSysInfoBackground, int hoverTime = -1, int popupTime = 5000);

    /// Gives the tip a new font, its size limited to 8 to 36 points. Returns
    /// the font in force, or null before attach.
    const QFont *setTipFont(const QString &name, double size, bool bold, bool italic);

    ColourValue backColour() const { return m_back; }
    ColourValue textColour() const { return m_fore; }
    bool isCentred() const { return m_centred; }
    bool fontBold() const { return m_font.bold(); }
    bool fontItalic() const { return m_font.italic(); }
    QString fontName() const { return m_font.family(); }
    double fontSize() const { return m_font.pointSizeF(); }
    int hoverTime() const { return m_hoverTime; }
    int icon() const { return m_icon; }
    QString initialText() const { return m_text; }
    QString initialTitle() const { return m_title; }
    int popupTime() const { return m_popupTime; }
    int tipStyle() const { return m_style; }
    QString text() const { return m_text; }
    QString title() const { return m_title; }

    /// The tip window (null before attach); shown and hidden by the hover.
    QWidget *tipWindow() const;
    void showTip();
    void hideTip();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release();

    QPointer<QWidget> m_control;
    std::unique_ptr<BalloonTipPopup> m_window;
    QTimer m_hoverTimer;
    QTimer m_popupTimer;
    QFont m_font;
    bool m_hasFont = false;
    QString m_text;
    QString m_title;
    int m_style = 0;
    bool m_centred = false;
    int m_icon = NoIcon;
    ColourValue m_fore = kSysButtonText;
    ColourValue m_back = kSysInfoBackground;
    int m_hoverTime = -1;
    int m_popupTime = 0;
};

} // namespace zambrel::skin
