#include "base/month_keys.h"

#include <gtest/gtest.h>

using namespace zambrel::base;

namespace {

TEST(MonthKeys, KeysAndTheMonthBefore)
{
    EXPECT_EQ(monthKeyOf(QDate(2026, 3, 5)), QStringLiteral("2026-03"));
    EXPECT_EQ(monthKeyOf(QDate(2026, 10, 31)), QStringLiteral("2026-10"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-01")), QStringLiteral("2025-12"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-10")), QStringLiteral("2026-09"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-12")), QStringLiteral("2026-11"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("202601")), QString());
    EXPECT_EQ(previousMonthKey(QString()), QString());
}

} // namespace
