#include "skin_fixtures.h"

#include "base/app_paths.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/message_box.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::skin;

// Buttons and icon follow the request; a message without an icon (OK only,
// Yes/No such as the month-end question) shows none. A critical message
// shows both buttons.
TEST(MessageBox, ButtonsAndIconFollowTheRequest)
{
    using base::MessageButtons;
    using base::MessageIcon;
    MessageBox box;
    struct Case {
        MessageButtons buttons;
        MessageIcon icon;
        bool okShown;
        const char *noCaption;
    };
    const Case cases[] = {
        {MessageButtons::Ok, MessageIcon::None, false, "确定OK"},
        {MessageButtons::YesNo, MessageIcon::None, true, "否 NO"},
        {MessageButtons::Ok, MessageIcon::Critical, true, "否NO"},
        {MessageButtons::YesNo, MessageIcon::Question, true, "否NO"},
    };
    for (const Case &c : cases) {
        box.setButtons(c.buttons, c.icon);
        const bool icon = c.icon != MessageIcon::None;
        const std::string name = c.noCaption + std::to_string(int(c.icon));
        EXPECT_EQ(!box.yesButton->isHidden(), c.okShown) << name;
        EXPECT_EQ(box.noButton->caption(), QString::fromUtf8(c.noCaption)) << name;
        EXPECT_EQ(!box.iconLabel->isHidden(), icon) << name;
    }

    // A three-way question: Yes, No, Cancel from left to right, inside the box.
    box.setButtons(MessageButtons::YesNoCancel, MessageIcon::Question);
    box.setMessage(QStringLiteral("日志有修改，是否保存？"));
    EXPECT_LT(box.noButton->geometry().right(), box.cancelButton->geometry().left());
    EXPECT_LE(box.contentArea()->mapTo(&box, box.cancelButton->geometry().topRight()).x(), box.width());
}

// A long message widens the box, the buttons stay inside, and every line
// of a message of many lines stays visible.
TEST(MessageBox, ShortAndLongMessagesSizeTheBox)
{
    MessageBox box;
    box.setButtons(base::MessageButtons::YesNo);
    box.setMessage(QStringLiteral("是否退出 Are you sure exit？"));
    const int shortWidth = box.width();

    box.setMessage(QStringLiteral("这是一条很长的消息，用来检查消息框会随着文字一起变宽，而按钮总是靠右对齐。"
                                  "This message is long enough to widen the box."));
    EXPECT_GT(box.width(), shortWidth);
    EXPECT_LE(box.contentArea()->mapTo(&box, box.noButton->geometry().topRight()).x(), box.width());

    box.setMessage(QStringLiteral("出错了\n\n无法查询。\n第四行\n第五行\n第六行"));
    EXPECT_GE(box.contentArea()->height(), box.messageLabel->geometry().bottom() + box.noButton->height())
        << "every line stays visible";
}

TEST(MessageBox, RoutineShowsTextStyleTitleAndAnswers)
{
    QTemporaryDir dir;
    base::setCurrentSkinPath(skin::testing::TestSkin().save(dir));
    installMessageBox();
    MessageBox *box = messageBox();

    using base::MessageAnswer;
    using base::MessageButtons;
    QTimer::singleShot(0, box, [box] { box->yesButton->click(); });
    EXPECT_EQ(base::showMessage(QStringLiteral("删除吗？"), MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(box->message(), QStringLiteral("删除吗？"));
    EXPECT_EQ(box->windowTitle(), base::productName());
    EXPECT_EQ(box->captionBar->skinPath(), base::currentSkinPath()) << "the box wears the current skin";

    // Closing by the caption bar answers no, even after a yes.
    QTimer::singleShot(0, box, [box] { box->close(); });
    EXPECT_EQ(base::showMessage(QStringLiteral("是否退出 Are you sure exit？"), MessageButtons::YesNo,
                                base::MessageIcon::Question, QStringLiteral("退出")),
              MessageAnswer::No);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("退出"));

    // A three-way question: each button, closing and Escape.
    const auto ask = [] {
        return base::showMessage(QStringLiteral("日志有修改，是否保存？"), MessageButtons::YesNoCancel,
                                 base::MessageIcon::Question);
    };
    const std::pair<std::function<void()>, MessageAnswer> answers[] = {
        {[box] { box->cancelButton->click(); }, MessageAnswer::Cancel},
        {[box] { box->noButton->click(); }, MessageAnswer::No},
        {[box] { box->close(); }, MessageAnswer::Cancel},
        {[box] { QTest::keyClick(box->yesButton, Qt::Key_Escape); }, MessageAnswer::Cancel}};
    for (const auto &[act, answer] : answers) {
        QTimer::singleShot(0, box, act);
        EXPECT_EQ(ask(), answer);
    }
    // Escape leaves a two-way question as it always did: unanswered until a button.
    QTimer::singleShot(0, box, [box] {
        QTest::keyClick(box->yesButton, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible());
        box->noButton->click();
    });
    EXPECT_EQ(base::showMessage(QStringLiteral("删除吗？"), MessageButtons::YesNo), MessageAnswer::No);

    // Enter takes the button a question starts on: Yes, or No for one whose
    // Yes cannot be taken back lightly.
    for (const bool noFirst : {false, true}) {
        QTimer::singleShot(0, box, [box] { QTest::keyClick(box->focusWidget(), Qt::Key_Return); });
        EXPECT_EQ(base::showMessage({QStringLiteral("恢复吗？"),
                                     MessageButtons::YesNo,
                                     base::MessageIcon::Question,
                                     {},
                                     noFirst}),
                  noFirst ? MessageAnswer::No : MessageAnswer::Yes);
    }
    base::setMessagePresenter({});
    base::setCurrentSkinPath({});
}
