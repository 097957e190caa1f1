#include "list_fill.h"

#include "base/number_format.h"
#include "base/status_line.h"
#include "base/twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace zambrel::store {
namespace {

QString cellText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double)
        return base::numberToText(value.toDouble());
    return value.toString();
}

// Hides the list while it is filled and shows it again on every road out.
class HiddenWhileFilling {
public:
    explicit HiddenWhileFilling(QTreeWidget *list) : m_list(list), m_wasHidden(list->isHidden())
    {
        m_list->setHidden(true);
    }
    ~HiddenWhileFilling() { m_list->setHidden(m_wasHidden); }
    HiddenWhileFilling(const HiddenWhileFilling &) = delete;
    HiddenWhileFilling &operator=(const HiddenWhileFilling &) = delete;

private:
    QTreeWidget *m_list;
    bool m_wasHidden;
};

void emptyList(QTreeWidget *list)
{
    list->clear();
    list->setColumnCount(0);
    list->setHeaderLabels({});
}

// The arrow with the hourglass while the rows are read and shown.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor)); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

void fillRows(QTreeWidget *list, const ResultTable &rows, int progress)
{
    const HiddenWhileFilling hidden(list);
    const auto count = static_cast<double>(rows.rows.size());
    int done = 0;
    long shownPercent = -1;
    for (const QVariantList &row : rows.rows) {
        auto *item = new QTreeWidgetItem(list);
        const QVariant first = row.value(0);
        item->setText(0, first.isNull() ? QStringLiteral("NULL") : cellText(first).trimmed());
        for (int field = 1; field < row.size(); ++field) {
            const QVariant &value = row.at(field);
            item->setText(field, value.isNull() ? QString() : cellText(value));
        }
        ++done;
        if (progress >= 1)
            continue;
        // Nearest whole percent, halves to even (the default rounding mode).
        const long percent = std::lrint(done * 100.0 / count);
        // The same percent again would repaint the status bar for nothing:
        // on a shown window that was most of a long list's fill.
        if (percent != shownPercent) {
            shownPercent = percent;
            base::showStatus(QStringLiteral("已完成 ") + QString::number(percent) + QLatin1Char('%'), 1);
            QCoreApplication::processEvents();
        }
    }
}

} // namespace

QStringList headerCaptions(const QString &header)
{
    QString text = header;
    text.replace(QLatin1Char('|'), QLatin1Char(','));
    text = text.trimmed();
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char(','));
}

std::vector<int> headerWidthsTwips(const QStringList &captions, int listWidthTwips)
{
    std::vector<int> widths;
    if (captions.isEmpty() || captions.size() >= 12)
        return widths;
    const double whole = captions.join(QLatin1Char(',')).size();
    for (const QString &caption : captions) {
        const double width = caption.size() / whole * listWidthTwips * 1.13 - 20;
        widths.push_back(std::max(0, static_cast<int>(std::lround(width))));
    }
    return widths;
}

void setListHeader(QTreeWidget *list, QString &header)
{
    emptyList(list);
    list->setRootIsDecorated(false);
    header.replace(QLatin1Char('|'), QLatin1Char(','));
    header = header.trimmed();
    const QStringList captions = headerCaptions(header);
    if (captions.isEmpty())
        return;
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    const std::vector<int> widths = headerWidthsTwips(captions, base::pixelsToTwips(list->width()));
    for (std::size_t column = 0; column < widths.size(); ++column)
        list->setColumnWidth(static_cast<int>(column), base::twipsToPixels(widths[column]));
}

ResultTable readShowingBusy(const std::function<ResultTable()> &read)
{
    const BusyPointer busy;
    return read();
}

void fillList(QTreeWidget *list, const ResultTable &rows, bool useHeader, QString &header,
              const FillListOptions &options)
{
    list->setToolTip(QStringLiteral("双击可以查看明细。"));
    emptyList(list);
    if (!useHeader) {
        QStringList names;
        for (const QString &name : rows.columns)
            names << name.trimmed();
        header = names.join(QLatin1Char(','));
    }
    setListHeader(list, header);

    const QString ready =
        QStringLiteral("准备就绪。共找到 ") + QString::number(rows.rows.size()) + QStringLiteral(" 条记录。");
    if (rows.rows.empty()) {
        if (!options.message.isEmpty()) {
            list->setColumnCount(1);
            list->setHeaderLabels({options.message});
        }
        new QTreeWidgetItem(list, QStringList{QStringLiteral("没有记录。")});
    } else {
        fillRows(list, rows, options.progress);
    }
    base::showStatus(ready, 1);
}

} // namespace zambrel::store
