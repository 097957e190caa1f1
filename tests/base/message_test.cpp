#include "base/app_paths.h"
#include "base/message.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zambrel;

TEST(MessageRoutine, EmptyTitleBecomesProductNameAndAnswersAreSixOrSeven)
{
    testkit::ScriptedResponder responder;
    responder.answer(base::vbYes);
    responder.answer(42); // anything but 6 counts as declined

    EXPECT_EQ(base::showMessage(QStringLiteral("是否退出 Are you sure exit？"), base::vbYesNo), base::vbYes);
    EXPECT_EQ(base::showMessage(QStringLiteral("x"), base::vbOKOnly, QStringLiteral("T")), base::vbNo);
    EXPECT_EQ(base::showMessage(QStringLiteral("y")), base::vbNo); // queue empty: fallback

    ASSERT_EQ(responder.shown().size(), 3u);
    EXPECT_EQ(responder.shown()[0].title, base::productName());
    EXPECT_EQ(responder.shown()[0].style, base::vbYesNo);
    EXPECT_EQ(responder.shown()[1].title, QStringLiteral("T"));
}

TEST(MessageRoutine, ThreeWayQuestionsAnswerYesNoOrCancel)
{
    {
        testkit::ScriptedResponder responder;
        for (const int reply : {6, 7, 2, 42})
            responder.answer(reply);
        const int style = base::vbYesNoCancel | base::vbQuestion;
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), style), base::vbYes);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), style), base::vbNo);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), style), base::vbCancel);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), style), base::vbCancel)
            << "an answer that is none of the three changes nothing";
        // A two-way question never hears Cancel.
        responder.answer(base::vbCancel);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), base::vbYesNo), base::vbNo);
    }
    // Nobody to ask: two-way questions are declined, three-way ones cancelled.
    const base::MessagePresenter previous = base::setMessageResponder({});
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), base::vbYesNo), base::vbNo);
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), base::vbYesNoCancel), base::vbCancel);
    base::setMessageResponder(previous);
    EXPECT_TRUE(base::isThreeWay(35));
    EXPECT_FALSE(base::isThreeWay(36));
}

TEST(ProgramPaths, SettingsAndFoldersFollowTheOverrides)
{
    testkit::TempProgramFolder folder;
    EXPECT_EQ(base::defaultLedgerPath(), folder.path() + QStringLiteral("/Zambrel.mdb"));
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("d")),
              QStringLiteral("d"));
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/x/账本.mdb"));
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), QStringLiteral("/x/账本.mdb"));
    EXPECT_FALSE(base::fileExists(folder.file(QStringLiteral("none.mdb"))));
    EXPECT_TRUE(base::fileExists(folder.path()));
}
