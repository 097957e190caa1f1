#include "category_panel.h"

#include "base/twips.h"
#include "panel/category_rows.h"
#include "panel/ui/list_fill.h"
#include "skin/balloon_tip.h"
#include "skin/interface_font.h"
#include "skin/skin_colour.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

namespace zambrel::panel {
namespace {

constexpr int kCaptionHeightTwips = 255;
constexpr int kTotalHeightTwips = 210;
constexpr int kTotalRightTwips = 60;
constexpr int kTotalGapTwips = 5;
constexpr int kTipPopupMs = 6000;

QColor colourOf(Colour value)
{
    return skin::toQColor(value);
}

// The panels are written in a Song face; where it is missing the CJK serif
// (or sans) that the system has takes its place.
QFont songFont(double points, bool bold)
{
    QFont font;
    font.setFamilies(skin::installedFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                              QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")}));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

int pixels(int twips)
{
    return base::twipsToPixels(twips);
}

} // namespace

CategoryPanel::CategoryPanel(CategoryRows *rows, QWidget *parent)
    : QWidget(parent), captionLabel(new QLabel(this)), list(new QTreeWidget(this)),
      totalLabel(new QLabel(this)), m_rows(rows)
{
    captionLabel->setObjectName(QStringLiteral("lblCaption"));
    list->setObjectName(QStringLiteral("lv"));
    totalLabel->setObjectName(QStringLiteral("lblTotal"));

    captionLabel->setFont(songFont(12, true));
    captionLabel->setAutoFillBackground(true);
    captionLabel->setIndent(4);
    list->setFont(songFont(10.5, false));
    m_plainFont = list->font();
    m_boldFont = songFont(10.5, true);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(false);
    list->installEventFilter(this);
    captionLabel->installEventFilter(this);
    totalLabel->setFont(songFont(10.5, true));
    totalLabel->installEventFilter(this);

    connect(m_rows, &CategoryRows::rowsReset, this, &CategoryPanel::rebuild);
    connect(m_rows, &CategoryRows::emptied, this, [this] {
        // As if the list rows had gone: nothing selected, back at the top.
        list->setCurrentItem(nullptr);
        list->clearSelection();
        list->scrollToTop();
        list->horizontalScrollBar()->setValue(0);
    });
    connect(m_rows, &CategoryRows::rowInserted, this, &CategoryPanel::insertRow);
    connect(m_rows, &CategoryRows::rowRemoved, this, &CategoryPanel::removeRow);
    connect(m_rows, &CategoryRows::cellsChanged, this, &CategoryPanel::refreshCells);
    connect(m_rows, &CategoryRows::totalChanged, this, &CategoryPanel::showTotal);
    connect(m_rows, &CategoryRows::captionChanged, this, &CategoryPanel::showCaption);
    connect(m_rows, &CategoryRows::memoTipRequested, this, &CategoryPanel::showMemoTip);
    connect(list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { rowClicked(item); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, &CategoryPanel::rowDoubleClicked);

    showCaption();
    showTotal(m_rows->totalText());
    rebuild();
}

CategoryPanel::~CategoryPanel() = default;

void CategoryPanel::rebuild()
{
    if (!m_rows)
        return;
    const QStringList columns = m_rows->columns();
    if (columns != m_shownColumns || list->columnCount() != columns.size()) {
        QString header = m_rows->header();
        store::setListHeader(list, header);
        m_shownColumns = columns;
    }
    // Rows already in the list are rewritten in place (a reload often ends
    // with the same rows), the rest added or dropped at the end.
    const int wanted = m_rows->rowCount();
    if (wanted == 0)
        list->clear();
    while (list->topLevelItemCount() > wanted)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    const int kept = list->topLevelItemCount();
    for (int row = 0; row < kept; ++row)
        writeItem(list->topLevelItem(row), row);
    if (wanted > kept) {
        // New rows are filled before they join the list, which then takes
        // them in one insertion; a row can span only once it is in the list.
        QList<QTreeWidgetItem *> items;
        items.reserve(wanted - kept);
        for (int row = kept; row < wanted; ++row)
            items << newItem(row);
        list->addTopLevelItems(items);
        for (int row = kept; row < wanted; ++row)
            if (spansRow(m_rows->row(row)))
                list->setFirstColumnSpanned(row, QModelIndex(), true);
    }
    resizeColumns();
}

void CategoryPanel::insertRow(int row)
{
    if (!m_rows)
        return;
    list->insertTopLevelItem(row, newItem(row));
    if (spansRow(m_rows->row(row)))
        list->setFirstColumnSpanned(row, QModelIndex(), true);
    scheduleColumnFit();
}

void CategoryPanel::removeRow(int row)
{
    delete list->takeTopLevelItem(row);
}

void CategoryPanel::refreshCells()
{
    if (!m_rows)
        return;
    const int count = qMin(list->topLevelItemCount(), m_rows->rowCount());
    for (int row = 0; row < count; ++row)
        writeItem(list->topLevelItem(row), row);
    scheduleColumnFit();
}

bool CategoryPanel::spansRow(const CategoryRow &source) const
{
    // A group row carries only its title: it runs across the row.
    const int columns = m_rows->columnCount();
    for (int column = 1; column < columns; ++column) {
        if (!source.text(column).isEmpty())
            return false;
    }
    return true;
}

QTreeWidgetItem *CategoryPanel::newItem(int row) const
{
    const CategoryRow &source = m_rows->row(row);
    const int columns = m_rows->columnCount();
    auto *item = new QTreeWidgetItem;
    for (int column = 0; column < columns; ++column) {
        const CategoryCell &cell = source.cell(column);
        if (!cell.text.isEmpty())
            item->setText(column, cell.text);
        if (cell.bold)
            item->setFont(column, m_boldFont);
        if (cell.colour)
            item->setForeground(column, QBrush(colourOf(*cell.colour)));
        if (column >= 2)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

void CategoryPanel::writeItem(QTreeWidgetItem *item, int row)
{
    if (!m_rows)
        return;
    const CategoryRow &source = m_rows->row(row);
    const int columns = m_rows->columnCount();
    const bool spans = spansRow(source);
    if (item->isFirstColumnSpanned() != spans)
        item->setFirstColumnSpanned(spans);
    // Only what differs is written: each write of an item in the list
    // notifies the view, and a reload rewrites every row.
    for (int column = 0; column < columns; ++column) {
        const CategoryCell &cell = source.cell(column);
        if (item->text(column) != cell.text)
            item->setText(column, cell.text);
        if (item->font(column).bold() != cell.bold)
            item->setFont(column, cell.bold ? m_boldFont : m_plainFont);
        if (cell.colour) {
            const QBrush wanted(colourOf(*cell.colour));
            if (item->foreground(column) != wanted)
                item->setForeground(column, wanted);
        } else if (item->data(column, Qt::ForegroundRole).isValid()) {
            item->setData(column, Qt::ForegroundRole, QVariant()); // back to the list's own colour
        }
        if (column >= 2 && item->textAlignment(column) != int(Qt::AlignRight | Qt::AlignVCenter))
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CategoryPanel::showCaption()
{
    if (!m_rows)
        return;
    captionLabel->setText(m_rows->caption());
    list->setAccessibleName(m_rows->caption());
    applyLabelColours();
}

void CategoryPanel::applyLabelColours()
{
    if (!m_rows || m_colouring)
        return;
    m_colouring = true;
    const auto paint = [](QLabel *label, const QColor &ground, const QColor &text) {
        QPalette palette = label->palette();
        if (palette.color(QPalette::Window) != ground || palette.color(QPalette::WindowText) != text) {
            palette.setColor(QPalette::Window, ground);
            palette.setColor(QPalette::WindowText, text);
            label->setPalette(palette);
        }
        label->setAutoFillBackground(true);
    };
    paint(captionLabel, colourOf(m_rows->captionBackground()), Qt::black);
    // The total line keeps the list's light ground whatever the skin's
    // surface is, so its blue or light red text stays readable.
    paint(totalLabel, list->palette().color(QPalette::Base), colourOf(m_rows->totalTextColour()));
    m_colouring = false;
}

void CategoryPanel::showTotal(const QString &text)
{
    totalLabel->setText(text);
    layoutParts();
}

int CategoryPanel::modelRow(QTreeWidgetItem *item) const
{
    if (!m_rows || !item)
        return -1;
    const int row = list->indexOfTopLevelItem(item);
    return row < m_rows->rowCount() ? row : -1;
}

int CategoryPanel::selectedRow() const
{
    QTreeWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? modelRow(item) : -1;
}

void CategoryPanel::showMemoTip()
{
    const int row = selectedRow();
    if (row < 0 || m_rows->row(row).text(1).isEmpty())
        return;
    if (!m_tip)
        m_tip = std::make_unique<skin::BalloonTip>();
    m_tip->attach(list->viewport(), m_rows->memoTipText(), 65, false, skin::BalloonTip::InfoIcon,
                  QStringLiteral("备注"), skin::kSysButtonText, skin::kSysInfoBackground, -1, kTipPopupMs);
    m_tip->setTipFont(QStringLiteral("宋体"), 11, false, false);
    m_tip->showTip();
}

void CategoryPanel::rowClicked(QTreeWidgetItem *item)
{
    const int row = modelRow(item);
    if (row < 0)
        return;
    m_rows->setMemo({});
    // The owner's handler may set the memo before the tip shows.
    Q_EMIT clicked(m_rows->row(row).key);
    showMemoTip();
}

void CategoryPanel::rowDoubleClicked()
{
    const int row = selectedRow();
    if (row >= 0)
        Q_EMIT doubleClicked(m_rows->row(row).key);
}

bool CategoryPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A skin's colour pass recolours every label; the caption strip and the
    // total line take their own colours back.
    if ((watched == captionLabel || watched == totalLabel) && event->type() == QEvent::PaletteChange)
        applyLabelColours();
    if (watched == list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            rowDoubleClicked();
            return true;
        }
        if (key == Qt::Key_Space && list->currentItem()) {
            rowClicked(list->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CategoryPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
    resizeColumns();
}

void CategoryPanel::layoutParts()
{
    // The heights in twips, grown when the font in use needs more room.
    const int captionHeight = qMax(pixels(kCaptionHeightTwips), captionLabel->fontMetrics().height() + 4);
    const int totalHeight = qMax(pixels(kTotalHeightTwips), totalLabel->fontMetrics().height() + 2);
    const int w = width();
    const int h = height();
    captionLabel->setGeometry(0, 0, w, captionHeight);
    const int listHeight = qMax(0, h - captionHeight - totalHeight);
    list->setGeometry(0, captionHeight, w, listHeight);
    const int totalWidth = totalLabel->sizeHint().width();
    totalLabel->setGeometry(qMax(0, w - totalWidth - pixels(kTotalRightTwips)),
                            captionHeight + listHeight + pixels(kTotalGapTwips), totalWidth, totalHeight);
}

void CategoryPanel::resizeColumns()
{
    // Group titles span their rows, so the first column only indents the
    // items; the figures get what they need and the description the rest.
    const int columns = list->columnCount();
    if (columns < 2 || !m_rows)
        return;
    const QFontMetrics plain(list->font());
    QFont boldFont = list->font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    const int padding = 2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 12;
    std::vector<int> widths(columns, 0);
    for (int column = 2; column < columns; ++column)
        widths[column] = plain.horizontalAdvance(m_shownColumns.value(column)) + padding;
    // Figures are digits of nearly equal width: measuring the longest text
    // of each column and weight is enough, and keeps a long month quick.
    std::vector<const QString *> longestPlain(columns, nullptr), longestBold(columns, nullptr);
    const int rows = m_rows->rowCount();
    for (int row = 0; row < rows; ++row) {
        const CategoryRow &source = m_rows->row(row);
        for (int column = 2; column < columns; ++column) {
            const CategoryCell &cell = source.cell(column);
            const QString *&longest = cell.bold ? longestBold[column] : longestPlain[column];
            if (!longest || cell.text.size() > longest->size())
                longest = &cell.text;
        }
    }
    for (int column = 2; column < columns; ++column) {
        if (longestPlain[column])
            widths[column] = qMax(widths[column], plain.horizontalAdvance(*longestPlain[column]) + padding);
        if (longestBold[column])
            widths[column] = qMax(widths[column], bold.horizontalAdvance(*longestBold[column]) + padding);
    }
    // The header keeps no section narrower than its minimum; counted as
    // less, the columns overran the list and a scroll bar came up for it.
    widths[0] = qMax(plain.horizontalAdvance(QStringLiteral("项目")) + padding, list->header()->minimumSectionSize());
    int figures = 0;
    for (int column = 2; column < columns; ++column)
        figures += widths[column];
    // Room for the vertical scroll bar is kept whether it shows or not, so
    // that a long month does not push the figures off to the side.
    const int available = list->width() - 2 * list->frameWidth() -
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    widths[1] =
        qMax(plain.horizontalAdvance(QStringLiteral("描述描述")) + padding, available - widths[0] - figures);
    for (int column = 0; column < columns; ++column)
        list->setColumnWidth(column, widths[column]);
}

void CategoryPanel::scheduleColumnFit()
{
    if (m_fitPending)
        return;
    m_fitPending = true;
    QTimer::singleShot(0, this, [this] {
        m_fitPending = false;
        resizeColumns();
    });
}

} // namespace zambrel::panel
