// The program-wide routines: messages, the status line, month keys.
#include "base/message.h"
#include "base/month_keys.h"
#include "base/status_line.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::base;

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

TEST(StatusLine, GoesToTheMainWindowWhileItHoldsTheWriter)
{
    QString status;
    showStatus(QStringLiteral("a:b"));
    int window = 0;
    setStatusWriter(&window,
                    [&status](const QString &text, int panel) { status = QString::number(panel) + text; });
    showStatus(QStringLiteral("准备就绪: 共 3 条"), 1);
    EXPECT_EQ(status, QStringLiteral("1准备就绪： 共 3 条"));
    // A window that closes after the next one opened leaves the new writer.
    int older = 0;
    releaseStatusWriter(&older);
    showStatus(QStringLiteral("x"), 2);
    EXPECT_EQ(status, QStringLiteral("2x"));
    releaseStatusWriter(&window);
    showStatus(QStringLiteral("y"));
    EXPECT_EQ(status, QStringLiteral("2x"));
}

TEST(MonthKeys, KeysAndTheMonthBefore)
{
    EXPECT_EQ(monthKeyOf(QDate(2026, 3, 5)), QStringLiteral("2026-03"));
    EXPECT_EQ(monthKeyOf(QDate(2026, 10, 31)), QStringLiteral("2026-10"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-01")), QStringLiteral("2025-12"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-10")), QStringLiteral("2026-09"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-12")), QStringLiteral("2026-11"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("202601")), QString());
    EXPECT_EQ(previousMonthKey(QString()), QString());
}
