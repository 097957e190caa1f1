#pragma once

#include "store/ledger_records.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

namespace zambrel::graph {

/// The graph's own coordinates: x runs from kLeft at the left edge to kRight
/// at the right edge, y from kTop at the top edge to kBottom at the bottom.
/// y 0 to 10 spans 0 to the common maximum.
inline constexpr double kLeft = -2;
inline constexpr double kRight = 25;
inline constexpr double kTop = 11;
inline constexpr double kBottom = -1;

/// Point size of the graph's small texts (labels) and of the end-of-line
/// amounts.
inline constexpr double kSmallTextPoints = 9;
inline constexpr double kLargeTextPoints = 18;

/// The lines the graph draws, in drawing order; NetWorth only when asked for.
enum class SeriesKind { Income, Expenditure, Assets, Debt, NetWorth };

/// The four series as the ledger returns them: one point per month that has
/// data, newest month first, at most 24 points each.
struct TrendSeries {
    std::vector<store::MonthAmount> income;
    std::vector<store::MonthAmount> expenditure;
    std::vector<store::MonthAmount> assets;
    std::vector<store::MonthAmount> debt;
};

/// A text placed by its top-left corner, in graph coordinates.
struct GraphText {
    QString text;
    QPointF at;
};

struct GraphLine {
    QPointF from;
    QPointF to;
};

/// One month of the month axis: its grid line at `gridX` and its label.
/// A month of the same year as the month before it (to its left) shows only
/// its month number and sits lower (`lowered`).
struct MonthLabel {
    GraphText label;
    double gridX = 0;
    bool lowered = false;
};

struct SeriesPoint {
    QPointF at; ///< y rounded to 2 decimals
    QString month;
    double amount = 0;
};

/// One line of the graph: its points newest first (left to right) and the
/// amount of its last point printed at the line's end.
struct SeriesLine {
    SeriesKind kind = SeriesKind::Income;
    std::vector<SeriesPoint> points;
    GraphText endLabel; ///< empty text when the line has no points
    int penWidth = 3;   ///< in pixels on the screen
    bool dashed = false;
};

/// A legend entry: the text shown in the series' colour.
struct LegendEntry {
    SeriesKind kind = SeriesKind::Income;
    GraphText label;
};

/// Everything the trend graph draws, as plain numbers in graph coordinates.
struct TrendGeometry {
    /// The largest amount the four series draw, 0 when none is above 0. The
    /// amount labels are made from it.
    double commonMaximum = 0;
    /// What y 10 stands for: the common maximum, or 1 when that is 0.
    double scaleMaximum = 1;
    /// Distance of neighbouring months on the month axis (0.8 from 18 months
    /// on, 1.25 below).
    double monthStep = 1.25;
    /// Where the horizontal grid lines end: the x after the last month.
    double gridEndX = 1;

    GraphLine xAxis;
    GraphLine yAxis;
    std::vector<MonthLabel> months; ///< the month axis, newest first
    std::vector<GraphLine> monthGrid;
    std::vector<GraphLine> amountGrid;   ///< y = -1, 1, 2, ... 11
    std::vector<GraphText> amountLabels; ///< y = -1, 0, 1, ... 10, "#,###"
    std::vector<GraphText> fixedTexts;   ///< "0", "Y 金额", "X月份"
    std::vector<SeriesLine> lines;       ///< in drawing order
    std::vector<LegendEntry> legend;
};

/// Lays the graph out for four series (newest month first).
///
/// The month axis is the income series, one label and grid line per month,
/// as long as every other series' months are among the income months.
/// When a series has a month income lacks (or there is no income), the axis
/// is the newest 24 months of all four series together. Each point sits at
/// the x of its month; a point whose month is not on the axis is not drawn
/// and does not count towards the scale. With `withNetWorth`, a fifth dashed
/// line shows assets − debt for every month present in both.
TrendGeometry layoutTrendGraph(const TrendSeries &series, bool withNetWorth = false);

/// y of an amount against the scale maximum, rounded to 2 decimals.
double amountY(double amount, double scaleMaximum);

/// Graph coordinates to the pixels of a picture of `size` and back.
QPointF toPixels(QPointF graphPoint, QSizeF size);
QPointF toGraph(QPointF pixel, QSizeF size);

/// A series point found under the pointer.
struct PointHit {
    SeriesKind kind = SeriesKind::Income;
    QString month;
    double amount = 0;
};

/// The series point nearest to `pixel` in a picture of `size`, if one lies
/// within `radius` pixels. Of points equally near, the one drawn last (on
/// top) wins.
std::optional<PointHit> hitTest(const TrendGeometry &geometry, QSizeF size, QPointF pixel, double radius = 6);

/// The tip shown for a point: series name, then month and amount "#,##0.00".
QString tipText(const PointHit &hit);

/// The series' name in tips ("收入 Income", ...).
QString seriesName(SeriesKind kind);

} // namespace zambrel::graph
