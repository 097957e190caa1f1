#pragma once

#include "ledger/month_summary.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// One row of a category list as the main window shows it.
struct ReportRow {
    bool isGroup = false;
    QString group;          ///< the group the row stands under (type + category word)
    QStringList cells;      ///< one text per column, as shown
    std::vector<bool> bold; ///< per column: shown in bold (a large share)
};

/// One of the four category lists.
struct ReportCategory {
    QString key;         ///< income, expenditure, assets or liabilities
    QString caption;     ///< the caption over the list, e.g. "收入 Profit"
    QStringList columns; ///< the column captions
    std::vector<ReportRow> rows;
    double total = 0;
    QString totalText; ///< the total line under the list
};

/// A month as the main window shows it: the four lists with their rows,
/// totals and shares, the status line and the written advice.
struct MonthReport {
    QString ledgerPath;
    QString month;
    std::array<ReportCategory, 4> categories; ///< income, expenditure, assets, liabilities
    MonthSummary summary;
    QString previousMonth;
    double previousAssets = 0;
    QString statusLine;
    QStringList advice; ///< the advice's lines, as the window shows them
};

/// The report of `month`, made by the main window's own month logic (the
/// same loading, placing, totals, shares and assessment), so its figures
/// and sentences are the window's. Reads the ledger only: a month given
/// here is never carried forward.
/// @throws store::DbError when the ledger cannot be read, or "找不到这个月份
/// Month not found" when the month holds no items.
MonthReport monthReport(store::Ledger &ledger, const QString &month);

/// True for a month key written "yyyy-mm" with a month from 01 to 12.
bool isMonthKey(const QString &text);

} // namespace zambrel::ledger
