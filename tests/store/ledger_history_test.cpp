// The history kept inside a ledger: random sequences of writes undone to the
// start and redone to the end after a restart, row by row and row id by row
// id; what a new step discards; retention; a newer version's file only
// read; and books changed behind the history's back. (The history through
// copies and re-keys: the ledger file's tests.)
#include "ledger_fixture.h"

#include <cstdio>
#include <limits>
#include <random>

using namespace zambrel;
using namespace zambrel::store;
using testkit::rowsOf;

namespace {

const QString kPassword = QStringLiteral("历史 pw");

using testkit::Books;
using testkit::booksOf;

/// The books as the file holds them (no ledger may have it open).
Books booksIn(const QString &path, const QString &password)
{
    const Connection raw(path, password, Access::ReadOnly);
    return {rowsOf(raw, "Asset"), rowsOf(raw, "AssetType"), rowsOf(raw, "log")};
}

Item makeItem(const QString &type, const QString &name, double amount)
{
    Item item;
    item.type = type;
    item.name = name;
    item.memo = QStringLiteral("备注 '%1'").arg(name);
    item.income = amount;
    item.actualSpending = amount / 3;
    item.totalCost = amount * 7;
    item.loanTotal = amount / 7;
    return item;
}

class LedgerHistoryTest : public testkit::LedgerFixture {
protected:
    LedgerHistoryTest() { password = kPassword; }
};

/// One random write of the books: an item added, changed or deleted, a type,
/// a carry-forward into the next month, a journal page written or rewritten.
class RandomWriter {
public:
    RandomWriter(Ledger &ledger, unsigned seed) : m_ledger(ledger), m_random(seed) {}

    /// Returns false when the write it chose changed nothing (no step).
    bool write()
    {
        const int choice = pick(0, 9);
        const QString month = QStringLiteral("2026-%1").arg(m_month, 2, 10, QLatin1Char('0'));
        std::vector<Item> items = m_ledger.monthItems(month);
        if (choice <= 2 || items.empty()) {
            const QString types[] = {QStringLiteral("工资"), QStringLiteral("日常开销"),
                                     QStringLiteral("房产"), QStringLiteral("股利"), m_newType};
            m_ledger.addItem(month, makeItem(types[pick(0, 4)], QStringLiteral("项 %1").arg(++m_names),
                                             pick(1, 100000) / 100.0));
        } else if (choice <= 4) {
            Item item = items[std::size_t(pick(0, int(items.size()) - 1))];
            item.name += QStringLiteral("·改");
            item.memo = pick(0, 1) ? QString() : QStringLiteral("Memo ") + item.memo.toUpper();
            item.plannedSpending = pick(0, 5000) / 4.0;
            m_ledger.changeItem(item);
        } else if (choice == 5) {
            m_ledger.deleteItem(items[std::size_t(pick(0, int(items.size()) - 1))].code);
        } else if (choice == 6) {
            m_newType = QStringLiteral("类型%1").arg(++m_names);
            m_ledger.addItemType(m_newType, pick(0, 1) ? QStringLiteral("0100") : QStringLiteral("0011"));
        } else if (choice == 7 && m_month < 12) {
            return m_ledger.carryForward(
                       month, QStringLiteral("2026-%1").arg(++m_month, 2, 10, QLatin1Char('0'))) > 0;
        } else {
            JournalPage page;
            page.date = QStringLiteral("2026-05-%1").arg(pick(1, 4), 2, 10, QLatin1Char('0'));
            page.fields[std::size_t(pick(0, 8))] = QStringLiteral("第 %1 页 it's").arg(++m_names);
            m_ledger.saveJournalPage(page);
        }
        return true;
    }

private:
    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }

    Ledger &m_ledger;
    std::mt19937 m_random;
    int m_month = 1;
    int m_names = 0;
    QString m_newType = QStringLiteral("交通");
};

// Seeds of reproducible runs; ZAMBREL_HISTORY_SEED adds one more.
class RandomSteps : public LedgerHistoryTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(RandomSteps, UndoAllGivesTheStartAndRedoAllTheEndRowByRow)
{
    const unsigned seed = GetParam();
    std::printf("history seed %u\n", seed);
    close();
    const Books start = booksIn(path, kPassword);
    open();

    // Each state the books passed through, to meet again on the way back.
    std::vector<Books> states{booksOf(*ledger)};
    RandomWriter writer(*ledger, seed);
    constexpr int kWrites = 60;
    for (int n = 0; n < kWrites; ++n) {
        if (writer.write())
            states.push_back(booksOf(*ledger));
        else
            EXPECT_EQ(booksOf(*ledger), states.back()) << "a write that changes nothing";
    }
    ASSERT_EQ(ledger->historySteps().size(), states.size() - 1) << "seed " << seed;
    close();
    const Books end = booksIn(path, kPassword);
    open();

    for (std::size_t back = states.size() - 1; back > 0; --back) {
        ASSERT_TRUE(ledger->undo()) << "seed " << seed;
        ASSERT_EQ(booksOf(*ledger), states[back - 1]) << "seed " << seed << ", undo to state " << back - 1;
    }
    EXPECT_FALSE(ledger->undo()) << "nothing is left to undo";
    // Redone after a restart: the history is in the file.
    close();
    EXPECT_EQ(booksIn(path, kPassword), start) << "seed " << seed;
    open();

    for (std::size_t forward = 1; forward < states.size(); ++forward) {
        ASSERT_TRUE(ledger->redo()) << "seed " << seed;
        ASSERT_EQ(booksOf(*ledger), states[forward]) << "seed " << seed << ", redo to state " << forward;
    }
    EXPECT_FALSE(ledger->redo()) << "nothing is left to redo";
    EXPECT_EQ(ledger->integrityProblems(), QStringList());
    close();
    EXPECT_EQ(booksIn(path, kPassword), end) << "seed " << seed;
}

std::vector<unsigned> historySeeds()
{
    std::vector<unsigned> seeds{1, 2, 3, 20261207, 4242};
    if (const char *extra = std::getenv("ZAMBREL_HISTORY_SEED"))
        seeds.push_back(unsigned(std::strtoul(extra, nullptr, 10)));
    return seeds;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSteps, ::testing::ValuesIn(historySeeds()));

// The time, the order, the undone mark and the steps of adds, deletes and
// types: the command line's history test; undo to a step and the redo a
// new change clears: the history window's.
TEST_F(LedgerHistoryTest, EachWriteIsOneStepNamingWhatItDidAndItsMonth)
{
    int told = 0;
    ledger->onHistoryChanged([&told] { ++told; });
    Item changed = makeItem(QStringLiteral("房贷"), QStringLiteral("房贷月供还贷"), 3200);
    changed.code = ledger->addItem(QStringLiteral("2026-11"), changed);
    changed.name = QStringLiteral("房贷月供");
    ledger->changeItem(changed);
    ledger->carryForward(QStringLiteral("2026-11"), QStringLiteral("2026-12"));
    ledger->saveJournalPage(testkit::page(QStringLiteral("2026-12-07"), {}));
    // Writes that change nothing make no step.
    changed.code = 9999;
    ledger->changeItem(changed);
    ledger->deleteItem(9999);
    EXPECT_EQ(ledger->carryForward(QStringLiteral("2025-01"), QStringLiteral("2025-02")), 0);
    EXPECT_EQ(told, 4) << "told once a step, never for a write that changed nothing";

    const struct {
        StepAction action;
        const char *subject, *month;
    } expected[] = {{StepAction::SaveJournalPage, "2026-12-07", ""},
                    {StepAction::CarryForward, "2026-11", "2026-12"},
                    {StepAction::ChangeItem, "房贷月供", "2026-11"},
                    {StepAction::AddItem, "房贷月供还贷", "2026-11"}};
    const std::vector<HistoryStep> steps = ledger->historySteps();
    ASSERT_EQ(steps.size(), std::size(expected));
    for (std::size_t at = 0; at < steps.size(); ++at) {
        EXPECT_EQ(steps[at].action, expected[at].action) << at;
        EXPECT_EQ(steps[at].subject, QString::fromUtf8(expected[at].subject)) << at;
        EXPECT_EQ(steps[at].month, QString::fromUtf8(expected[at].month)) << at;
    }
}

TEST_F(LedgerHistoryTest, AnUndoneItemsCodeIsNeverGivenAgain)
{
    const QString june = QStringLiteral("2026-06");
    const qint64 first = ledger->addItem(june, makeItem(QStringLiteral("工资"), QStringLiteral("1"), 1));
    const qint64 second = ledger->addItem(june, makeItem(QStringLiteral("工资"), QStringLiteral("2"), 2));
    ASSERT_EQ(ledger->undoTo(ledger->historySteps().back().id).size(), 1u);
    EXPECT_GT(ledger->addItem(june, makeItem(QStringLiteral("工资"), QStringLiteral("new"), 5)), second);
    EXPECT_FALSE(ledger->redo());
    EXPECT_EQ(ledger->monthItems(june).front().code, first);
}

TEST_F(LedgerHistoryTest, KeepsTheNewestStepsOnlyAndNoneWhenTheLimitIsZero)
{
    ledger->setHistoryLimit(3);
    for (int n = 1; n <= 5; ++n)
        ledger->addItem(QStringLiteral("2026-07"), makeItem(QStringLiteral("工资"), QString::number(n), n));
    ASSERT_EQ(ledger->historySteps().size(), 3u);
    EXPECT_EQ(ledger->historySteps().back().subject, QStringLiteral("3"));
    EXPECT_EQ(ledger->undoTo(0).size(), 3u);
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-07")).size(), 2u) << "steps no longer kept stay done";

    ledger->setHistoryLimit(0);
    ledger->addItem(QStringLiteral("2026-07"), makeItem(QStringLiteral("工资"), QStringLiteral("x"), 1));
    EXPECT_TRUE(ledger->historySteps().empty()) << "the new step discarded the undone ones and kept none";
    ledger->setHistoryLimit(-5);
    EXPECT_EQ(ledger->historyLimit(), kDefaultHistoryLimit);

    // The largest limit the settings can give keeps every step.
    ledger->setHistoryLimit(std::numeric_limits<int>::max());
    for (int n = 1; n <= 3; ++n)
        ledger->addItem(QStringLiteral("2026-08"), makeItem(QStringLiteral("工资"), QString::number(n), n));
    EXPECT_EQ(ledger->historySteps().size(), 3u);
}

// The oldest steps leave the file in batches. The ones beyond the limit
// until then are never shown, undone or redone, and a write still drops
// every undone step in the file, and every step when none are kept.
TEST_F(LedgerHistoryTest, StepsBeyondTheLimitAreNeverShownUndoneOrRedone)
{
    const QString july = QStringLiteral("2026-07");
    const auto add = [&](const QString &name) {
        ledger->addItem(july, makeItem(QStringLiteral("工资"), name, 1));
    };
    const auto stepsInFile = [&] {
        const int limit = ledger->historyLimit();
        close();
        const qint64 count =
            testkit::valueOf(Connection(path, password, Access::ReadOnly), "SELECT count(*) FROM HistoryStep")
                .toLongLong();
        open();
        ledger->setHistoryLimit(limit);
        return count;
    };
    ledger->setHistoryLimit(40);
    for (int n = 1; n <= 41; ++n)
        add(QString::number(n));
    EXPECT_EQ(stepsInFile(), 41);
    ASSERT_EQ(ledger->historySteps().size(), 40u);
    EXPECT_EQ(ledger->historySteps().back().subject, QStringLiteral("2"));
    EXPECT_EQ(ledger->undoTo(0).size(), 40u);
    EXPECT_FALSE(ledger->nextUndo());
    EXPECT_EQ(ledger->monthItems(july).size(), 1u) << "the step beyond the limit stays done";
    EXPECT_EQ(ledger->redo()->subject, QStringLiteral("2"));

    for (int n = 1; n <= 100; ++n)
        add(QStringLiteral("more %1").arg(n));
    EXPECT_LE(stepsInFile(), 42) << "a twentieth of the limit more at the most";
    EXPECT_EQ(ledger->historySteps().size(), 40u);

    // Undone steps the lower limit hides are dropped by the next write all
    // the same: none may stay undone beneath a step done after them.
    for (int n = 0; n < 5; ++n)
        ledger->undo();
    ledger->setHistoryLimit(3);
    EXPECT_FALSE(ledger->nextUndo());
    EXPECT_FALSE(ledger->nextRedo()) << "the oldest undone step is hidden: a later one would skip it";
    EXPECT_FALSE(ledger->redo());
    add(QStringLiteral("new"));
    ledger->setHistoryLimit(40);
    for (const HistoryStep &step : ledger->historySteps())
        EXPECT_FALSE(step.undone) << qPrintable(step.subject);
    EXPECT_EQ(ledger->historySteps().front().subject, QStringLiteral("new"));
    EXPECT_FALSE(ledger->nextRedo());

    ledger->setHistoryLimit(0);
    add(QStringLiteral("unrecorded"));
    EXPECT_EQ(stepsInFile(), 0) << "the steps beyond the limit went too";
}

TEST_F(LedgerHistoryTest, BooksChangedBehindTheHistoryAreNotUndoneOverTheChange)
{
    const qint64 code =
        ledger->addItem(QStringLiteral("2026-08"), makeItem(QStringLiteral("工资"), QStringLiteral("a"), 1));
    Item item = ledger->monthItems(QStringLiteral("2026-08")).front();
    item.memo = QStringLiteral("mine");
    ledger->changeItem(item);
    // Another program changes the item's memo in letter case only.
    writeRaw({QStringLiteral("UPDATE Asset SET memo = 'MINE' WHERE code = %1").arg(code)});
    const auto error = testkit::errorOf([&] { ledger->undo(); });
    ASSERT_TRUE(error) << "undone over a change made outside the history";
    EXPECT_EQ(error->kind(), ErrorKind::Other);
    EXPECT_TRUE(error->description().contains(QStringLiteral("操作历史之外")))
        << qPrintable(error->description());
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-08")).front().memo, QStringLiteral("MINE"));
    EXPECT_FALSE(ledger->historySteps().front().undone);

    // A row put where an undone add would come back.
    writeRaw({QStringLiteral("UPDATE Asset SET memo = 'mine' WHERE code = %1").arg(code)});
    ledger->undo();
    ledger->undo();
    writeRaw(
        {QStringLiteral("INSERT INTO Asset (code, months, name) VALUES (%1, '2026-08', 'other')").arg(code)});
    EXPECT_THROW(ledger->redo(), DbError);
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2026-08")).front().name, QStringLiteral("other"));
}

TEST_F(LedgerHistoryTest, ALedgerOfANewerVersionIsReadButNeverWritten)
{
    const QString october = QStringLiteral("2026-10");
    ledger->addItem(october, makeItem(QStringLiteral("工资"), QStringLiteral("a"), 1));
    const QString backup = dir.filePath(QStringLiteral("backup.mdb"));
    ledger->backupTo(backup);
    writeRaw({QStringLiteral("PRAGMA user_version = %1").arg(kLedgerVersion + 1)});
    const QByteArray before = testkit::bytesOf(path);
    EXPECT_EQ(ledger->fileVersion(), kLedgerVersion + 1);
    EXPECT_EQ(ledger->monthItems(october).size(), 1u);
    EXPECT_EQ(ledger->historySteps().size(), 1u);
    const std::vector<std::function<void()>> writes = {
        [&] { ledger->addItem(october, testkit::item(QStringLiteral("工资"), QStringLiteral("b"))); },
        [&] { ledger->deleteItem(ledger->monthItems(october).front().code); },
        [&] { ledger->addItemType(QStringLiteral("t"), QStringLiteral("1000")); },
        [&] { ledger->carryForward(october, QStringLiteral("2026-11")); },
        [&] { ledger->saveJournalPage(testkit::page(QStringLiteral("2026-10-01"), {})); },
        [&] { ledger->undo(); },
        [&] { ledger->redo(); },
        [&] { ledger->restoreFrom(backup, std::nullopt); },
    };
    for (std::size_t at = 0; at < writes.size(); ++at) {
        const auto error = testkit::errorOf(writes[at]);
        ASSERT_TRUE(error) << "write " << at << " went through";
        EXPECT_EQ(error->kind(), ErrorKind::ReadOnly) << at;
        EXPECT_TRUE(error->description().contains(QStringLiteral("newer version"))) << at;
    }
    close();
    EXPECT_EQ(testkit::bytesOf(path), before);
}

} // namespace
