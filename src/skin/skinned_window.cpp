#include "skinned_window.h"

#include "skin/js_border.h"
#include "skin/js_caption.h"

#include <QEventLoop>
#include <QHideEvent>

namespace zambrel::skin {

SkinnedWindow::SkinnedWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), JSCAPTION1(new JSCAPTION(this)),
      JSBORDER1(new JSBORDER(this)), JSBORDER2(new JSBORDER(this)), JSBORDER3(new JSBORDER(this)),
      m_content(new QWidget(this))
{
    JSCAPTION1->setObjectName(QStringLiteral("JSCAPTION1"));
    JSBORDER1->setObjectName(QStringLiteral("JSBORDER1"));
    JSBORDER2->setObjectName(QStringLiteral("JSBORDER2"));
    JSBORDER3->setObjectName(QStringLiteral("JSBORDER3"));
    m_content->setObjectName(QStringLiteral("contentArea"));
    JSBORDER1->setBORDERTYPE(LeftBorder);
    JSBORDER2->setBORDERTYPE(RightBorder);
    JSBORDER3->setBORDERTYPE(BottomBorder);
    setAutoFillBackground(true);
    connect(JSCAPTION1, &JSCAPTION::heightChanged, this, &SkinnedWindow::layoutChrome);
    for (JSBORDER *strip : {JSBORDER1, JSBORDER2, JSBORDER3})
        connect(strip, &JSBORDER::thicknessChanged, this, &SkinnedWindow::layoutChrome);
    layoutChrome();
}

SkinnedWindow::~SkinnedWindow()
{
    if (m_loop)
        m_loop->quit();
}

void SkinnedWindow::resizeContent(QSize size)
{
    resize(size.width() + JSBORDER1->thickness() + JSBORDER2->thickness(),
           size.height() + JSCAPTION1->barHeight() + JSBORDER3->thickness());
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
    const int top = JSCAPTION1->barHeight();
    const int left = JSBORDER1->thickness();
    const int right = JSBORDER2->thickness();
    const int bottom = JSBORDER3->thickness();
    const int middle = qMax(0, h - top - bottom);
    JSCAPTION1->setGeometry(0, 0, w, top);
    JSBORDER3->setGeometry(0, h - bottom, w, bottom);
    JSBORDER1->setGeometry(0, top, left, middle);
    JSBORDER2->setGeometry(w - right, top, right, middle);
    m_content->setGeometry(left, top, qMax(0, w - left - right), middle);
    JSCAPTION1->raise();
}

} // namespace zambrel::skin
