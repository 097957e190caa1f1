#include "balloon_tip.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace zambrel::skin {

/// The tip's own window: a rounded balloon with an optional title line.
class BalloonTipPopup : public QWidget {
public:
    BalloonTipPopup() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

    QString title;
    QString text;
    int icon = 0;
    QColor fore;
    QColor back;
    QFont font;
    int maxWidth = 800;

    void relayout()
    {
        const QSize body = textRect().size();
        const QSize head = titleRect().size();
        resize(qMax(body.width(), head.width() + (icon ? 20 : 0)) + 2 * kPad,
               body.height() + (title.isEmpty() ? 0 : head.height() + 4) + 2 * kPad);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.fillPath(shape, back);
        painter.setPen(fore);
        painter.drawPath(shape);
        int y = kPad;
        if (!title.isEmpty()) {
            int x = kPad;
            if (icon) {
                static const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxInformation,
                                                               QStyle::SP_MessageBoxWarning,
                                                               QStyle::SP_MessageBoxCritical};
                painter.drawPixmap(x, y, style()->standardIcon(icons[icon - 1]).pixmap(16, 16));
                x += 20;
            }
            QFont bold = font;
            bold.setBold(true);
            painter.setFont(bold);
            painter.drawText(QRect(QPoint(x, y), titleRect().size()), Qt::AlignLeft | Qt::AlignVCenter,
                             title);
            y += titleRect().height() + 4;
        }
        painter.setFont(font);
        painter.drawText(QRect(QPoint(kPad, y), textRect().size()), Qt::AlignLeft | Qt::TextWordWrap, text);
    }

private:
    static constexpr int kPad = 8;
    QRect titleRect() const
    {
        QFont bold = font;
        bold.setBold(true);
        const QRect r = QFontMetrics(bold).boundingRect(title);
        return QRect(0, 0, r.width() + 2, qMax(r.height(), icon ? 16 : 0));
    }
    QRect textRect() const
    {
        return QFontMetrics(font).boundingRect(QRect(0, 0, maxWidth, 1 << 20), Qt::TextWordWrap, text);
    }
};

BalloonTip::BalloonTip(QObject *parent) : QObject(parent)
{
    m_hoverTimer.setSingleShot(true);
    m_popupTimer.setSingleShot(true);
    connect(&m_hoverTimer, &QTimer::timeout, this, &BalloonTip::showTip);
    connect(&m_popupTimer, &QTimer::timeout, this, &BalloonTip::hideTip);
}

BalloonTip::~BalloonTip()
{
    release();
}

void BalloonTip::release()
{
    m_hoverTimer.stop();
    m_popupTimer.stop();
    if (m_control)
        m_control->removeEventFilter(this);
    m_window.reset();
    m_hasFont = false;
}

bool BalloonTip::attach(QWidget *control, const QString &text, int style, bool centred, int icon,
                        const QString &title, ColourValue foreColour, ColourValue backColour, int hoverTime,
                        int popupTime)
{
    release();
    const int windowStyle = style & ~KeptStyleBit;
    if (!control || !(windowStyle == 0 || windowStyle == AlwaysTip || windowStyle == BalloonStyle ||
                      windowStyle == (AlwaysTip | BalloonStyle)))
        return false;
    if (icon < NoIcon || icon > ErrorIcon)
        return false;

    m_control = control;
    m_style = style;
    m_centred = centred;
    m_icon = icon;
    if (!title.isEmpty())
        m_title = title;
    m_text = QString(text).replace(QLatin1Char('|'), QLatin1Char('\n'));
    if (foreColour == backColour) {
        m_fore = kSysButtonText;
        m_back = kSysInfoBackground;
    } else {
        m_fore = foreColour;
        m_back = backColour;
    }
    m_hoverTime = hoverTime >= 0 && hoverTime < 50 ? 50 : hoverTime;
    m_popupTime = popupTime;

    m_window = std::make_unique<BalloonTipPopup>();
    const QScreen *screen = control->screen();
    m_window->maxWidth = screen ? screen->geometry().width() : 800;
    control->installEventFilter(this);
    setTipFont(QStringLiteral("Tahoma"), 9, false, false);
    return true;
}

const QFont *BalloonTip::setTipFont(const QString &name, double size, bool bold, bool italic)
{
    if (!m_window)
        return nullptr;
    m_font = QFont(name.trimmed());
    m_font.setPointSizeF(qBound(8.0, size, 36.0));
    m_font.setBold(bold);
    m_font.setItalic(italic);
    m_hasFont = true;
    m_window->font = m_font;
    return &m_font;
}

QWidget *BalloonTip::tipWindow() const
{
    return m_window.get();
}

void BalloonTip::showTip()
{
    if (!m_window || !m_control)
        return;
    m_window->title = m_title;
    m_window->text = m_text;
    m_window->icon = m_icon;
    m_window->fore = toQColor(m_fore);
    m_window->back = toQColor(m_back);
    // Painted texts: the tip names itself with what it shows.
    m_window->setAccessibleName(m_title.isEmpty() ? m_text : m_title + u'\n' + m_text);
    m_window->relayout();
    QPoint at = QCursor::pos() + QPoint(0, 20);
    if (m_centred) {
        const QRect area(m_control->mapToGlobal(QPoint(0, 0)), m_control->size());
        at = QPoint(area.center().x() - m_window->width() / 2, area.bottom());
    }
    m_window->move(at);
    m_window->show();
    m_window->raise();
    if (m_popupTime > 0)
        m_popupTimer.start(m_popupTime);
}

void BalloonTip::hideTip()
{
    m_hoverTimer.stop();
    m_popupTimer.stop();
    if (m_window)
        m_window->hide();
}

bool BalloonTip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control) {
        switch (event->type()) {
        case QEvent::Enter: {
            const int delay = m_hoverTime < 0
                                  ? QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay)
                                  : m_hoverTime;
            m_hoverTimer.start(qMax(0, delay));
            break;
        }
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Hide:
            hideTip();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zambrel::skin
