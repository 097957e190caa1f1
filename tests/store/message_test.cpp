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
