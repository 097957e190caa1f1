// The journal window over a real ledger, driven by keys and clicks: its
// controls and captions, the tree, the boxes, the search box, closing.
#include "../journal_fixture.h"

#include "journal/long_lines.h"
#include "journal/ui/journal_window.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
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
};

TEST_F(JournalWindowTest, ControlsCarryTheirNamesCaptionsAndPlaces)
{
    JournalWindow window(*ledger);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.objectName(), QStringLiteral("frmLog"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  "));
    EXPECT_EQ(window.captionBar->title(), QStringLiteral("日志  "));

    const char *captions[] = {"开心的事",       "为他人做的事",   "工作/计划/备忘",
                              "比起昨天的进步", "天气 时间 ",     "心情/感悟/灵感",
                              "关注/八卦/新闻", "健康/饮食/体重", "梦"};
    for (int field = 0; field < kFieldCount; ++field) {
        QGroupBox *frame = window.fieldFrames[std::size_t(field)];
        QPlainTextEdit *box = window.fieldBoxes[std::size_t(field)];
        EXPECT_EQ(frame->title(), QString::fromUtf8(captions[field]));
        EXPECT_EQ(frame, window.findChild<QGroupBox *>(QStringLiteral("Frame1_%1").arg(field)));
        EXPECT_EQ(box, window.findChild<QPlainTextEdit *>(QStringLiteral("Text1_%1").arg(field)));
        EXPECT_EQ(box->accessibleName(), frame->title());
        // Three rows of three, all the same size, reading order.
        const QRect place = frame->geometry();
        const QRect first = window.fieldFrames[std::size_t(field / 3 * 3)]->geometry();
        // (the layout may share out a spare pixel)
        EXPECT_NEAR(place.width(), window.fieldFrames[0]->width(), 1) << field;
        EXPECT_NEAR(place.height(), window.fieldFrames[0]->height(), 1) << field;
        EXPECT_EQ(place.top(), first.top()) << field;
        if (field % 3 > 0) {
            EXPECT_GT(place.left(), window.fieldFrames[std::size_t(field - 1)]->geometry().right()) << field;
        }
        if (field >= 3) {
            EXPECT_GT(place.top(), window.fieldFrames[std::size_t(field - 3)]->geometry().bottom()) << field;
        }
    }
    EXPECT_EQ(window.newButton->caption(), QStringLiteral("新一天 New"));
    EXPECT_EQ(window.refreshButton->caption(), QStringLiteral("刷   新 Ref"));
    EXPECT_EQ(window.okButton->caption(), QStringLiteral("确   定 OK"));
    EXPECT_EQ(window.closeButton->caption(), QStringLiteral("关 闭 Close"));
    for (const char *name : {"tv1", "cmdNew", "cmdRefresh", "OKButton", "cmdClose", "txtSearch"})
        EXPECT_NE(window.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;

    // The tree stands right of the boxes, the search box above it.
    const auto onWindow = [&window](QWidget *widget) { return widget->mapTo(&window, QPoint(0, 0)); };
    EXPECT_GT(onWindow(window.dateTree).x(), onWindow(window.fieldFrames[2]).x());
    EXPECT_LT(onWindow(window.searchBox).y(), onWindow(window.dateTree).y());
    // An empty journal: today's nodes, selected.
    ASSERT_NE(window.nodeItem(QStringLiteral("T2026-05-15")), nullptr);
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2026-05-15")));
    EXPECT_EQ(window.nodeItem(QStringLiteral("T2026-05-15"))->text(0), QStringLiteral("15"));
}

TEST_F(JournalWindowTest, ClicksAndKeysOpenPagesTypeAndSave)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    JournalWindow window(*ledger);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
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
    EXPECT_EQ(window.captionBar->title(), QStringLiteral("日志  2026-04-10"));
    EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("ten"));

    // Tab into a box selects its whole text; typing replaces it.
    window.fieldBoxes[8]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window.fieldBoxes[8], Qt::Key_Tab);
    QTRY_VERIFY(window.searchBox->hasFocus());
    window.fieldBoxes[0]->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(window.fieldBoxes[0]->textCursor().selectedText(), QStringLiteral("ten"));
    QTest::keyClicks(window.fieldBoxes[0], QStringLiteral("it's"));
    QTest::keyClick(window.fieldBoxes[0], Qt::Key_Return);
    typeCommitted(window.fieldBoxes[0], QStringLiteral("“雨”"));
    EXPECT_EQ(window.book().text(0), QStringLiteral("it's\n“雨”"));
    EXPECT_TRUE(window.book().isModified());

    window.okButton->setFocus();
    QTest::keyClick(window.okButton, Qt::Key_Space);
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10")), QStringLiteral("it's\r\n“雨”"));
    ASSERT_FALSE(responder.shown().empty());
    EXPECT_EQ(responder.shown().back().text, QStringLiteral("日志：2026-04-10保存成功."));

    // "新一天 New" puts today in the tree and the title; the boxes stay.
    QTest::mouseClick(window.newButton, Qt::LeftButton);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  2026-05-15"));
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2026-05-15")));
    EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("it's\n“雨”"));

    // Refresh: years only again, empty boxes.
    QTest::mouseClick(window.refreshButton, Qt::LeftButton);
    EXPECT_EQ(window.dateTree->topLevelItemCount(), 1);
    EXPECT_EQ(window.nodeItem(QStringLiteral("T2026-04")), nullptr);
    EXPECT_TRUE(window.fieldBoxes[0]->toPlainText().isEmpty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  "));
}

// The journal has pages, so the window opens with none chosen; what is typed
// then is filed under today by OK, and by Close when asked.
TEST_F(JournalWindowTest, TextTypedBeforeADayIsChosenIsFiledUnderToday)
{
    writePages({{"2026-04-10", "ten"}});
    JournalWindow window(*ledger);
    for (int message = 0; message < 3; ++message)
        responder.answer(base::MessageAnswer::Yes); // the saved messages take one each
    QTimer::singleShot(0, &window, [this, &window] {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  "));
        QTest::keyClicks(window.fieldBoxes[1], QStringLiteral("helped"));
        QTest::mouseClick(window.okButton, Qt::LeftButton);
        EXPECT_EQ(storedText(QStringLiteral("2026-05-15"), 1), QStringLiteral("helped"));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("日志  2026-05-15"));
        EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2026-05-15")));

        QTest::mouseClick(window.refreshButton, Qt::LeftButton);
        QTest::keyClicks(window.fieldBoxes[7], QStringLiteral("ran 5 km"));
        QTest::mouseClick(window.closeButton, Qt::LeftButton); // asked; Yes
        if (window.isVisible()) {
            ADD_FAILURE() << "Yes kept the window open";
            window.hide();
        }
    });
    window.showModal();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(storedText(QStringLiteral("2026-05-15"), 7), QStringLiteral("ran 5 km"));
    EXPECT_EQ(storedText(QStringLiteral("2026-05-15"), 1), QString());
    ASSERT_EQ(responder.shown().size(), 3u);
    EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志：2026-05-15保存成功."));
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("日志有修改，是否保存？"));
    EXPECT_EQ(responder.shown()[2].text, QStringLiteral("日志：2026-05-15保存成功."));
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

    JournalWindow window(*ledger);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
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
    JournalWindow window(*ledger);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    window.searchBox->setFocus();
    QTest::keyClicks(window.searchBox, QStringLiteral("RAIN"));
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.dateTree) << "searching waits for Enter";
    QTest::keyClick(window.searchBox, Qt::Key_Return);
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.foundList);
    ASSERT_EQ(window.foundList->count(), 2);
    EXPECT_EQ(window.foundList->item(0)->text(), QStringLiteral("2026-04-20"));
    EXPECT_EQ(window.foundList->item(1)->text(), QStringLiteral("2025-06-01"));
    EXPECT_TRUE(window.foundLabel->isVisible());

    const QRect place = window.foundList->visualItemRect(window.foundList->item(1));
    QTest::mouseClick(window.foundList->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(window.book().currentDate(), QStringLiteral("2025-06-01"));
    EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("Rain"));

    QTest::keyClick(window.searchBox, Qt::Key_Escape);
    EXPECT_EQ(window.treeOrFound->currentWidget(), window.dateTree);
    EXPECT_TRUE(window.searchBox->text().isEmpty());
    EXPECT_FALSE(window.foundLabel->isVisible());
    EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(QStringLiteral("T2025-06-01")))
        << "the opened day is shown in the tree";
}

TEST_F(JournalWindowTest, ClosingAsksAboutUnsavedTextAndTheWindowIsKeptBetweenOpenings)
{
    writePages({{"2026-04-10", "ten"}});
    JournalWindow window(*ledger);
    window.book().clickNode(QStringLiteral("T2026"));
    window.book().clickNode(QStringLiteral("T2026-04"));
    window.book().clickNode(QStringLiteral("T2026-04-10"));

    responder.answer(base::MessageAnswer::Cancel);
    responder.answer(base::MessageAnswer::No);
    QTimer::singleShot(0, &window, [&window] {
        QTest::keyClicks(window.fieldBoxes[2], QStringLiteral("unsaved"));
        QTest::mouseClick(window.closeButton, Qt::LeftButton); // Cancel: stays
        EXPECT_TRUE(window.isVisible());
        window.close(); // the caption bar's road; No: goes without saving
    });
    window.showModal();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(window.fieldBoxes[2]->toPlainText(), QString()) << "No discarded the typing";
    EXPECT_EQ(storedText(QStringLiteral("2026-04-10"), 2), QString());

    // The next opening shows the window as it was left: same page, same tree.
    QTimer::singleShot(0, &window, [&window] {
        EXPECT_EQ(window.book().currentDate(), QStringLiteral("2026-04-10"));
        EXPECT_EQ(window.fieldBoxes[0]->toPlainText(), QStringLiteral("ten"));
        EXPECT_NE(window.nodeItem(QStringLiteral("T2026-04-10")), nullptr);
        QTest::mouseClick(window.closeButton, Qt::LeftButton);
    });
    window.showModal();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(responder.shown().size(), 2u) << "nothing to ask without changes";
}

// The unsaved-changes question on every road that would replace or leave
// typed text, with each answer.
TEST_F(JournalWindowTest, UnsavedChangesAreAskedAboutOnEveryRoad)
{
    using base::MessageAnswer;
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty"}});
    const QString ten = QStringLiteral("2026-04-10");
    const QString twenty = QStringLiteral("2026-04-20");
    enum class Road { ClickAnotherDay, Refresh, Close, OpenFound };
    const struct {
        Road road;
        const char *name;
    } roads[] = {{Road::ClickAnotherDay, "click another day"},
                 {Road::Refresh, "refresh"},
                 {Road::Close, "close"},
                 {Road::OpenFound, "open a found day"}};
    const struct {
        MessageAnswer answer;
        const char *name;
    } answers[] = {{MessageAnswer::Yes, "yes"}, {MessageAnswer::No, "no"}, {MessageAnswer::Cancel, "cancel"}};

    for (const auto &road : roads) {
        for (const auto &answer : answers) {
            SCOPED_TRACE(std::string(road.name) + " / " + answer.name);
            writePage(ten, QStringLiteral("ten"));
            JournalWindow window(*ledger);
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            clickNode(window, QStringLiteral("T2026"));
            clickNode(window, QStringLiteral("T2026-04"));
            clickNode(window, nodeKey(ten));
            window.fieldBoxes[1]->setText(QStringLiteral("typed"));
            if (road.road == Road::OpenFound) {
                window.searchBox->setText(QStringLiteral("twenty"));
                QTest::keyClick(window.searchBox, Qt::Key_Return);
            }
            responder.clear();
            responder.answer(answer.answer);

            switch (road.road) {
            case Road::ClickAnotherDay:
                clickNode(window, nodeKey(twenty));
                break;
            case Road::Refresh:
                QTest::mouseClick(window.refreshButton, Qt::LeftButton);
                break;
            case Road::Close:
                QTest::mouseClick(window.closeButton, Qt::LeftButton);
                break;
            case Road::OpenFound:
                QTest::mouseClick(window.foundList->viewport(), Qt::LeftButton, {},
                                  window.foundList->visualItemRect(window.foundList->item(0)).center());
                break;
            }

            ASSERT_FALSE(responder.shown().empty());
            EXPECT_EQ(responder.shown()[0].text, QStringLiteral("日志有修改，是否保存？"));
            EXPECT_EQ(responder.shown()[0].buttons, base::MessageButtons::YesNoCancel);
            const bool yes = answer.answer == MessageAnswer::Yes;
            EXPECT_EQ(storedText(ten, 1), yes ? QStringLiteral("typed") : QString());
            if (yes) {
                EXPECT_EQ(responder.shown().back().text, QStringLiteral("日志：2026-04-10保存成功."));
            }
            const JournalBook &book = window.book();
            if (answer.answer == MessageAnswer::Cancel) {
                EXPECT_EQ(book.currentDate(), ten);
                EXPECT_EQ(window.fieldBoxes[1]->text(), QStringLiteral("typed"));
                EXPECT_EQ(window.dateTree->currentItem(), window.nodeItem(nodeKey(ten)))
                    << "the tree keeps the day shown";
                EXPECT_TRUE(book.isModified());
                EXPECT_TRUE(window.isVisible());
                continue;
            }
            EXPECT_FALSE(book.isModified());
            switch (road.road) {
            case Road::ClickAnotherDay:
            case Road::OpenFound:
                EXPECT_EQ(book.currentDate(), twenty);
                EXPECT_EQ(window.fieldBoxes[0]->text(), QStringLiteral("twenty"));
                EXPECT_EQ(book.selectedKey(), nodeKey(twenty));
                break;
            case Road::Refresh:
                EXPECT_TRUE(book.currentDate().isEmpty());
                EXPECT_EQ(book.texts(), PageTexts{});
                break;
            case Road::Close:
                // Kept for the next opening: saved, or the loaded text back.
                EXPECT_FALSE(window.isVisible());
                EXPECT_EQ(book.currentDate(), ten);
                EXPECT_EQ(window.fieldBoxes[1]->text(), yes ? QStringLiteral("typed") : QString());
                break;
            }
        }
    }
}

// Nothing is asked without changes; a save shows up among the days found.
TEST_F(JournalWindowTest, NoQuestionWithoutChangesAndASaveIsFoundAtOnce)
{
    writePages({{"2026-04-10", "ten"}, {"2026-04-20", "twenty rain"}});
    JournalWindow window(*ledger);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    clickNode(window, QStringLiteral("T2026"));
    clickNode(window, QStringLiteral("T2026-04"));
    clickNode(window, QStringLiteral("T2026-04-10"));
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
    ledger.reset();
    testkit::damageTablePages(path, QStringLiteral("pw"), QStringLiteral("log"));
    ledger = std::make_unique<store::Ledger>(path, QStringLiteral("pw"));
    JournalWindow window(*ledger);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.newButton, Qt::LeftButton);
    window.fieldBoxes[0]->setText(QStringLiteral("kept"));
    responder.clear();
    QTest::mouseClick(window.okButton, Qt::LeftButton);
    ASSERT_EQ(responder.shown().size(), 1u) << "no success message after the failure";
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Information) << "the statement road";
    EXPECT_EQ(window.fieldBoxes[0]->text(), QStringLiteral("kept"));

    responder.clear();
    window.searchBox->setText(QStringLiteral("x"));
    QTest::keyClick(window.searchBox, Qt::Key_Return);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    EXPECT_EQ(window.foundList->count(), 0);
    EXPECT_EQ(window.book().currentDate(), QStringLiteral("2026-05-15"));
}

} // namespace
