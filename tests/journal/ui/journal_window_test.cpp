// The journal window over a real ledger, driven by keys and clicks: its
// controls and captions, the tree, the boxes, the search box, closing.
#include "../journal_fixture.h"

#include "journal/long_lines.h"
#include "journal/ui/journal_window.h"
#include "skin/flat_button.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QTest>
#include <QTextCursor>
#include <QTreeWidget>

using namespace zambrel;
using namespace zambrel::journal;

namespace {

// Chinese text arrives from the input method as committed text.
void typeCommitted(QWidget *widget, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

class JournalWindowTest : public testkit::JournalFixture {
protected:
    void clickNode(JournalWindow &window, const QString &key)
    {
        QTreeWidgetItem *item = window.nodeItem(key);
        ASSERT_NE(item, nullptr) << key.toStdString();
        const QRect place = window.dateTree->visualItemRect(item);
        ASSERT_TRUE(place.isValid()) << key.toStdString() << " is not shown";
        QTest::mouseClick(window.dateTree->viewport(), Qt::LeftButton, {}, place.center());
    }

    /// Clicks the year, the month and the day of `date`.
    void openDay(JournalWindow &window, const QString &date)
    {
        for (const QString &key : {nodeKey(date.left(4)), nodeKey(date.left(7)), nodeKey(date)})
            clickNode(window, key);
    }

    /// A journal window on the ledger, shown.
    JournalWindow &showWindow()
    {
        shown = std::make_unique<JournalWindow>(*ledger);
        shown->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(shown.get()));
        return *shown;
    }

    std::unique_ptr<JournalWindow> shown;
};

TEST_F(JournalWindowTest, ClicksAndKeysOpenPagesTypeAndSave)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    JournalWindow &window = showWindow();
    ASSERT_EQ(window.dateTree->topLevelItemCount(), 1);

    clickNode(window, QStringLiteral("T2026"));
    ASSERT_NE(window.nodeItem(QStringLiteral("T2026-04")), nullptr);
    EXPECT_TRUE(window.nodeItem(QStringLiteral("T2026"))->isExpanded());
    clickNode(window, QStringLiteral("T2026-04"));
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2026-04-20")));

    // Enter on a node is a click.
    window.dateTree->setFocus();
    window.dateTree->setCurrentItem(window.nodeItem(QStringLiteral("T2026-04-10")));
    QTest::keyClick(window.dateTree, Qt::Key_Return);
    EXPECT_EQ(window.book().currentDate(), QStringLiteral("2026-04-10"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  2026-04-10"));
    EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("ten"));

    // Tab into a box selects its whole text; typing replaces it (the tab
    // order: the accessibility walk).
    window.fieldBoxes[0]->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(window.fieldBoxes[0]->textCursor().selectedText(), QStringLiteral("ten"));
    // Coming back to the window, or from a message, selects nothing: the next
    // key must not replace the text unseen.
    for (const Qt::FocusReason back : {Qt::ActiveWindowFocusReason, Qt::OtherFocusReason}) {
        window.dateTree->setFocus();
        QTextCursor end = window.fieldBoxes[0]->textCursor();
        end.movePosition(QTextCursor::End);
        window.fieldBoxes[0]->setTextCursor(end);
        window.fieldBoxes[0]->setFocus(back);
        EXPECT_FALSE(window.fieldBoxes[0]->textCursor().hasSelection()) << back;
    }
    window.dateTree->setFocus();
    window.fieldBoxes[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(window.fieldBoxes[0], QStringLiteral("it's"));
    QTest::keyClick(window.fieldBoxes[0], Qt::Key_Return);
    typeCommitted(window.fieldBoxes[0], QStringLiteral("“雨”"));
    EXPECT_EQ(window.book().text(0), QStringLiteral("it's\n“雨”"));
    EXPECT_TRUE(window.book().isModified());

    window.okButton->setFocus();
    QTest::keyClick(window.okButton, Qt::Key_Space);
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10")), QStringLiteral("it's\r\n“雨”"));

    // "新一天 New" puts today in the tree (the boxes stay: the book's test).
    QTest::mouseClick(window.newButton, Qt::LeftButton);
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2026-05-15")));

    // Refresh: years only again (the boxes emptied: the unsaved-changes roads).
    QTest::mouseClick(window.refreshButton, Qt::LeftButton);
    EXPECT_EQ(window.dateTree->topLevelItemCount(), 1);
    EXPECT_EQ(window.nodeItem(QStringLiteral("T2026-04")), nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  "));
}

// A page holding a 10 MB line without any place to break (a pasted key or
// hash): it opens at once, cut for display only, and whatever is typed,
// pasted, deleted or copied, the text is the page's own.
TEST_F(JournalWindowTest, AnUnbrokenTenMegabyteLineOpensAtOnceAndComesBackAsItWas)
{
    QByteArray noise(5'000'000, Qt::Uninitialized);
    QRandomGenerator(26).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const QString block = QString::fromLatin1(noise.toHex());
    ASSERT_EQ(block.size(), 10'000'000);
    writePage(QStringLiteral("2026-04-10"),
              QStringLiteral("before\r\n") + block + QStringLiteral("\r\nafter"));
    QString expected = QStringLiteral("before\n") + block + QStringLiteral("\nafter");

    JournalWindow &window = showWindow();
    window.book().clickNode(QStringLiteral("T2026"));
    window.book().clickNode(QStringLiteral("T2026-04"));
    window.book().clickNode(QStringLiteral("T2026-04-10"));
    JournalTextBox *box = window.fieldBoxes[0];
    window.repaint();
    EXPECT_EQ(box->text(), expected);
    EXPECT_EQ(box->cutCount(), 10'000'000 / kLongLine - 1);
    EXPECT_FALSE(box->isUndoRedoEnabled()) << "an undone deletion would bring a cut back as text";
    EXPECT_FALSE(window.book().isModified());

    // Before the first cut, a position in the box is one in the text.
    const int firstCut = int(box->toPlainText().indexOf(u'\n', 7));
    ASSERT_EQ(firstCut, 7 + kLongLine);

    // Typing at the end, a line break of its own inside a display line, and
    // a deletion across a cut.
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    QTest::keyClicks(box, QStringLiteral("!"));
    expected += u'!';
    cursor.setPosition(100);
    box->setTextCursor(cursor);
    QTest::keyClick(box, Qt::Key_Return);
    expected.insert(100, u'\n');
    EXPECT_EQ(box->text(), expected);
    cursor.setPosition(firstCut + 1 - 5);
    cursor.setPosition(firstCut + 1 + 5, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    QTest::keyClick(box, Qt::Key_Delete);
    expected.remove(firstCut + 1 - 5, 9); // the cut was no character of the text
    EXPECT_EQ(box->text(), expected);
    EXPECT_EQ(window.book().text(0), expected);

    // Copying gives the text without the cuts; pasting a long line cuts it.
    box->selectAll();
    box->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    const QString more = block.left(3 * kLongLine + 17);
    QGuiApplication::clipboard()->setText(more);
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    const int cutsBefore = box->cutCount();
    box->paste();
    expected += more;
    EXPECT_EQ(box->cutCount(), cutsBefore + 3);
    EXPECT_EQ(box->text(), expected);
    EXPECT_EQ(window.book().text(0), expected);

    QTest::mouseClick(window.okButton, Qt::LeftButton);
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10")),
              QString(expected).replace(u'\n', QStringLiteral("\r\n")));
}

TEST_F(JournalWindowTest, SearchBoxListsOnEnterOpensOnClickAndClearsOnEscape)
{
    writePages({{"2025-06-01", "Rain"}, {"2026-04-10", "sun"}, {"2026-04-20", "more rain"}});
    JournalWindow &window = showWindow();

    window.searchBox->setFocus();
    QTest::keyClicks(window.searchBox, QStringLiteral("RAIN"));
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.dateTree) << "searching waits for Enter";
    QTest::keyClick(window.searchBox, Qt::Key_Return);
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.foundList);
    ASSERT_EQ(window.foundList->count(), 2);
    EXPECT_EQ(window.foundList->item(0)->text(), QStringLiteral("2026-04-20"));
    EXPECT_EQ(window.foundList->item(1)->text(), QStringLiteral("2025-06-01"));

    const QRect place = window.foundList->visualItemRect(window.foundList->item(1));
    QTest::mouseClick(window.foundList->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(window.book().currentDate(), QStringLiteral("2025-06-01"));
    EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("Rain"));

    QTest::keyClick(window.searchBox, Qt::Key_Escape);
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.dateTree);
    EXPECT_TRUE(window.searchBox->text().isEmpty());
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2025-06-01")))
        << "the opened day is shown in the tree";
}

// The unsaved-changes question on every road that would replace or leave
// typed text, with each answer.
TEST_F(JournalWindowTest, UnsavedChangesAreAskedAboutOnEveryRoad)
{
    using base::MessageAnswer;
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    const QString ten = QStringLiteral("2026-04-10");
    const QString twenty = QStringLiteral("2026-04-20");
    // Each road, the day shown after it (none after a refresh) and whether the window stays.
    const struct {
        const char *name;
        std::function<void(JournalWindow &)> take;
        QString dayAfter;
        bool stays;
    } roads[] = {
        {"another day", [&](JournalWindow &w) { clickNode(w, nodeKey(twenty)); }, twenty, true},
        {"refresh", [](JournalWindow &w) { QTest::mouseClick(w.refreshButton, Qt::LeftButton); }, {}, true},
        {"close", [](JournalWindow &w) { QTest::mouseClick(w.closeButton, Qt::LeftButton); }, ten, false},
        {"caption close", [](JournalWindow &w) { w.close(); }, ten, false},
        {"a day found",
         [](JournalWindow &w) {
             w.searchBox->setText(QStringLiteral("twenty"));
             QTest::keyClick(w.searchBox, Qt::Key_Return);
             QTest::mouseClick(w.foundList->viewport(), Qt::LeftButton, {},
                               w.foundList->visualItemRect(w.foundList->item(0)).center());
         },
         twenty, true},
    };
    for (const auto &road : roads) {
        for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}) {
            SCOPED_TRACE(testing::Message() << road.name << ", answer " << int(answer));
            writePage(ten, QStringLiteral("ten"));
            JournalWindow &window = showWindow();
            openDay(window, ten);
            window.fieldBoxes[1]->setText(QStringLiteral("typed"));
            responder.clear();
            responder.answer(answer);
            road.take(window);

            ASSERT_FALSE(responder.shown().empty());
            EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志有修改，是否保存？"));
            EXPECT_EQ(responder.shown()[0].buttons, base::MessageButtons::YesNoCancel);
            const bool yes = answer == MessageAnswer::Yes;
            EXPECT_EQ(storedText(ten, 1), yes ? QStringLiteral("typed") : QString());
            const JournalBook &book = window.book();
            const bool cancel = answer == MessageAnswer::Cancel;
            EXPECT_EQ(book.isModified(), cancel);
            EXPECT_EQ(book.currentDate(), cancel ? ten : road.dayAfter);
            EXPECT_EQ(window.isVisible(), cancel || road.stays);
            // Kept for the next opening after a close: saved, or the loaded text back.
            EXPECT_EQ(window.fieldBoxes[1]->text(),
                      cancel || (yes && road.dayAfter == ten) ? QStringLiteral("typed") : QString());
            EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(nodeKey(book.currentDate())))
                << "the tree shows the day shown";
        }
    }
}

// Nothing is asked without changes; a save shows up among the days found.
TEST_F(JournalWindowTest, NoQuestionWithoutChangesAndASaveIsFoundAtOnce)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty rain"}});
    JournalWindow &window = showWindow();
    openDay(window, QStringLiteral("2026-04-10"));
    window.fieldBoxes[0]->setText(QStringLiteral("changed"));
    window.fieldBoxes[0]->setText(QStringLiteral("ten")); // typed back as it was
    clickNode(window, QStringLiteral("T2026-04-20"));
    QTest::mouseClick(window.refreshButton, Qt::LeftButton);
    EXPECT_TRUE(responder.shown().empty());

    window.searchBox->setText(QStringLiteral("rain"));
    QTest::keyClick(window.searchBox, Qt::Key_Return);
    ASSERT_EQ(window.foundList->count(), 1);
    QTest::mouseClick(window.newButton, Qt::LeftButton);
    window.fieldBoxes[4]->setText(QStringLiteral("晴 rain"));
    QTest::mouseClick(window.okButton, Qt::LeftButton);
    ASSERT_EQ(window.foundList->count(), 2) << "the saved day is found at once";
    EXPECT_EQ(window.foundList->item(0)->text(), QStringLiteral("2026-05-15"));
}

// On a journal whose pages are damaged every control's failure is told
// once, on its road, and changes nothing.
TEST_F(JournalWindowTest, FailuresAreReportedOnceOnTheirRoads)
{
    close();
    testkit::damageTablePages(path, password, QStringLiteral("log"));
    open();
    JournalWindow &window = showWindow();
    ASSERT_EQ(responder.shown().size(), 1u) << "the journal could not be read";
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));

    QTest::mouseClick(window.newButton, Qt::LeftButton);
    window.fieldBoxes[0]->setText(QStringLiteral("kept"));
    responder.clear();
    QTest::mouseClick(window.okButton, Qt::LeftButton);
    ASSERT_EQ(responder.shown().size(), 1u) << "no success message after the failure";
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Information) << "the statement road";
    EXPECT_EQ(window.fieldBoxes[0]->text(), QStringLiteral("kept"));
    EXPECT_TRUE(window.book().isModified());

    responder.clear();
    window.searchBox->setText(QStringLiteral("x"));
    QTest::keyClick(window.searchBox, Qt::Key_Return);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    EXPECT_EQ(window.foundList->count(), 0);
    EXPECT_EQ(window.book().currentDate(), QStringLiteral("2026-05-15"));
}

} // namespace
