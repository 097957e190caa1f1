#include "ledger/report/month_report.h"

#include "ledger/month_view.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QRegularExpression>

namespace zambrel::ledger {
namespace {

ReportCategory categoryOf(const QString &key, const panel::CategoryRows &rows)
{
    ReportCategory category;
    category.key = key;
    category.caption = rows.caption();
    category.columns = rows.columns();
    category.total = rows.lastTotal();
    category.totalText = rows.totalText();
    const int columns = rows.columnCount();
    category.rows.reserve(std::size_t(rows.rowCount()));
    for (int index = 0; index < rows.rowCount(); ++index) {
        const panel::CategoryRow &row = rows.row(index);
        ReportRow shown;
        shown.isGroup = row.isGroup();
        shown.group = row.tag;
        for (int column = 0; column < columns; ++column) {
            shown.cells << row.text(column);
            shown.bold.push_back(row.cell(column).bold);
        }
        category.rows.push_back(std::move(shown));
    }
    return category;
}

} // namespace

bool isMonthKey(const QString &text)
{
    // Anchored at the very end: "$" alone would let a final line feed through.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{4}-(0[1-9]|1[0-2])")));
    return pattern.match(text).hasMatch();
}

MonthReport monthReport(store::Ledger &ledger, const QString &month)
{
    // A report (of a backup, say) leaves the main window's status line alone.
    struct Quiet : MonthViewHost {
        void showStatus(const QString &) override {}
    } quiet;
    MonthView view(ledger, &quiet);
    view.setCurrentMonth(month);
    const Assessment verdict = view.reload();
    if (view.items().empty())
        throw store::DbError(store::ErrorKind::Other,
                             QStringLiteral("找不到这个月份 Month not found: ") + month);

    MonthReport report;
    report.ledgerPath = ledger.path();
    report.month = month;
    report.categories = {categoryOf(QStringLiteral("income"), view.income()),
                         categoryOf(QStringLiteral("expenditure"), view.expenditure()),
                         categoryOf(QStringLiteral("assets"), view.assets()),
                         categoryOf(QStringLiteral("liabilities"), view.liabilities())};
    report.summary = view.summary();
    report.previousMonth = view.previousMonth();
    report.previousAssets = view.previousAssets();
    report.statusLine = verdict.statusLine;
    report.advice = shownAdvice(verdict.advice).split(u'\n');
    return report;
}

} // namespace zambrel::ledger
