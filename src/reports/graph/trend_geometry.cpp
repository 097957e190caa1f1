#include "reports/graph/trend_geometry.h"

#include "base/number_format.h"

#include <QHash>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zambrel::graph {
namespace {

constexpr double kFirstX = 1;
constexpr double kWideStep = 1.25;
constexpr double kNarrowStep = 0.8;
constexpr std::size_t kNarrowFrom = 18;
constexpr std::size_t kAxisMonths = 24;

double stepFor(std::size_t count)
{
    return count >= kNarrowFrom ? kNarrowStep : kWideStep;
}

// A label starts 2 - 40 / n to the right of its grid line: a third of a unit
// right of it for 24 months, a third left of it for 17. For fewer months that
// shift would run to many units (-38 for one month) and put the labels beside
// other months' lines or off the picture, so below 17 months the labels sit as
// in the 17-month graph.
double labelShift(std::size_t count)
{
    return 2.0 - 40.0 / static_cast<double>(std::max<std::size_t>(count, 17));
}

// The months of the axis, newest first. While every series' months are among
// the income months, those are the axis, as the graph has always been drawn.
// Otherwise a series would lose the months income lacks: the axis is then the
// newest months of all series together, at most a graph's width of them.
std::vector<QString> axisMonths(const TrendSeries &series)
{
    QSet<QString> incomeMonths;
    for (const store::MonthAmount &point : series.income)
        incomeMonths.insert(point.month);
    QSet<QString> all = incomeMonths;
    for (const auto *points : {&series.expenditure, &series.assets, &series.debt}) {
        for (const store::MonthAmount &point : *points)
            all.insert(point.month);
    }
    std::vector<QString> months;
    if (all.size() == incomeMonths.size()) {
        for (const store::MonthAmount &point : series.income)
            months.push_back(point.month);
        return months;
    }
    months.assign(all.cbegin(), all.cend());
    // Month keys sort as text.
    std::sort(months.begin(), months.end(), std::greater<>());
    if (months.size() > kAxisMonths)
        months.resize(kAxisMonths);
    return months;
}

using MonthAxis = QHash<QString, double>;

SeriesLine layoutLine(SeriesKind kind, const std::vector<store::MonthAmount> &points, const MonthAxis &axis,
                      double scaleMaximum)
{
    SeriesLine line;
    line.kind = kind;
    line.penWidth = kind == SeriesKind::Assets || kind == SeriesKind::Debt ? 6 : 3;
    line.dashed = kind == SeriesKind::NetWorth;
    for (const store::MonthAmount &point : points) {
        const auto x = axis.constFind(point.month);
        if (x != axis.cend())
            line.points.push_back(
                {QPointF(*x, amountY(point.amount, scaleMaximum)), point.month, point.amount});
    }
    if (!line.points.empty()) {
        const SeriesPoint &last = line.points.back();
        line.endLabel = {base::formatPicture(last.amount, u"#,###"), last.at};
    }
    return line;
}

std::vector<store::MonthAmount> netWorth(const TrendSeries &series)
{
    QHash<QString, double> debtByMonth;
    for (const store::MonthAmount &debt : series.debt)
        debtByMonth.insert(debt.month, debt.amount);
    std::vector<store::MonthAmount> result;
    for (const store::MonthAmount &assets : series.assets) {
        const auto debt = debtByMonth.constFind(assets.month);
        if (debt != debtByMonth.cend())
            result.push_back({assets.month, assets.amount - *debt});
    }
    return result;
}

QString legendText(SeriesKind kind)
{
    switch (kind) {
    case SeriesKind::Income:
        return QStringLiteral("收 入Prof--");
    case SeriesKind::Expenditure:
        return QStringLiteral("支 出Loss--");
    case SeriesKind::Assets:
        return QStringLiteral("资产Asset--");
    case SeriesKind::Debt:
        return QStringLiteral("负债Liab --");
    case SeriesKind::NetWorth:
        return QStringLiteral("净资产Net--");
    }
    return {};
}

} // namespace

double amountY(double amount, double scaleMaximum)
{
    // Rounded through the "0.00" picture, as the amounts are shown.
    return base::formatPicture(amount * 10 / scaleMaximum, u"0.00").toDouble();
}

TrendGeometry layoutTrendGraph(const TrendSeries &series, bool withNetWorth)
{
    TrendGeometry geometry;
    geometry.xAxis = {QPointF(kLeft, 0), QPointF(kRight, 0)};
    geometry.yAxis = {QPointF(0, -2), QPointF(0, kTop)};

    const std::vector<QString> months = axisMonths(series);
    geometry.monthStep = stepFor(months.size());
    const double shift = labelShift(months.size());
    MonthAxis axis;
    double x = kFirstX;
    QStringView previousYear;
    for (const QString &month : months) {
        const QStringView year = QStringView(month).left(4);
        const bool lowered = year == previousYear;
        const double offset = lowered ? -0.25 : 0;
        const QString text = lowered ? month.right(2) : month;
        previousYear = year;
        geometry.months.push_back({{text, QPointF(x + shift, offset - 0.2)}, x, lowered});
        geometry.monthGrid.push_back({QPointF(x, 0), QPointF(x, kTop)});
        axis.insert(month, x);
        x += geometry.monthStep;
    }
    geometry.gridEndX = x;

    // The scale is set by the points the axis holds: an amount that is not
    // drawn must not squash the ones that are.
    for (const auto *points : {&series.income, &series.expenditure, &series.assets, &series.debt}) {
        for (const store::MonthAmount &point : *points) {
            if (axis.contains(point.month))
                geometry.commonMaximum = std::max(geometry.commonMaximum, point.amount);
        }
    }
    geometry.scaleMaximum = geometry.commonMaximum == 0 ? 1 : geometry.commonMaximum;

    // Horizontal grid and amount labels. The labels come from the common
    // maximum as found, so with nothing above 0 they are empty.
    for (int j = -1; j <= 11; ++j) {
        if (j != 0)
            geometry.amountGrid.push_back({QPointF(0, j), QPointF(geometry.gridEndX, j)});
        if (j != 11)
            geometry.amountLabels.push_back(
                {base::formatPicture(geometry.commonMaximum / 10 * j, u"#,###"), QPointF(-1.3, j + 0.1)});
    }
    geometry.fixedTexts = {{QStringLiteral("0"), QPointF(-0.4, -0.2)},
                           {QStringLiteral("Y 金额"), QPointF(-1.3, 9.6)},
                           {QStringLiteral("X月份"), QPointF(24, -0.5)}};

    const std::pair<SeriesKind, const std::vector<store::MonthAmount> *> lines[] = {
        {SeriesKind::Income, &series.income},
        {SeriesKind::Expenditure, &series.expenditure},
        {SeriesKind::Assets, &series.assets},
        {SeriesKind::Debt, &series.debt}};
    for (const auto &[kind, points] : lines)
        geometry.lines.push_back(layoutLine(kind, *points, axis, geometry.scaleMaximum));
    if (withNetWorth)
        geometry.lines.push_back(
            layoutLine(SeriesKind::NetWorth, netWorth(series), axis, geometry.scaleMaximum));

    // The legend runs along the band above y = 10, which no point reaches.
    double legendX = kFirstX;
    for (const SeriesLine &line : geometry.lines) {
        geometry.legend.push_back({line.kind, {legendText(line.kind), QPointF(legendX, 10.75)}});
        legendX += 4;
    }
    return geometry;
}

QPointF toPixels(QPointF graphPoint, QSizeF size)
{
    return {(graphPoint.x() - kLeft) / (kRight - kLeft) * size.width(),
            (kTop - graphPoint.y()) / (kTop - kBottom) * size.height()};
}

QPointF toGraph(QPointF pixel, QSizeF size)
{
    return {kLeft + pixel.x() / size.width() * (kRight - kLeft),
            kTop - pixel.y() / size.height() * (kTop - kBottom)};
}

std::optional<PointHit> hitTest(const TrendGeometry &geometry, QSizeF size, QPointF pixel, double radius)
{
    std::optional<PointHit> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const SeriesLine &line : geometry.lines) {
        for (const SeriesPoint &point : line.points) {
            const QPointF delta = toPixels(point.at, size) - pixel;
            const double distance = std::hypot(delta.x(), delta.y());
            if (distance <= radius && distance <= bestDistance) {
                bestDistance = distance;
                best = PointHit{line.kind, point.month, point.amount};
            }
        }
    }
    return best;
}

QString seriesName(SeriesKind kind)
{
    switch (kind) {
    case SeriesKind::Income:
        return QStringLiteral("收入 Income");
    case SeriesKind::Expenditure:
        return QStringLiteral("支出 Expenditure");
    case SeriesKind::Assets:
        return QStringLiteral("资产 Assets");
    case SeriesKind::Debt:
        return QStringLiteral("负债 Debt");
    case SeriesKind::NetWorth:
        return QStringLiteral("净资产 Net worth");
    }
    return {};
}

QString tipText(const PointHit &hit)
{
    return QStringLiteral("%1\n%2: %3")
        .arg(seriesName(hit.kind), hit.month, base::formatPicture(hit.amount, u"#,##0.00"));
}

} // namespace zambrel::graph
