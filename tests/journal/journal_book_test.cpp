// The journal without its window, on real ledger files: the lazily read
// tree, today's page, saving, the unsaved-changes question on every road,
// the search, and the failure roads.
#include "journal_fixture.h"

#include "journal/journal_book.h"
#include "journal/long_lines.h"
#include "store/connection.h"
#include "store/ledger_schema.h"

#include <QSignalSpy>

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

    /// Clicks the year, the month, then the day of `date` (each once).
    static void openDay(JournalBook &book, const QString &date)
    {
        for (const QString &key : {nodeKey(date.left(4)), nodeKey(date.left(7)), nodeKey(date)}) {
            if (levelOfKey(key) == NodeLevel::Day || !book.tree().node(key)->loaded)
                book.clickNode(key);
        }
        ASSERT_EQ(book.currentDate(), date);
    }
};

TEST_F(JournalBookTest, EmptyJournalOpensOnTodaysNodesWithNoPageAndOkFilesTypingUnderToday)
{
    const auto book = openBook();
    EXPECT_EQ(book->tree().topLevel(), QStringList{QStringLiteral("T2026")});
    ASSERT_TRUE(book->hasNode(QStringLiteral("T2026-05")));
    ASSERT_TRUE(book->hasNode(QStringLiteral("T2026-05-15")));
    EXPECT_EQ(book->tree().node(QStringLiteral("T2026-05"))->text, QStringLiteral("05"));
    EXPECT_EQ(book->tree().node(QStringLiteral("T2026-05-15"))->text, QStringLiteral("15"));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-05-15"));
    EXPECT_TRUE(book->currentDate().isEmpty());
    EXPECT_EQ(book->title(), QStringLiteral("日志  "));
    EXPECT_EQ(book->texts(), PageTexts{});

    EXPECT_FALSE(book->save()) << "nothing typed, no day: nothing to save";
    EXPECT_TRUE(ledger->journalYears().empty());
    EXPECT_TRUE(responder.shown().empty());

    // Typed before a day is chosen: filed under today, as "新一天 New" makes it.
    book->setText(0, QStringLiteral("typed before choosing a day"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("typed before choosing a day"));
    EXPECT_EQ(book->currentDate(), kToday);
    EXPECT_EQ(book->title(), QStringLiteral("日志  2026-05-15"));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-05-15"));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志：2026-05-15保存成功."));
    EXPECT_FALSE(book->isModified());
}

TEST_F(JournalBookTest, TreeReadsYearsFirstThenMonthsAndDaysOnTheirFirstClick)
{
    writePages(
        {{"2025-03-01", "old"}, {"2026-04-10", "ten"}, {"2026-04-20", "twenty"}, {"2026-05-02", "may"}});
    const auto book = openBook();
    EXPECT_EQ(book->tree().topLevel(), (QStringList{QStringLiteral("T2025"), QStringLiteral("T2026")}));
    EXPECT_EQ(book->tree().size(), 2) << "only the years at first; today's page only for an empty tree";
    EXPECT_TRUE(book->selectedKey().isEmpty());

    // A year's first click reads its months; the page stays as it was.
    EXPECT_FALSE(book->clickNode(QStringLiteral("T2026")));
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026")),
              (QStringList{QStringLiteral("T2026-04"), QStringLiteral("T2026-05")}))
        << "two pages in April give one month node";
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-05"));
    EXPECT_TRUE(book->tree().node(QStringLiteral("T2026-05"))->expanded);
    EXPECT_TRUE(book->currentDate().isEmpty());

    EXPECT_FALSE(book->clickNode(QStringLiteral("T2026-04")));
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026-04")),
              (QStringList{QStringLiteral("T2026-04-10"), QStringLiteral("T2026-04-20")}));
    EXPECT_EQ(book->tree().node(QStringLiteral("T2026-04-20"))->text, QStringLiteral("20"));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-04-20")) << "the latest day is selected";

    EXPECT_TRUE(book->clickNode(QStringLiteral("T2026-04-20")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2026-04-20"));
    EXPECT_EQ(book->title(), QStringLiteral("日志  2026-04-20"));
    EXPECT_EQ(book->text(0), QStringLiteral("twenty"));

    // A year whose months are read opens no page: its "page" is empty and
    // OK finds nothing to save (typed text would go to today's page).
    EXPECT_TRUE(book->clickNode(QStringLiteral("T2026")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2026"));
    EXPECT_EQ(book->texts(), PageTexts{});
    EXPECT_EQ(book->tree().childrenOf(QStringLiteral("T2026")).size(), 2) << "nothing read twice";
    EXPECT_FALSE(book->save());
    // The same for a month whose days are read.
    EXPECT_TRUE(book->clickNode(QStringLiteral("T2026-04")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2026-04"));
    EXPECT_FALSE(book->save());
    EXPECT_EQ(ledger->journalDates(QStringLiteral("2026")).size(), 3);
    EXPECT_TRUE(responder.shown().empty());

    EXPECT_FALSE(book->clickNode(QStringLiteral("Tnope")));
    EXPECT_FALSE(book->clickNode(QString()));
}

TEST_F(JournalBookTest, SavingADayInsertsThenUpdatesAndSaysSo)
{
    const auto book = openBook();
    book->newDay();
    EXPECT_EQ(book->currentDate(), kToday);
    book->setText(0, QStringLiteral("first"));
    EXPECT_TRUE(book->isModified());
    EXPECT_TRUE(book->save());
    EXPECT_FALSE(book->isModified());
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志：2026-05-15保存成功."));
    EXPECT_EQ(responder.shown()[0].title, QStringLiteral("保存"));
    EXPECT_EQ(responder.shown()[0].style, base::vbOKOnly);
    EXPECT_EQ(storedText(kToday), QStringLiteral("first"));

    book->setText(0, QStringLiteral("second"));
    book->setText(8, QStringLiteral("梦"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("second"));
    EXPECT_EQ(storedText(kToday, 8), QStringLiteral("梦"));
    EXPECT_EQ(ledger->journalDates(kToday).size(), 1) << "the second save updated the row";
    EXPECT_EQ(responder.shown().size(), 2u);
}

TEST_F(JournalBookTest, QuotesChinesePunctuationAndLineBreaksRoundTrip)
{
    const PageTexts typed{
        QStringLiteral("it's O'Brien's \"day\""),
        QStringLiteral("，。！？；：“引号”‘单’《书名》——……（括号）【方】、"),
        QStringLiteral("line one\nline two\n\nline four"),
        QStringLiteral("'); drop table log; --"),
        QStringLiteral("100% _done_ [x] \\ tab\there"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("😀 emoji and ümlauts"),
        QString(),
        QStringLiteral("'"),
    };
    {
        const auto book = openBook();
        book->newDay();
        for (int field = 0; field < kFieldCount; ++field)
            book->setText(field, typed[std::size_t(field)]);
        ASSERT_TRUE(book->save());
    }
    EXPECT_EQ(storedText(kToday, 2), QStringLiteral("line one\r\nline two\r\n\r\nline four"))
        << "the ledger keeps CR LF line breaks, as the item memos do";

    const auto reopened = openBook();
    openDay(*reopened, kToday);
    EXPECT_EQ(reopened->texts(), typed);
    EXPECT_FALSE(reopened->isModified());
}

TEST_F(JournalBookTest, NewKeepsTheBoxesAndASaveFilesThemUnderToday)
{
    writePages({{"2026-04-10", "april text"}});
    const auto book = openBook();
    openDay(*book, QStringLiteral("2026-04-10"));

    book->newDay();
    EXPECT_EQ(book->currentDate(), kToday);
    EXPECT_EQ(book->title(), QStringLiteral("日志  2026-05-15"));
    EXPECT_EQ(book->text(0), QStringLiteral("april text"));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2026-05-15"));
    EXPECT_TRUE(book->hasNode(QStringLiteral("T2026-05")));
    EXPECT_TRUE(responder.shown().empty()) << "New asks nothing";

    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday), QStringLiteral("april text"));
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

// The unsaved-changes question on every road that would replace or leave
// typed text, with each answer.
enum class Road { ClickAnotherDay, Refresh, Close, OpenFound };

TEST_F(JournalBookTest, UnsavedChangesAreAskedAboutOnEveryRoad)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    const QString ten = QStringLiteral("2026-04-10");
    const QString twenty = QStringLiteral("2026-04-20");
    const struct {
        Road road;
        const char *name;
    } roads[] = {{Road::ClickAnotherDay, "click another day"},
                 {Road::Refresh, "refresh"},
                 {Road::Close, "close"},
                 {Road::OpenFound, "open a found day"}};
    const struct {
        int answer;
        const char *name;
    } answers[] = {{base::vbYes, "yes"}, {base::vbNo, "no"}, {base::vbCancel, "cancel"}};

    for (const auto &road : roads) {
        for (const auto &answer : answers) {
            SCOPED_TRACE(std::string(road.name) + " / " + answer.name);
            writePage(ten, QStringLiteral("ten"));
            const auto book = openBook();
            openDay(*book, ten);
            book->search(QStringLiteral("twenty"));
            book->setText(1, QStringLiteral("typed"));
            responder.clear();
            responder.answer(answer.answer);

            bool went = false;
            switch (road.road) {
            case Road::ClickAnotherDay:
                went = book->clickNode(nodeKey(twenty));
                break;
            case Road::Refresh:
                went = book->refresh();
                break;
            case Road::Close:
                went = book->close();
                break;
            case Road::OpenFound:
                went = book->openFound(twenty);
                break;
            }

            ASSERT_FALSE(responder.shown().empty());
            EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志有修改，是否保存？"));
            EXPECT_EQ(base::buttonsOf(responder.shown()[0].style), base::vbYesNoCancel);
            EXPECT_EQ(storedText(ten, 1), answer.answer == base::vbYes ? QStringLiteral("typed") : QString());
            if (answer.answer == base::vbYes) {
                EXPECT_EQ(responder.shown().back().text, QStringLiteral("日志：2026-04-10保存成功."));
            }

            if (answer.answer == base::vbCancel) {
                EXPECT_FALSE(went);
                EXPECT_EQ(book->currentDate(), ten);
                EXPECT_EQ(book->text(1), QStringLiteral("typed"));
                EXPECT_EQ(book->selectedKey(), nodeKey(ten)) << "the tree keeps the day shown";
                EXPECT_TRUE(book->isModified());
                continue;
            }
            EXPECT_TRUE(went);
            EXPECT_FALSE(book->isModified());
            switch (road.road) {
            case Road::ClickAnotherDay:
            case Road::OpenFound:
                EXPECT_EQ(book->currentDate(), twenty);
                EXPECT_EQ(book->text(0), QStringLiteral("twenty"));
                EXPECT_EQ(book->selectedKey(), nodeKey(twenty));
                break;
            case Road::Refresh:
                EXPECT_TRUE(book->currentDate().isEmpty());
                EXPECT_EQ(book->texts(), PageTexts{});
                break;
            case Road::Close:
                // Kept for the next opening: saved, or the loaded text back.
                EXPECT_EQ(book->currentDate(), ten);
                EXPECT_EQ(book->text(1), answer.answer == base::vbYes ? QStringLiteral("typed") : QString());
                break;
            }
        }
    }
}

TEST_F(JournalBookTest, NoQuestionWithoutChangesAndYesFilesTextTypedWithoutADayUnderToday)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    const auto book = openBook();
    openDay(*book, QStringLiteral("2026-04-10"));
    book->setText(0, QStringLiteral("changed"));
    book->setText(0, QStringLiteral("ten")); // typed back as it was
    EXPECT_TRUE(book->clickNode(nodeKey(QStringLiteral("2026-04-20"))));
    EXPECT_TRUE(book->refresh());
    EXPECT_TRUE(book->close());
    EXPECT_TRUE(responder.shown().empty());

    // No day is current after a refresh: Yes files the text under today and
    // the window may go; nothing typed is dropped.
    book->setText(4, QStringLiteral("晴"));
    responder.answer(base::vbYes);
    EXPECT_TRUE(book->close());
    EXPECT_EQ(storedText(kToday, 4), QStringLiteral("晴"));
    ASSERT_EQ(responder.shown().size(), 2u) << "the question, then where the text went";
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("日志：2026-05-15保存成功."));

    // A year whose months are shown is no page either.
    EXPECT_TRUE(book->refresh());
    book->clickNode(QStringLiteral("T2026"));
    EXPECT_TRUE(book->clickNode(QStringLiteral("T2026")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2026"));
    book->setText(8, QStringLiteral("a dream"));
    EXPECT_TRUE(book->save());
    EXPECT_EQ(storedText(kToday, 8), QStringLiteral("a dream"));
    EXPECT_EQ(storedText(kToday, 4), QString()) << "the page holds what the boxes held";
}

TEST_F(JournalBookTest, SearchFindsDaysNewestFirstIgnoringCaseAndOpensThem)
{
    writePage(QStringLiteral("2024-02-29"), QStringLiteral("Rain all day"), 4);
    writePage(QStringLiteral("2026-01-05"), QStringLiteral("no weather"), 4);
    writePage(QStringLiteral("2026-04-10"), QStringLiteral("heavy RAIN, 雨"), 4);
    writePage(QStringLiteral("2025-07-01"), QStringLiteral("dreamt of rainbows"), 8);
    const auto book = openBook();
    QSignalSpy changed(book.get(), &JournalBook::searchChanged);

    EXPECT_TRUE(book->search(QStringLiteral("rain")));
    EXPECT_TRUE(book->isSearching());
    EXPECT_EQ(book->searchResults(), (QStringList{QStringLiteral("2026-04-10"), QStringLiteral("2025-07-01"),
                                                  QStringLiteral("2024-02-29")}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(book->search(QStringLiteral("雨")));
    EXPECT_EQ(book->searchResults(), QStringList{QStringLiteral("2026-04-10")});
    EXPECT_TRUE(book->search(QStringLiteral("snow")));
    EXPECT_TRUE(book->searchResults().isEmpty());
    EXPECT_TRUE(book->isSearching());

    // A found day opens, and the tree reads its year and month to show it.
    book->search(QStringLiteral("RAIN"));
    EXPECT_TRUE(book->openFound(QStringLiteral("2024-02-29")));
    EXPECT_EQ(book->currentDate(), QStringLiteral("2024-02-29"));
    EXPECT_EQ(book->text(4), QStringLiteral("Rain all day"));
    EXPECT_EQ(book->selectedKey(), QStringLiteral("T2024-02-29"));
    EXPECT_TRUE(book->tree().node(QStringLiteral("T2024"))->loaded);
    EXPECT_TRUE(book->tree().node(QStringLiteral("T2024-02"))->expanded);

    // A save shows up in the results at once.
    book->setText(0, QStringLiteral("rain again"));
    book->newDay();
    book->save();
    EXPECT_EQ(book->searchResults().constFirst(), kToday);

    book->clearSearch();
    EXPECT_FALSE(book->isSearching());
    EXPECT_TRUE(book->searchResults().isEmpty());
    EXPECT_TRUE(book->search(QStringLiteral("rain")));
    EXPECT_TRUE(book->search(QString())) << "an empty text clears";
    EXPECT_FALSE(book->isSearching());
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

TEST(JournalKeys, LevelsAndDatesFollowTheKeyLength)
{
    EXPECT_EQ(levelOfKey(QStringLiteral("T2026")), NodeLevel::Year);
    EXPECT_EQ(levelOfKey(QStringLiteral("T2026-05")), NodeLevel::Month);
    EXPECT_EQ(levelOfKey(QStringLiteral("T2026-05-17")), NodeLevel::Day);
    EXPECT_EQ(levelOfKey(QString()), NodeLevel::None);
    EXPECT_EQ(dateOfKey(QStringLiteral("T2026-05-17")), QStringLiteral("2026-05-17"));
    EXPECT_EQ(nodeKey(QStringLiteral("2026-05")), QStringLiteral("T2026-05"));

    JournalTree tree;
    EXPECT_EQ(tree.add(QStringLiteral("T2026"), QStringLiteral("2026"), {}), 0);
    EXPECT_EQ(tree.add(QStringLiteral("T2024"), QStringLiteral("2024"), {}), 0) << "kept in date order";
    EXPECT_EQ(tree.add(QStringLiteral("T2026"), QStringLiteral("2026"), {}), -1) << "keys are unique";
    EXPECT_EQ(tree.add(QStringLiteral("T2025-01"), QStringLiteral("01"), QStringLiteral("T2025")), -1)
        << "no parent, no node";
    EXPECT_EQ(tree.topLevel(), (QStringList{QStringLiteral("T2024"), QStringLiteral("T2026")}));
}

TEST_F(JournalBookTest, FailedReadsAndSavesAreReportedAndChangeNothing)
{
    // The journal's pages are damaged on disk: every read and write of the
    // journal fails, while the ledger still opens.
    ledger.reset();
    testkit::damageTablePages(path, QStringLiteral("pw"), QStringLiteral("log"));
    ledger = std::make_unique<store::Ledger>(path, QStringLiteral("pw"));
    JournalBook broken(*ledger);
    broken.load();
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    EXPECT_TRUE(broken.tree().isEmpty()) << "no today's page over a journal that could not be read";

    broken.newDay();
    broken.setText(0, QStringLiteral("kept"));
    responder.clear();
    EXPECT_FALSE(broken.save());
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].style, base::vbInformation) << "the statement road";
    EXPECT_EQ(broken.text(0), QStringLiteral("kept"));
    EXPECT_TRUE(broken.isModified());

    responder.clear();
    EXPECT_FALSE(broken.clickNode(QStringLiteral("T2026"))) << "a failed month read";
    EXPECT_FALSE(broken.tree().node(QStringLiteral("T2026"))->loaded);
    EXPECT_FALSE(broken.search(QStringLiteral("x")));
    EXPECT_TRUE(broken.searchResults().isEmpty());
    EXPECT_EQ(responder.shown().size(), 2u) << "each failure reported once";
    EXPECT_EQ(broken.currentDate(), kToday);
}

} // namespace
