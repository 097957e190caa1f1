#pragma once

#include "store/ledger_records.h"

#include <QDate>
#include <QImage>
#include <QPointF>

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

/// True when a pixel within `reach` of `at` has `colour`, each channel
/// within `tolerance`.
inline bool colourNear(const QImage &image, QPointF at, const QColor &colour, int reach = 1,
                       int tolerance = 0)
{
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QColor seen = image.pixelColor(qRound(at.x()) + dx, qRound(at.y()) + dy);
            if (std::abs(seen.red() - colour.red()) <= tolerance &&
                std::abs(seen.green() - colour.green()) <= tolerance &&
                std::abs(seen.blue() - colour.blue()) <= tolerance)
                return true;
        }
    }
    return false;
}

/// How many pixels of `image` have `colour`, each channel within `tolerance`.
inline int pixelsOf(const QImage &image, const QColor &colour, int tolerance = 0)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += colourNear(image, QPointF(x, y), colour, 0, tolerance);
    }
    return count;
}

} // namespace zambrel::graph::testing
