#pragma once

#include "store/ledger_records.h"

#include <QDate>

#include <vector>

namespace zambrel::graph::testing {

/// A series of consecutive months, `newest` ("yyyy-mm") first, one amount each.
inline std::vector<store::MonthAmount> monthly(const char *newest, const std::vector<double> &amounts)
{
    const QDate first = QDate::fromString(QString::fromLatin1(newest) + QStringLiteral("-01"), Qt::ISODate);
    std::vector<store::MonthAmount> points;
    for (std::size_t i = 0; i < amounts.size(); ++i)
        points.push_back({first.addMonths(-int(i)).toString(QStringLiteral("yyyy-MM")), amounts[i]});
    return points;
}

} // namespace zambrel::graph::testing
