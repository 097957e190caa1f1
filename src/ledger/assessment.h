#pragma once

#include <QString>

namespace zambrel::ledger {

/// The month's figures the assessment judges.
struct AssessmentFigures {
    double income = 0;         ///< I: income panel total
    double expenditure = 0;    ///< P: actual expenditure total
    double assets = 0;         ///< A: asset panel total (total cost)
    double debts = 0;          ///< D: liabilities panel total
    double salary = 0;         ///< S: income of 工资 items
    double previousAssets = 0; ///< A0: asset total of the month before
    /// Amounts of the month that are no finite number and were left out of
    /// the figures above (MonthSummary::unreadableAmounts).
    int unreadableAmounts = 0;
};

/// The verdict: a line of figures for the status bar and sentences of advice
/// (lines end in CR LF where a sentence asks for it).
struct Assessment {
    QString statusLine;
    QString advice;
};

/// Builds the status line and the advice from the figures. Ratios shown as
/// whole percentages are rounded halves-to-even and may be of any size.
/// When amounts were left out, or a figure is itself no finite number, the
/// status line starts by saying how many, figures that cannot be worked out
/// show base::errorMark(), and the advice starts with a warning instead of
/// ever calling the month healthy.
Assessment assessMonth(const AssessmentFigures &figures);

/// The advice as it is shown and reported: line ends as LF, no blank
/// space at either end.
QString shownAdvice(const QString &advice);

/// `ratio` × 100 rounded to a whole number, halves to even, as text
/// (0.125 -> "12", 0.135 -> "14"); no upper limit; base::errorMark() for a
/// ratio that is no finite number.
QString wholePercent(double ratio);

} // namespace zambrel::ledger
