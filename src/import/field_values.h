#pragma once

#include "import/bill.h"

#include <QDate>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace zambrel::bills {

/// The largest amount a bill row may carry; anything above is a misread.
inline constexpr double kMaxAmount = 1e12;

/// Reads an amount as bills and statements write it: blanks, currency signs
/// (¥, ￥, $, €, 元, CNY, RMB) and digit grouping around it; a sign in front,
/// a minus behind or parentheses make it negative; full-width digits count.
/// With `decimalComma`, "1.234,56" is 1234.56; otherwise "1,234.56" is.
/// Grouping must mark thousands: with a decimal point "12,5" is no amount,
/// with a decimal comma "12.50" is none. Nothing when the text is no number
/// or its size exceeds kMaxAmount.
std::optional<double> parseAmount(QStringView text, bool decimalComma = false);

/// Reads the date at the start of `text` (a time after it is ignored) in
/// the given order: three groups of digits with any separators (2024-03-05,
/// 05.03.2024, 3/5/24, 2024年3月5日) or eight digits in a row (20240305 in
/// year-first order). Two-digit years are 20xx.
std::optional<QDate> parseDate(QStringView text, DateOrder order);

/// An Excel day number (days since 1899-12-30, a fraction for the time), as
/// a sheet stores a date cell.
std::optional<QDate> excelSerialDate(QStringView text);

struct DateOrderChoice {
    DateOrder order = DateOrder::YearMonthDay;
    bool ambiguous = false; ///< another order reads as many of the dates, giving other days
};

/// The one order for a whole file's dates: the one that reads the most of
/// them; among equals year-first, then day-first, then month-first.
DateOrderChoice decideDateOrder(const QStringList &dates);

} // namespace zambrel::bills
