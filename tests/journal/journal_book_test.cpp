// The journal without its window, on real ledger files: today's page, the
// nodes that open no day, saving (the tree's clicks, the search, the
// unsaved-changes question and the failure roads are the window's tests).
#include "journal_fixture.h"

#include "journal/journal_book.h"
#include "journal/long_lines.h"

#include <random>

using namespace zambrel;
using namespace zambrel::journal;

namespace {

const QString kToday = QStringLiteral("2026-05-15");

class JournalBookTest : public testkit::JournalFixture {
protected:
    /// A book opened on the ledger as it stands.
    std::unique_ptr<JournalBook> openBook()
    {
        auto book = std::make_unique<JournalBook>(*ledger);
        book->load();
        return book;
    }
};

TEST_F(JournalBookTest, EmptyJournalOpensOnTodaysNodesWithNoPageAndOkFilesTypingUnderToday)
{
    const auto book = openBook();
    EXPECT_EQ(book->tree().topLevel(), QStringList{QStringLiteral("T2026")});
    EXPECT_TRUE(book->hasNode(QStringLiteral("T2026-05")));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-05-15"));
    EXPECT_TRUE(book->currentDate().isEmpty());
    EXPECT_FALSE(book->save()) << "nothing typed, no day: nothing to save";
    EXPECT_TRUE(ledger->journalYears().empty());

    // Typed before a day is chosen: filed under today, as "新一天 New" makes it.
    book->setText(0, QStringLiteral("typed before choosing a day"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("typed before choosing a day"));
    EXPECT_EQ(book->currentDate(), kToday);
    EXPECT_TRUE(responder.shown().empty()) << "the window says so";
}

// Reading years, months and days on their first click is the window's test;
// here what a year's or a month's node opens.
TEST_F(JournalBookTest, AYearOrMonthWhoseChildrenAreReadOpensAnEmptyPageFiledUnderToday)
{
    writePages({{"2025-03-01", "old"}, {"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    const auto book = openBook();
    EXPECT_EQ(book->tree().size(), 2) << "only the years at first; today's page only for an empty tree";
    EXPECT_FALSE(book->clickNode(QStringLiteral("T2026"))) << "the first click reads the months";
    EXPECT_FALSE(book->clickNode(QStringLiteral("T2026-04")));
    EXPECT_TRUE(book->clickNode(QStringLiteral("T2026")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2026"));
    EXPECT_EQ(book->texts(), PageTexts{});
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026")).size(), 1) << "nothing read twice";
    EXPECT_FALSE(book->save());
    // A click that opens a page is one the window asks about typed text before.
    EXPECT_TRUE(book->clickOpensPage(QStringLiteral("T2026-04")));
    EXPECT_FALSE(book->clickOpensPage(QStringLiteral("T2025"))) << "a year never read only loads";
    EXPECT_FALSE(book->clickNode(QStringLiteral("Tnope")));

    book->setText(8, QStringLiteral("a dream"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday, 8), QStringLiteral("a dream"));
    EXPECT_EQ(ledger->journalDates(QStringLiteral("2026")).size(), 3);
}

// "新一天 New" keeps the boxes of the day shown; the save files them under
// today and leaves that day alone, and the next save updates today's row.
TEST_F(JournalBookTest, NewKeepsTheBoxesAndSavingInsertsThenUpdates)
{
    writePages({{"2026-04-10", "april text"}});
    const auto book = openBook();
    for (const char *key : {"T2026", "T2026-04", "T2026-04-10"})
        book->clickNode(QString::fromLatin1(key));
    book->newDay();
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("april text"));
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10")), QStringLiteral("april text"));
    book->setText(8, QStringLiteral("梦"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday, 8), QStringLiteral("梦"));
    EXPECT_EQ(ledger->journalDates(kToday).size(), 1) << "the second save updated the row";
}

// Today's page written earlier is not in the boxes after "新一天 New" or
// with no day shown; what it holds stays, the boxes' texts after it.
TEST_F(JournalBookTest, FilingUnderTodayKeepsWhatTodaysPageAlreadyHeld)
{
    writePages({{"2026-04-10", "april text"}});
    store::JournalPage today = testkit::page(kToday, QStringLiteral("written this morning"));
    today.fields[3] = QStringLiteral("progress");
    ledger->saveJournalPage(today);
    {
        const auto book = openBook();
        book->setText(3, QStringLiteral("more progress"));
        EXPECT_TRUE(book->save()) << "typed with no day shown";
        EXPECT_EQ(storedText(kToday), QStringLiteral("written this morning"));
        EXPECT_EQ(storedText(kToday, 3), QStringLiteral("progress\r\nmore progress"));
        EXPECT_EQ(book->text(3), QStringLiteral("progress\nmore progress"))
            << "the boxes show what was filed";
        book->setText(3, QStringLiteral("rewritten"));
        EXPECT_TRUE(book->save());
        EXPECT_EQ(storedText(kToday, 3), QStringLiteral("rewritten")) << "read now: saved as shown";
    }
    const auto book = openBook();
    for (const char *key : {"T2026", "T2026-04", "T2026-04-10"})
        book->clickNode(QString::fromLatin1(key));
    book->newDay();
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("written this morning\r\napril text"));
    EXPECT_EQ(storedText(kToday, 3), QStringLiteral("rewritten"));
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10")), QStringLiteral("april text"));
}

TEST_F(JournalBookTest, MonthsReadAfterNewJoinTodaysNodesInDateOrder)
{
    // Today's page added a month under a year whose months were never read:
    // the year's first click still reads them and keeps today's month.
    writePages({{"2026-03-09", "march"}, {"2025-12-31", "old"}});
    const auto book = openBook();
    book->newDay();
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026")), QStringList{QStringLiteral("T2026-05")});
    EXPECT_FALSE(book->clickNode(QStringLiteral("T2026")));
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026")),
              (QStringList{QStringLiteral("T2026-03"), QStringLiteral("T2026-05")}));
    EXPECT_EQ(book->currentDate(), kToday) << "reading months opens no page";
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026-05")),
              QStringList{QStringLiteral("T2026-05-15")});
}

TEST(JournalLongLines, LinesBeyondTheLimitAreCutForDisplayAndJoinBackExactly)
{
    const QString emoji = QStringLiteral("\U0001F600"); // two UTF-16 halves
    const struct {
        QString text, display;
        std::vector<int> cuts;
    } cases[] = {
        {QStringLiteral("short\nlines\n"), QStringLiteral("short\nlines\n"), {}},
        {QStringLiteral("0123456789"), QStringLiteral("0123456789"), {}},
        {QStringLiteral("0123456789abcdefghijklmnopqrstuvwxy"),
         QStringLiteral("0123456789\nabcdefghij\nklmnopqrst\nuvwxy"),
         {10, 21, 32}},
        // A blank in the piece's last tenth (with a limit of 10: its last
        // character) ends the piece.
        {QStringLiteral("012345678 abcdefghi jk"), QStringLiteral("012345678 \nabcdefghi \njk"), {10, 21}},
        {QStringLiteral("ab\n0123456789abc\n\nx"), QStringLiteral("ab\n0123456789\nabc\n\nx"), {13}},
        {QStringLiteral("012345678") + emoji + QStringLiteral("z"),
         QStringLiteral("012345678\n") + emoji + QStringLiteral("z"),
         {9}},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(each.text.toStdString());
        const CutText cut = cutLongLines(each.text, 10);
        EXPECT_EQ(cut.display, each.display);
        EXPECT_EQ(cut.cuts, each.cuts);
        EXPECT_EQ(joinCuts(cut.display, cut.cuts), each.text);
    }

    // Whatever the text, the pieces keep to the limit and join back.
    std::mt19937 random(2605);
    const QStringList pieces = {
        QStringLiteral("a"), QStringLiteral("a"),  QStringLiteral("a"),  QStringLiteral("b"),
        QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("日"), emoji};
    for (int round = 0; round < 200; ++round) {
        QString text;
        const int length = std::uniform_int_distribution<int>(0, 400)(random);
        for (int at = 0; at < length; ++at) {
            const int pick = std::uniform_int_distribution<int>(0, int(pieces.size()) - 1)(random);
            // Line feeds are rare, so that long lines come up.
            text += pick == 5 && at % 7 != 0 ? QStringLiteral("a") : pieces[pick];
        }
        const int longest = std::uniform_int_distribution<int>(2, 40)(random);
        const CutText cut = cutLongLines(text, longest);
        ASSERT_EQ(joinCuts(cut.display, cut.cuts), text) << round;
        for (const QString &line : cut.display.split(u'\n'))
            EXPECT_LE(line.size(), longest) << round;
    }
}

} // namespace
