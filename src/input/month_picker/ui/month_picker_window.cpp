#include "month_picker_window.h"

#include "host/error_report.h"
#include "panel/ui/list_fill.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

namespace zambrel::input {
namespace {

const QString kCaption = QStringLiteral("月份 Months");
constexpr QSize kContentSize(236, 318);

bool isChoosable(const QTreeWidgetItem *item)
{
    return item && item->flags().testFlag(Qt::ItemIsSelectable);
}

} // namespace

MonthPickerWindow::MonthPickerWindow(QWidget *parent)
    : SkinnedWindow(parent), monthList(new QTreeWidget(contentArea())),
      promptLabel(new QLabel(contentArea())),
      okButton(new skin::FlatButton(QStringLiteral("确   定"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取   消"), contentArea()))
{
    setObjectName(QStringLiteral("frmMonth"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    promptLabel->setObjectName(QStringLiteral("lblMonth"));
    promptLabel->setText(QStringLiteral("选择月份"));
    promptLabel->setBuddy(monthList);
    promptLabel->setGeometry(12, 8, 212, 20);
    monthList->setObjectName(QStringLiteral("lv"));
    // A list's accessible table does not take its name from a buddy label.
    monthList->setAccessibleName(promptLabel->text());
    monthList->setGeometry(12, 30, 212, 238);
    monthList->setSelectionMode(QAbstractItemView::SingleSelection);
    monthList->setRootIsDecorated(false);
    monthList->setAllColumnsShowFocus(true);
    // The column is sized wider than the list; a month key always fits.
    monthList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QString header = QStringLiteral("月份");
    store::setListHeader(monthList, header);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setGeometry(12, 280, 100, 28);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(124, 280, 100, 28);
    setTabOrder(monthList, okButton);
    setTabOrder(okButton, cancelButton);

    // A row reached by a click or by the arrow keys is the choice; the click
    // is heard as well because clicking the selected row changes nothing.
    connect(monthList, &QTreeWidget::itemClicked, this, &MonthPickerWindow::rowChosen);
    connect(monthList, &QTreeWidget::itemSelectionChanged, this, &MonthPickerWindow::rowChosen);
    monthList->installEventFilter(this);
    monthList->viewport()->installEventFilter(this);
    connect(okButton, &skin::FlatButton::clicked, this, &MonthPickerWindow::accept);
    connect(cancelButton, &skin::FlatButton::clicked, this, &MonthPickerWindow::reject);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &MonthPickerWindow::reject);

    resizeContent(kContentSize);
    setFixedSize(size());
    if (const QScreen *display = QGuiApplication::primaryScreen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

MonthPickerWindow::~MonthPickerWindow() = default;

void MonthPickerWindow::loadMonths(const std::function<store::ResultTable()> &read)
{
    store::ResultTable rows;
    // A failed read is told on the list's road; the list then stays empty.
    if (host::runReported(host::ErrorRoad::ListQuery, [&] { rows = store::readShowingBusy(read); }))
        return;
    QString header = QStringLiteral("月份");
    store::fillList(monthList, rows, true, header);
    // With no months the list shows a row saying so; it is no month.
    if (rows.rows.empty()) {
        for (int index = 0; index < monthList->topLevelItemCount(); ++index)
            monthList->topLevelItem(index)->setFlags(Qt::ItemIsEnabled);
    }
}

const MonthChoice &MonthPickerWindow::choose()
{
    monthList->setFocus(Qt::OtherFocusReason);
    exec();
    return m_choice;
}

void MonthPickerWindow::accept()
{
    m_choice.confirm();
    hide();
}

void MonthPickerWindow::reject()
{
    m_choice.cancel();
    hide();
}

void MonthPickerWindow::rowChosen()
{
    const QList<QTreeWidgetItem *> selected = monthList->selectedItems();
    if (!selected.isEmpty() && isChoosable(selected.front()))
        m_choice.clickRow(selected.front()->text(0));
}

void MonthPickerWindow::listDoubleClicked()
{
    const QList<QTreeWidgetItem *> selected = monthList->selectedItems();
    std::optional<QString> row;
    if (!selected.isEmpty() && isChoosable(selected.front()))
        row = selected.front()->text(0);
    if (m_choice.doubleClick(row))
        hide();
}

void MonthPickerWindow::closeEvent(QCloseEvent *event)
{
    m_choice.cancel();
    SkinnedWindow::closeEvent(event);
}

bool MonthPickerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == monthList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    if (watched == monthList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The press before it has selected the row under the pointer, if any.
        listDoubleClicked();
        return true;
    }
    return SkinnedWindow::eventFilter(watched, event);
}

} // namespace zambrel::input
