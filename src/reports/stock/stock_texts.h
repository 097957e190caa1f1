#pragma once

#include <QString>

namespace zambrel::stock {

/// Column captions of the holdings list (month, share name, cost, market
/// value, profit), in the list filling's header form.
inline const QString kHoldingsHeader = QStringLiteral("月份,股票名称,成本,市值,盈利");
/// Column captions of the target table (target, price).
inline const QString kTargetHeader = QStringLiteral("目   标,价格");
/// An item counts as a holding when its type name contains this ("shares").
inline const QString kShareTypeMark = QStringLiteral("股票");
/// The window caption while a chart is being fetched ("querying data").
inline const QString kBusyCaption = QStringLiteral("查询数据中....");

} // namespace zambrel::stock
