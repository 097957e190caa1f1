#include "caption_bar.h"

#include "skin/border_strip.h"
#include "skin/colour_pass.h"
#include "skin/interface_font.h"
#include "skin/skin_cache.h"
#include "skin/skin_file.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace zambrel::skin {
namespace {

// The bar's height while no skin has been read (400 twips).
constexpr int kUnskinnedHeight = 26;

int leftEdge(const CaptionButtonMetrics &m, CaptionButton button)
{
    const int closeLeft = m.barWidth - m.close.width() - m.fromRight;
    // An empty maximise slot takes no room: minimise moves up to close.
    const int maxLeft = m.maxWidth > 0 ? closeLeft - m.iconSpace - m.maxWidth : closeLeft;
    const int minLeft = maxLeft - m.iconSpace - m.minWidth;
    const int onTopLeft = minLeft - m.iconSpace - m.onTopWidth;
    switch (button) {
    case CloseButton:
        return closeLeft;
    case MaxRestoreButton:
        return maxLeft;
    case MinimiseButton:
        return minLeft;
    case OnTopButton:
        return onTopLeft;
    default:
        return 0;
    }
}

int slotWidth(const CaptionButtonMetrics &m, CaptionButton button)
{
    switch (button) {
    case CloseButton:
        return m.close.width();
    case MaxRestoreButton:
        return m.maxWidth;
    case MinimiseButton:
        return m.minWidth;
    case OnTopButton:
        return m.onTopWidth;
    default:
        return 0;
    }
}

} // namespace

QRect captionButtonRect(const CaptionButtonMetrics &metrics, CaptionButton button)
{
    if (button == NoCaptionButton)
        return {};
    return QRect(leftEdge(metrics, button), metrics.fromTop, slotWidth(metrics, button),
                 metrics.close.height());
}

CaptionButton captionHitTest(const CaptionButtonMetrics &metrics, QPoint pos)
{
    if (!(metrics.fromTop < pos.y() && pos.y() < metrics.fromTop + metrics.close.height()))
        return NoCaptionButton;
    for (CaptionButton button : {CloseButton, MaxRestoreButton, MinimiseButton, OnTopButton}) {
        const int left = leftEdge(metrics, button);
        if (left < pos.x() && pos.x() < left + slotWidth(metrics, button))
            return button;
    }
    return NoCaptionButton;
}

QRect maximisedPlacement(const QRect &workArea)
{
    return workArea;
}

CaptionBar::CaptionBar(QWidget *host) : QWidget(host), m_host(host)
{
    setMouseTracking(true);
    QFont titleFont(installedFamilies(
        {QStringLiteral("Trebuchet MS"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans Serif")}));
    titleFont.setPointSizeF(11.25);
    titleFont.setBold(true);
    QWidget::setFont(titleFont);
    m_barHeight = kUnskinnedHeight;
    setBorderResizeEnabled(host, false);
    if (host)
        host->installEventFilter(this);
}

CaptionBar::~CaptionBar() = default;

void CaptionBar::setStaysOnTop(bool on)
{
    m_onTop = on;
    if (!m_host)
        return;
    const bool visible = m_host->isVisible();
    m_host->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        m_host->show();
}

void CaptionBar::setSkinPath(const QString &path)
{
    m_path = path;
    m_skinRead = true;
    readAndPaint();
}

void CaptionBar::redraw()
{
    if (m_skinRead)
        readAndPaint();
    update();
}

void CaptionBar::setFont(const QFont &font)
{
    QWidget::setFont(font);
    if (m_skinRead)
        readAndPaint();
}

void CaptionBar::setTitleShadowColour(ColourValue value)
{
    m_titleShadowColour = value;
    update();
}

void CaptionBar::setTitleFaceColour(ColourValue value)
{
    m_titleFaceColour = value;
    update();
}

QString CaptionBar::title() const
{
    return m_title;
}

void CaptionBar::setTitle(const QString &text)
{
    m_title = text;
    showTitleToAssistiveTools();
    update();
}

QString CaptionBar::shownTitle() const
{
    return m_host && !m_host->windowTitle().isEmpty() ? m_host->windowTitle() : m_title;
}

void CaptionBar::showTitleToAssistiveTools()
{
    // The title is painted, so the bar names itself with what it paints.
    setAccessibleName(shownTitle());
}

CaptionButtonMetrics CaptionBar::buttonMetrics() const
{
    CaptionButtonMetrics m;
    m.barWidth = width();
    m.fromRight = m_fromRight;
    m.fromTop = m_fromTop;
    m.iconSpace = m_iconSpace;
    m.close = m_slots[CloseButton].image().size();
    m.maxWidth = m_slots[MaxRestoreButton].width();
    m.minWidth = m_slots[MinimiseButton].width();
    m.onTopWidth = m_slots[OnTopButton].width();
    return m;
}

QString CaptionBar::slotImage(CaptionButton button) const
{
    return button == NoCaptionButton ? QString() : m_slotKeys[button];
}

void CaptionBar::showInSlot(CaptionButton button, const QString &key)
{
    m_slotKeys[button] = key;
    m_slots[button].loadImage(key.isEmpty() || !m_bag ? QImage() : m_bag->picture(key));
    update();
}

QString CaptionBar::normalImage(CaptionButton button) const
{
    switch (button) {
    case CloseButton:
        return QStringLiteral("CLOSE");
    case MaxRestoreButton:
        if (!canMaximise())
            return {};
        return m_maximisedByBar ? QStringLiteral("RES1") : QStringLiteral("MAX");
    case MinimiseButton:
        return QStringLiteral("MIN");
    case OnTopButton:
        return m_onTop ? QStringLiteral("ONTOP3") : QStringLiteral("ONTOP1");
    default:
        return {};
    }
}

void CaptionBar::readAndPaint()
{
    if (!m_host || !m_skinRead)
        return;
    m_bag = readSkin(m_path);
    m_left.loadImage(m_bag->picture(QStringLiteral("TOPLEFT")));
    m_middle.loadImage(m_bag->picture(QStringLiteral("TOPMID")));
    m_right.loadImage(m_bag->picture(QStringLiteral("TOPRIGHT")));
    showInSlot(CloseButton, QStringLiteral("CLOSE"));
    if (m_maximisedByBar) {
        showInSlot(MaxRestoreButton, QStringLiteral("RES1"));
        m_frameState = 1;
    } else if (m_host->isMinimized()) {
        showInSlot(MaxRestoreButton, {});
        m_frameState = 0;
    } else {
        showInSlot(MaxRestoreButton, normalImage(MaxRestoreButton));
        m_frameState = 2;
    }
    showInSlot(MinimiseButton, QStringLiteral("MIN"));
    showInSlot(OnTopButton, normalImage(OnTopButton));
    m_xOffset = qint16(m_bag->number(QStringLiteral("XOFFSET")));
    m_xOffset2 = qint16(m_bag->number(QStringLiteral("XOFFSET2")));
    m_yOffset = qint16(m_bag->number(QStringLiteral("YOFFSET")));
    m_fromRight = qint16(m_bag->number(QStringLiteral("FROMRIGHT")));
    m_fromTop = qint16(m_bag->number(QStringLiteral("FROMTOP")));
    m_iconSpace = qint16(m_bag->number(QStringLiteral("ICONSPACE")));
    m_surface = m_bag->colour(QStringLiteral("FORECOLOR"));
    m_text = m_bag->colour(QStringLiteral("BackColor"));
    setBackColour(m_host, toQColor(m_bag->colour(QStringLiteral("PARENTBACKCOLOR"))));

    if (m_left.height() != m_barHeight) {
        m_barHeight = m_left.height();
        Q_EMIT heightChanged(m_barHeight);
    }
    if (m_host->windowState() & Qt::WindowMaximized) {
        // Maximised by the window system: the placement to go back to is
        // the one before, which clearing the state would lose.
        const QRect normal = m_host->normalGeometry();
        m_host->setWindowState(m_host->windowState() & ~Qt::WindowMaximized);
        if (canMaximise())
            maximiseFrom(normal);
    }
    if (m_path != m_colourPassPath) {
        m_colourPassPath = m_path;
        runColourPass(m_host, m_surface, m_text);
        ++m_colourPasses;
        Q_EMIT coloursChanged(m_surface, m_text);
    }
    update();
}

void CaptionBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_middle.width() > 0)
        for (int x = 0; x < width(); x += m_middle.width())
            m_middle.paint(painter, x, 0);
    m_left.paint(painter, 0, 0);
    m_right.paint(painter, width() - m_right.width(), 0);
    if (!m_host)
        return;

    const CaptionButtonMetrics metrics = buttonMetrics();
    auto drawSlot = [&](CaptionButton button) {
        const QRect place = captionButtonRect(metrics, button);
        m_slots[button].paint(painter, place.x(), place.y());
    };
    if (m_windowButtonsEnabled) {
        drawSlot(CloseButton);
        if (m_windowStyle != 0) {
            drawSlot(MaxRestoreButton);
            drawSlot(MinimiseButton);
        }
    }
    if (m_onTopButtonShown)
        drawSlot(OnTopButton);
    if (m_iconShown && !m_host->windowIcon().isNull())
        painter.drawPixmap(m_xOffset2, m_yOffset + 2, m_host->windowIcon().pixmap(16, 16));

    // The title is drawn twice, one pixel apart, as a face over a shadow;
    // it stops short of the leftmost drawn window button.
    const QString text = shownTitle();
    int titleRight = width();
    for (CaptionButton button : {CloseButton, MaxRestoreButton, MinimiseButton, OnTopButton}) {
        const QRect place = captionButtonRect(metrics, button);
        if (place.width() > 0)
            titleRight = qMin(titleRight, place.left());
    }
    const ColourValue face = m_skinRead ? m_surface : m_titleFaceColour;
    const ColourValue shadow = m_skinRead ? m_text : m_titleShadowColour;
    painter.setFont(font());
    painter.setClipRect(QRect(0, 0, titleRight, height()));
    painter.setPen(toQColor(shadow));
    painter.drawText(QRect(m_xOffset + 16, m_yOffset - 1, width(), height()), Qt::AlignLeft | Qt::AlignTop,
                     text);
    painter.setPen(toQColor(face));
    painter.drawText(QRect(m_xOffset + 17, m_yOffset, width(), height()), Qt::AlignLeft | Qt::AlignTop, text);
}

void CaptionBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_maximisedByBar)
        setBorderResizeEnabled(m_host, m_windowStyle == 1);
    readAndPaint();
}

void CaptionBar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragArmed && (event->buttons() & Qt::LeftButton) &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        // The move starts on the first drag, not on the press, so that a
        // double-click on the bar still reaches us.
        m_dragArmed = false;
        Q_EMIT moveRequested();
        if (QWindow *handle = window()->windowHandle())
            handle->startSystemMove();
        return;
    }
    if (!m_windowButtonsEnabled)
        return;
    switch (captionHitTest(buttonMetrics(), pos)) {
    case CloseButton:
        if (m_windowStyle != 4) {
            showInSlot(CloseButton, QStringLiteral("CLOSE3"));
            m_hot = CloseButton;
            m_hotFlag = true;
        }
        break;
    case MaxRestoreButton:
        if (m_windowStyle != 0 && canMaximise()) {
            showInSlot(MaxRestoreButton, m_maximisedByBar ? QStringLiteral("RES2") : QStringLiteral("MAX3"));
            m_hot = MaxRestoreButton;
            m_hotFlag = true;
        }
        break;
    case MinimiseButton:
        if (m_windowStyle != 0) {
            showInSlot(MinimiseButton, QStringLiteral("MIN3"));
            m_hot = MinimiseButton;
            m_hotFlag = true;
        }
        break;
    case OnTopButton:
        if (m_onTopButtonShown) {
            m_hot = OnTopButton;
            m_hotFlag = true;
        }
        break;
    default:
        showInSlot(CloseButton, QStringLiteral("CLOSE"));
        if (m_windowStyle != 0) {
            showInSlot(MaxRestoreButton, normalImage(MaxRestoreButton));
            showInSlot(MinimiseButton, QStringLiteral("MIN"));
        }
        m_hotFlag = false;
        break;
    }
}

void CaptionBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    if (!m_hotFlag) {
        m_dragArmed = m_movable && !m_maximisedByBar;
        m_pressPos = event->position().toPoint();
        return;
    }
    if (!m_windowButtonsEnabled)
        return;
    switch (m_hot) {
    case CloseButton:
        showInSlot(CloseButton, QStringLiteral("CLOSE2"));
        break;
    case MaxRestoreButton:
        showInSlot(MaxRestoreButton, m_maximisedByBar ? QStringLiteral("RES3") : QStringLiteral("MAX2"));
        break;
    case MinimiseButton:
        showInSlot(MinimiseButton, QStringLiteral("MIN2"));
        break;
    default:
        break;
    }
}

void CaptionBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = std::exchange(m_pressed, false);
    m_dragArmed = false;
    if (!m_windowButtonsEnabled || !m_hotFlag)
        return;
    const auto hot = CaptionButton(m_hot);
    if (hot != OnTopButton)
        showInSlot(hot, normalImage(hot));
    if (wasPressed && rect().contains(event->position().toPoint()))
        click(hot);
}

void CaptionBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (captionHitTest(buttonMetrics(), event->position().toPoint()) != NoCaptionButton)
        return;
    if (m_windowStyle != 0 && canMaximise())
        toggleMaximised();
}

void CaptionBar::click(CaptionButton button)
{
    switch (button) {
    case CloseButton:
        if (m_windowStyle != 4 && m_host)
            m_host->close();
        break;
    case OnTopButton:
        setStaysOnTop(!m_onTop);
        showInSlot(OnTopButton, normalImage(OnTopButton));
        break;
    case MaxRestoreButton:
        if (canMaximise())
            toggleMaximised();
        break;
    case MinimiseButton:
        if (m_host)
            m_host->showMinimized();
        m_frameState = 0;
        break;
    default:
        break;
    }
}

void CaptionBar::setWindowStyle(int style)
{
    m_windowStyle = style;
    if (m_skinRead)
        readAndPaint();
}

bool CaptionBar::canMaximise() const
{
    // A window of one fixed size cannot be maximised (nor restored): it
    // shows no maximise button rather than one that does nothing.
    const bool fixedSize = m_host && m_host->minimumSize() == m_host->maximumSize();
    return m_windowStyle != 3 && !fixedSize;
}

void CaptionBar::toggleMaximised()
{
    if (m_maximisedByBar)
        restore();
    else
        maximise();
}

void CaptionBar::maximise()
{
    maximiseFrom({});
}

void CaptionBar::maximiseFrom(const QRect &normal)
{
    const bool wasMaximised = m_maximisedByBar;
    m_maximisedByBar = true;
    setBorderResizeEnabled(m_host, false);
    if (!m_host)
        return;
    QScreen *screen = m_host->screen() ? m_host->screen() : QGuiApplication::primaryScreen();
    if (!screen || !screen->availableGeometry().isValid())
        return;
    // Maximised already, the window's own placement is the work area: the
    // one kept stays.
    if (normal.isValid() && !wasMaximised)
        m_saved = normal;
    else if (!wasMaximised || !m_saved.isValid())
        m_saved = m_host->normalGeometry().isValid() ? m_host->normalGeometry() : m_host->geometry();
    m_host->setGeometry(maximisedPlacement(screen->availableGeometry()));
    readAndPaint();
}

void CaptionBar::restore()
{
    m_maximisedByBar = false;
    if (!m_host || !m_saved.isValid())
        return;
    m_host->setGeometry(m_saved);
    setBorderResizeEnabled(m_host, m_windowStyle == 1);
    readAndPaint();
}

bool CaptionBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
        case QEvent::Show:
            if (m_skinRead)
                readAndPaint();
            break;
        case QEvent::WindowTitleChange:
            showTitleToAssistiveTools();
            update();
            break;
        case QEvent::WindowIconChange:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zambrel::skin
