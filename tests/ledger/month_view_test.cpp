#include "item_fixtures.h"
#include "raw_ledger_writes.h"
#include "panel_rows.h"
#include "base/clock.h"
#include "base/number_format.h"
#include "ledger/month_view.h"
#include "qstring_printer.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <cmath>

namespace {

using namespace zambrel;
using ledger::MonthView;

const QString kNovember = QStringLiteral("2026-11");

// Records what the month logic asks of the main window.
class RecordingHost : public ledger::MonthViewHost {
public:
    void setAdvice(const QString &text) override { advice = text; }
    QString advice;
};

class MonthViewLedger : public ::testing::Test {
protected:
    void SetUp() override
    {
        base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(6, 10)); });
        emptyLedger();
    }
    void TearDown() override { base::setClock({}); }

    void connect() { m_ledger = std::make_unique<store::Ledger>(m_path, QString()); }
    // Starts again from a new, empty ledger.
    void emptyLedger()
    {
        m_ledger.reset();
        QFile::remove(m_path);
        store::createLedger(m_path);
        connect();
    }
    // Runs `statements` on the closed ledger file, as another program would.
    void writeRaw(const char *statements)
    {
        m_ledger.reset();
        testkit::runRaw(m_path, statements);
        connect();
    }

    // Amounts as testkit::itemOf() takes them.
    void add(const QString &month, const char *type, const char *name, const std::vector<double> &amounts,
             const char *memo = "")
    {
        m_ledger->addItem(month, testkit::itemOf(QString::fromUtf8(type), QString::fromUtf8(name), amounts,
                                                 QString::fromUtf8(memo)));
    }

    // "type name income pay willPay firstPay total debet debetPerMonth memo" per item of a month.
    QStringList monthRows(const QString &month)
    {
        QStringList out;
        for (const store::Item &item : m_ledger->monthItems(month)) {
            QStringList fields{item.type, item.name};
            for (const double amount :
                 {item.income, item.actualSpending, item.plannedSpending, item.downPayment, item.totalCost,
                  item.loanTotal, item.monthlyRepayment})
                fields << base::numberToText(amount);
            fields << item.memo;
            out << fields.join(u' ');
        }
        return out;
    }

    void novemberBooks()
    {
        add(kNovember, "工资", "月薪", {8000}, "基本工资");
        add(kNovember, "股利", "分红", {300});
        add(kNovember, "房租", "租金", {0, 2800, 3000}, "押一付三");
        add(kNovember, "房产", "住宅", {0, 0, 0, 300000, 1000000, 600000, 5000}, "贷款三十年");
    }

    testkit::TempProgramFolder m_folder;
    QString m_path = m_folder.file(QStringLiteral("books.mdb"));
    std::unique_ptr<store::Ledger> m_ledger;
};

TEST_F(MonthViewLedger, CarryForwardCopiesAllButDividends)
{
    novemberBooks();
    testkit::ScriptedResponder responder;
    MonthView view(*m_ledger);
    const std::optional<MonthView::CarryForward> due = view.dueCarryForward();
    ASSERT_TRUE(due);
    EXPECT_EQ(due->from, QStringLiteral("2026-11"));
    EXPECT_EQ(due->to, QStringLiteral("2026-12"));
    view.carryForward(*due);
    view.reload();
    EXPECT_TRUE(responder.shown().empty()) << "the window asks, not the month logic";
    EXPECT_EQ(monthRows(QStringLiteral("2026-12")),
              (QStringList{QStringLiteral("工资 月薪 8000 0 0 0 0 0 0 基本工资"),
                           QStringLiteral("房租 租金 0 0 3000 0 0 0 0 "),
                           QStringLiteral("房产 住宅 0 0 0 300000 1000000 600000 5000 贷款三十年")}));
    EXPECT_EQ(view.currentMonth(), QStringLiteral("2026-12"));
}

// A carry-forward is due only when the latest month is before today's;
// what is carried lands in today's month alone. An empty ledger opens
// today's month with its group rows only.
TEST_F(MonthViewLedger, CarryForwardEdgeCases)
{
    struct Case {
        const char *what;
        const char *month;
        bool due;
        int decemberRows; // after carrying forward where it is due
    };
    const Case cases[] = {
        {"latest month is today's", "2026-12", false, 1},
        {"three months' gap", "2026-09", true, 1},
        {"empty ledger", nullptr, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        emptyLedger();
        if (c.month)
            add(QString::fromLatin1(c.month), "工资", "x", {7000});
        MonthView view(*m_ledger);
        const std::optional<MonthView::CarryForward> due = view.dueCarryForward();
        ASSERT_EQ(due.has_value(), c.due);
        if (due)
            view.carryForward(*due);
        view.reload();
        EXPECT_EQ(view.currentMonth(), QStringLiteral("2026-12"));
        EXPECT_EQ(monthRows(QStringLiteral("2026-12")).size(), c.decemberRows);
        EXPECT_TRUE(monthRows(QStringLiteral("2026-10")).isEmpty());
        if (!c.month) {
            EXPECT_EQ(view.income().rowCount(), 4) << "the income types' group rows only";
        }
    }
}

// Amounts another program wrote as no number, straight into the ledger file:
// an infinity, and a NaN (which the engine keeps only as text).
TEST_F(MonthViewLedger, AmountsThatAreNoNumberAreShownAsMistakesAndLeftOut)
{
    // Without the odd amounts the month is healthy: passive income equals the
    // salary, half the income is spent, no assets.
    add(kNovember, "工资", "月薪", {10000});
    add(kNovember, "股利", "分红", {10000});
    add(kNovember, "股利", "无穷", {});
    add(kNovember, "房租", "租金", {0, 10000, 10000});
    add(kNovember, "房租", "水电", {0, 1, 300});
    writeRaw("UPDATE Asset SET InComePerMonth=1e999 WHERE name='无穷';"
             "UPDATE Asset SET PayPerMonth='nan' WHERE name='水电'");
    const std::vector<store::Item> stored = m_ledger->monthItems(kNovember);
    ASSERT_EQ(stored.size(), 5u);
    ASSERT_TRUE(std::isinf(stored[2].income));
    ASSERT_TRUE(std::isnan(stored[4].actualSpending));

    RecordingHost host;
    MonthView view(*m_ledger, &host);
    view.setCurrentMonth(kNovember);
    const ledger::Assessment verdict = view.reload();

    const auto rowOf = [](const panel::CategoryRows &rows, const QString &key) {
        return rows.row(rows.rowOfKey(key));
    };
    EXPECT_EQ(rowOf(view.income(), QStringLiteral("K3")).text(2), QStringLiteral("#错误"));
    EXPECT_EQ(rowOf(view.expenditure(), QStringLiteral("K5")).text(3), QStringLiteral("#错误"));
    EXPECT_EQ(view.income().totalText(), QStringLiteral("合计Total：20,000.00"));
    EXPECT_EQ(view.expenditure().totalText(), QStringLiteral("合计Total：10,000.00"));
    // The assessment's sentences for these figures are its worked examples'.
    EXPECT_EQ(view.summary().unreadableAmounts, 2);
    EXPECT_TRUE(verdict.statusLine.startsWith(QStringLiteral("2 个金额有错误")))
        << qPrintable(verdict.statusLine);
    EXPECT_FALSE(host.advice.contains(QStringLiteral("健康"))) << "a healthy month but for the odd amounts";
}

TEST_F(MonthViewLedger, InterruptedCarryForwardLeavesNoNewRows)
{
    novemberBooks();
    // Let the first copied row in, then fail the second, as a full disk would.
    writeRaw("CREATE TRIGGER interrupt AFTER INSERT ON Asset WHEN "
             "(SELECT count(*) FROM Asset WHERE months='2026-12') >= 2 "
             "BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    MonthView view(*m_ledger);
    const std::optional<MonthView::CarryForward> due = view.dueCarryForward();
    ASSERT_TRUE(due);
    EXPECT_THROW(view.carryForward(*due), store::DbError);
    EXPECT_TRUE(monthRows(QStringLiteral("2026-12")).isEmpty());
    view.reload();
    EXPECT_EQ(view.currentMonth(), QStringLiteral("2026-12")) << "the month still opens";
}

// reload() places a month once; the assessment would place it again. The
// panels must show what placing twice shows, including where a total of 0
// leaves the shares written on the way (the second placing matters there).
TEST_F(MonthViewLedger, RefreshShowsWhatPlacingTheMonthTwiceShows)
{
    const QString month = kNovember;
    struct Books {
        const char *what;
        std::function<void()> write;
    };
    const std::vector<Books> books = {
        {"salary, rent, house on a loan", [&] { novemberBooks(); }},
        {"a repayment row replacing its item",
         [&] {
             add(month, "工资", "月薪", {5000});
             add(month, "房租", "车", {0, 1200, 900, 0, 0, 0, 700});
             add(month, "房租", "租金", {0, 2800, 3000});
         }},
        {"income adding up to 0",
         [&] {
             add(month, "工资", "月薪", {100});
             add(month, "股利", "亏损", {-100});
         }},
    };
    for (const Books &each : books) {
        SCOPED_TRACE(each.what);
        emptyLedger();
        each.write();

        RecordingHost refreshedHost, placedTwiceHost;
        MonthView refreshed(*m_ledger, &refreshedHost), placedTwice(*m_ledger, &placedTwiceHost);
        refreshed.setCurrentMonth(month);
        placedTwice.setCurrentMonth(month);
        // Leftover memos, as clicks leave them.
        refreshed.income().setMemo(QStringLiteral("old"));
        placedTwice.income().setMemo(QStringLiteral("old"));
        refreshed.reload();
        placedTwice.resetPanels();
        placedTwice.loadMonth();
        placedTwice.assess();

        for (auto part :
             {&MonthView::income, &MonthView::expenditure, &MonthView::assets, &MonthView::liabilities})
        {
            const panel::CategoryRows &shown = (refreshed.*part)(), &twice = (placedTwice.*part)();
            EXPECT_EQ(testkit::rowsText(shown), testkit::rowsText(twice));
            EXPECT_EQ(shown.totalText() + u'|' + shown.memo(), twice.totalText() + u'|' + twice.memo());
        }
        EXPECT_EQ(refreshed.salary(), placedTwice.salary());
        EXPECT_EQ(refreshedHost.advice, placedTwiceHost.advice);
    }
}

} // namespace
