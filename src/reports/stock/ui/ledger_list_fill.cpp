#include "reports/stock/ui/ledger_list_fill.h"

#include "store/db_error.h"
#include "store/db_routines.h"
#include "store/message.h"
#include "store/ui/list_fill.h"

#include <QTreeWidget>

namespace zambrel::stock {
namespace {

QString hexNumber(long number)
{
    return QString::number(static_cast<quint32>(number), 16).toUpper();
}

QString cellText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double)
        return store::numberToText(value.toDouble());
    return value.toString();
}

} // namespace

std::optional<store::ResultTable> fillList(QTreeWidget *list, const std::function<store::ResultTable()> &read,
                                           bool useHeader, QString &header)
{
    list->setToolTip(QStringLiteral("双击可以查看明细。"));
    store::ResultTable table;
    try {
        table = read();
    } catch (const store::DbError &error) {
        store::showMessage(QStringLiteral("发生错误，错误信息为：") + hexNumber(error.number()) + u'\n' +
                               QStringLiteral("错误描述：") + error.description(),
                           store::vbCritical, QStringLiteral("有错误发生"));
        store::showStatus(QStringLiteral("发生错误：错误号") + hexNumber(error.number()) +
                              QStringLiteral("。错误描述：") + error.description(),
                          1);
        return std::nullopt;
    }
    if (!useHeader) {
        QStringList names;
        for (const QString &column : table.columns)
            names << column.trimmed();
        header = names.join(u',');
    }
    store::setListHeader(list, header);
    const QString ready = QStringLiteral("准备就绪。共找到 ") + QString::number(table.rows.size()) +
                          QStringLiteral(" 条记录。");
    if (table.rows.empty()) {
        new QTreeWidgetItem(list, QStringList{QStringLiteral("没有记录。")});
        store::showStatus(ready, 1);
        return table;
    }
    const bool wasHidden = list->isHidden();
    list->setHidden(true);
    QList<QTreeWidgetItem *> items;
    items.reserve(static_cast<qsizetype>(table.rows.size()));
    for (const QVariantList &row : table.rows) {
        auto *item = new QTreeWidgetItem;
        for (qsizetype field = 0; field < row.size(); ++field) {
            const QVariant &value = row[field];
            if (field == 0)
                item->setText(0, value.isNull() ? QStringLiteral("NULL") : cellText(value).trimmed());
            else
                item->setText(static_cast<int>(field), value.isNull() ? QString() : cellText(value));
        }
        items.append(item);
    }
    list->addTopLevelItems(items);
    list->setHidden(wasHidden);
    store::showStatus(ready, 1);
    return table;
}

} // namespace zambrel::stock
