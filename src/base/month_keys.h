#pragma once

#include <QDate>
#include <QString>

namespace zambrel::base {

/// The month key "yyyy-mm" of a date (5 March 2026 -> "2026-03").
QString monthKeyOf(const QDate &date);

/// The month key before `monthKey` ("2026-01" -> "2025-12"); empty text when
/// the key holds no "-". Parts that are not numbers count as 0.
QString previousMonthKey(const QString &monthKey);

} // namespace zambrel::base
