#include "status_panels.h"

#include "keyboard_indicators.h"

#include "base/clock.h"
#include "base/twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace zambrel::ledger {
namespace {

// Panels 2, 3 and 5 (4 is not made, see the class), what each tells, and
// their widths.
struct IndicatorPanel {
    int panel;
    const char16_t *description;
    int twips;
};
constexpr IndicatorPanel kIndicators[] = {
    {2, u"大写锁定 Caps Lock", 1411},
    {3, u"数字锁定 Num Lock", 1411},
    {5, u"日期 Date", 2647},
};

QString lockText(const std::optional<bool> &state, const char *caption)
{
    return state.value_or(false) ? QString::fromLatin1(caption) : QString();
}

} // namespace

StatusPanels::StatusPanels(QStatusBar *bar) : QObject(bar), m_dateTimer(new QTimer(this))
{
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto *first = new QLabel(bar);
    first->setAccessibleDescription(QStringLiteral("状态 Status"));
    bar->addWidget(first, 1);
    m_panels[0] = first;
    for (const IndicatorPanel &indicator : kIndicators) {
        auto *label = new QLabel(bar);
        label->setFixedWidth(base::twipsToPixels(indicator.twips));
        label->setAlignment(Qt::AlignCenter);
        label->setAccessibleDescription(QString::fromUtf16(indicator.description));
        bar->addPermanentWidget(label);
        m_panels[std::size_t(indicator.panel - 1)] = label;
    }
    m_dateTimer->setSingleShot(true);
    connect(m_dateTimer, &QTimer::timeout, this, [this] {
        updateDate();
        scheduleDate();
    });
    // A lock key pressed in this program shows at once; one pressed in
    // another program shows when this one is used again.
    QCoreApplication::instance()->installEventFilter(this);
    updateIndicators();
    scheduleDate();
}

StatusPanels::~StatusPanels()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

QLabel *StatusPanels::label(int panel) const
{
    return panel < 1 || panel > int(m_panels.size()) ? nullptr : m_panels[std::size_t(panel - 1)];
}

QString StatusPanels::text(int panel) const
{
    const QLabel *shown = label(panel);
    return shown ? shown->text() : QString();
}

void StatusPanels::setText(int panel, const QString &text)
{
    QLabel *shown = label(panel);
    if (!shown)
        return;
    shown->setText(text);
    // The month's status line is cut off in a narrow window; its tip keeps
    // the whole of it.
    if (panel == 1)
        m_panels[0]->setToolTip(text);
}

void StatusPanels::updateIndicators()
{
    const LockKeyStates keys = readLockKeys();
    m_panels[1]->setText(lockText(keys.capsLock, "CAPS"));
    m_panels[2]->setText(lockText(keys.numLock, "NUM"));
    updateDate();
}

void StatusPanels::updateDate()
{
    m_panels[4]->setText(base::today().toString(QStringLiteral("yyyy-MM-dd")));
}

void StatusPanels::scheduleDate()
{
    // Timers stop while the machine sleeps, so the wait is never longer than
    // a minute: after a long sleep the date still turns within a minute.
    const QDateTime now = base::now();
    const qint64 toMidnight = now.msecsTo(QDateTime(now.date().addDays(1), QTime(0, 0)));
    m_dateTimer->start(int(std::clamp<qint64>(toMidnight + 20, 20, 60'000)));
}

bool StatusPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock)
            updateIndicators();
    } else if (event->type() == QEvent::ApplicationStateChange && watched == QCoreApplication::instance()) {
        updateIndicators();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zambrel::ledger
