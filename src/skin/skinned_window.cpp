#include "skinned_window.h"

#include "skin/border_strip.h"
#include "skin/caption_bar.h"

#include <QEventLoop>
#include <QHideEvent>

namespace zambrel::skin {

SkinnedWindow::SkinnedWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), captionBar(new CaptionBar(this)),
      leftBorder(new BorderStrip(this)), rightBorder(new BorderStrip(this)),
      bottomBorder(new BorderStrip(this)), m_content(new QWidget(this))
{
    captionBar->setObjectName(QStringLiteral("JSCAPTION1"));
    leftBorder->setObjectName(QStringLiteral("JSBORDER1"));
    rightBorder->setObjectName(QStringLiteral("JSBORDER2"));
    bottomBorder->setObjectName(QStringLiteral("JSBORDER3"));
    m_content->setObjectName(QStringLiteral("contentArea"));
    leftBorder->setEdge(LeftBorder);
    rightBorder->setEdge(RightBorder);
    bottomBorder->setEdge(BottomBorder);
    setAutoFillBackground(true);
    connect(captionBar, &CaptionBar::heightChanged, this, &SkinnedWindow::layoutChrome);
    for (BorderStrip *strip : {leftBorder, rightBorder, bottomBorder})
        connect(strip, &BorderStrip::thicknessChanged, this, &SkinnedWindow::layoutChrome);
    layoutChrome();
}

SkinnedWindow::~SkinnedWindow()
{
    if (m_loop)
        m_loop->quit();
}

void SkinnedWindow::resizeContent(QSize size)
{
    resize(size.width() + leftBorder->thickness() + rightBorder->thickness(),
           size.height() + captionBar->barHeight() + bottomBorder->thickness());
}

int SkinnedWindow::exec()
{
    if (m_loop)
        return m_result;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    m_loop = &loop;
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    return m_result;
}

void SkinnedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChrome();
}

void SkinnedWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_loop && !event->spontaneous())
        m_loop->quit();
}

void SkinnedWindow::layoutChrome()
{
    const int w = width();
    const int h = height();
    const int top = captionBar->barHeight();
    const int left = leftBorder->thickness();
    const int right = rightBorder->thickness();
    const int bottom = bottomBorder->thickness();
    const int middle = qMax(0, h - top - bottom);
    captionBar->setGeometry(0, 0, w, top);
    bottomBorder->setGeometry(0, h - bottom, w, bottom);
    leftBorder->setGeometry(0, top, left, middle);
    rightBorder->setGeometry(w - right, top, right, middle);
    m_content->setGeometry(left, top, qMax(0, w - left - right), middle);
    captionBar->raise();
}

} // namespace zambrel::skin
