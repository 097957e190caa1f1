#include "history_window.h"

#include "history/step_texts.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

namespace zambrel::history {
namespace {

const QString kCaption = QStringLiteral("操作历史 History");
constexpr QSize kContentSize(620, 380);
constexpr int kStepRole = Qt::UserRole;

} // namespace

HistoryWindow::HistoryWindow(QWidget *parent)
    : SkinnedWindow(parent), listLabel(new QLabel(contentArea())), stepList(new QTreeWidget(contentArea())),
      undoToButton(new skin::FlatButton(QStringLiteral("撤销到此 Undo to here"), contentArea())),
      keptNote(new QLabel(contentArea()))
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    listLabel->setObjectName(QStringLiteral("lblHistory"));
    listLabel->setText(QStringLiteral("操作步骤 Steps"));
    listLabel->setBuddy(stepList);
    listLabel->setGeometry(12, 8, 596, 20);
    stepList->setObjectName(QStringLiteral("lvHistory"));
    // A list's accessible table does not take its name from a buddy label.
    stepList->setAccessibleName(listLabel->text());
    stepList->setGeometry(12, 30, 596, 280);
    stepList->setSelectionMode(QAbstractItemView::SingleSelection);
    stepList->setRootIsDecorated(false);
    stepList->setAllColumnsShowFocus(true);
    stepList->setHeaderLabels({QStringLiteral("时间 Time"), QStringLiteral("操作 What"),
                               QStringLiteral("月份 Month"), QStringLiteral("状态 State")});
    stepList->header()->setStretchLastSection(true);
    stepList->setColumnWidth(0, 140);
    stepList->setColumnWidth(1, 250);
    stepList->setColumnWidth(2, 80);
    keptNote->setObjectName(QStringLiteral("lblKept"));
    keptNote->setGeometry(12, 318, 400, 20);
    undoToButton->setObjectName(QStringLiteral("cmdUndoTo"));
    undoToButton->setGeometry(428, 342, 180, 28);
    undoToButton->setEnabled(false);
    setTabOrder(stepList, undoToButton);

    connect(stepList, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::choiceChanged);
    connect(undoToButton, &skin::FlatButton::clicked, this, [this] {
        if (const qint64 step = chosenStep())
            Q_EMIT undoToRequested(step);
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);

    resizeContent(kContentSize);
    setFixedSize(size());
    if (const QScreen *display = QGuiApplication::primaryScreen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::showSteps(const std::vector<store::HistoryStep> &steps, int limit)
{
    const qint64 chosen = chosenStep();
    m_steps = steps;
    const QSignalBlocker quiet(stepList);
    stepList->clear();
    QTreeWidgetItem *again = nullptr;
    for (const store::HistoryStep &step : steps) {
        auto *row =
            new QTreeWidgetItem(stepList, {stepTime(step), stepWhat(step), step.month,
                                           step.undone ? QStringLiteral("已撤销 undone") : QString()});
        row->setData(0, kStepRole, step.id);
        if (step.undone) {
            for (int column = 0; column < row->columnCount(); ++column)
                row->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
        }
        if (step.id == chosen)
            again = row;
    }
    if (again) {
        stepList->setCurrentItem(again);
        again->setSelected(true);
    }
    keptNote->setText(keptStepsNote(limit));
    choiceChanged();
}

qint64 HistoryWindow::chosenStep() const
{
    const QList<QTreeWidgetItem *> selected = stepList->selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(0, kStepRole).toLongLong();
}

void HistoryWindow::choiceChanged()
{
    // Something to undo after the chosen step: a step above it not undone.
    const qint64 chosen = chosenStep();
    bool laterDone = false;
    for (const store::HistoryStep &step : m_steps) {
        if (step.id == chosen)
            break;
        laterDone = laterDone || !step.undone;
    }
    undoToButton->setEnabled(chosen != 0 && laterDone);
}

} // namespace zambrel::history
