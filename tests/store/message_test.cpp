#include "store/app_paths.h"
#include "store/message.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zambrel;

TEST(MessageRoutine, EmptyTitleBecomesProductNameAndAnswersAreSixOrSeven)
{
    testkit::ScriptedResponder responder;
    responder.answer(store::vbYes);
    responder.answer(42); // anything but 6 counts as declined

    EXPECT_EQ(store::showMessage(QStringLiteral("是否退出 Are you sure exit？"), store::vbYesNo),
              store::vbYes);
    EXPECT_EQ(store::showMessage(QStringLiteral("x"), store::vbOKOnly, QStringLiteral("T")), store::vbNo);
    EXPECT_EQ(store::showMessage(QStringLiteral("y")), store::vbNo); // queue empty: fallback

    ASSERT_EQ(responder.shown().size(), 3u);
    EXPECT_EQ(responder.shown()[0].title, store::productName());
    EXPECT_EQ(responder.shown()[0].style, store::vbYesNo);
    EXPECT_EQ(responder.shown()[1].title, QStringLiteral("T"));
}

TEST(MessageRoutine, ThreeWayQuestionsAnswerYesNoOrCancel)
{
    {
        testkit::ScriptedResponder responder;
        for (const int reply : {6, 7, 2, 42})
            responder.answer(reply);
        const int style = store::vbYesNoCancel | store::vbQuestion;
        EXPECT_EQ(store::showMessage(QStringLiteral("q"), style), store::vbYes);
        EXPECT_EQ(store::showMessage(QStringLiteral("q"), style), store::vbNo);
        EXPECT_EQ(store::showMessage(QStringLiteral("q"), style), store::vbCancel);
        EXPECT_EQ(store::showMessage(QStringLiteral("q"), style), store::vbCancel)
            << "an answer that is none of the three changes nothing";
        // A two-way question never hears Cancel.
        responder.answer(store::vbCancel);
        EXPECT_EQ(store::showMessage(QStringLiteral("q"), store::vbYesNo), store::vbNo);
    }
    // Nobody to ask: two-way questions are declined, three-way ones cancelled.
    const store::MessagePresenter previous = store::setMessageResponder({});
    EXPECT_EQ(store::showMessage(QStringLiteral("q"), store::vbYesNo), store::vbNo);
    EXPECT_EQ(store::showMessage(QStringLiteral("q"), store::vbYesNoCancel), store::vbCancel);
    store::setMessageResponder(previous);
    EXPECT_TRUE(store::isThreeWay(35));
    EXPECT_FALSE(store::isThreeWay(36));
}

TEST(ProgramPaths, SettingsAndFoldersFollowTheOverrides)
{
    testkit::TempProgramFolder folder;
    EXPECT_EQ(store::defaultLedgerPath(), folder.path() + QStringLiteral("/Zambrel.mdb"));
    EXPECT_EQ(store::settingsValue(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("d")),
              QStringLiteral("d"));
    store::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/x/账本.mdb"));
    EXPECT_EQ(store::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")),
              QStringLiteral("/x/账本.mdb"));
    EXPECT_FALSE(store::fileExists(folder.file(QStringLiteral("none.mdb"))));
    EXPECT_TRUE(store::fileExists(folder.path()));
}
