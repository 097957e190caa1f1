#include "base/app_paths.h"
#include "base/message.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zambrel;

TEST(MessageRoutine, EmptyTitleBecomesProductNameAndCancelOnlyEndsAThreeWayQuestion)
{
    using base::MessageAnswer;
    using base::MessageButtons;
    {
        testkit::ScriptedResponder responder;
        for (const MessageAnswer reply : {MessageAnswer::Yes, MessageAnswer::Cancel, MessageAnswer::Cancel})
            responder.answer(reply);
        EXPECT_EQ(base::showMessage(QStringLiteral("是否退出 Are you sure exit？"), MessageButtons::YesNo),
                  MessageAnswer::Yes);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNo), MessageAnswer::No)
            << "a two-way question never hears Cancel";
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNoCancel), MessageAnswer::Cancel);
        EXPECT_EQ(base::showMessage(QStringLiteral("x"), MessageButtons::Ok, base::MessageIcon::None,
                                    QStringLiteral("T")),
                  MessageAnswer::No)
            << "queue empty: the fallback";

        ASSERT_EQ(responder.shown().size(), 4u);
        EXPECT_EQ(responder.shown()[0].title, base::productName());
        EXPECT_EQ(responder.shown()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(responder.shown()[3].title, QStringLiteral("T"));
    }
    // Nobody to ask: two-way questions are declined, three-way ones cancelled.
    const base::MessagePresenter previous = base::setMessageResponder({});
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    base::setMessageResponder(previous);
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
