#include "skin_fixtures.h"

#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/message_box.h"
#include "store/app_paths.h"
#include "store/twips.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::skin;

TEST(MessageBoxLayout, WidthFollowsTheLongerOfTextAndButtons)
{
    struct Case {
        int labelLeft, labelWidth, okWidth, noWidth;
        int width, noLeft, okLeft;
    };
    const Case cases[] = {
        // short: 1215 × 3.8 + 1000 = 5617
        {900, 1500, 1215, 1215, 5617, 4222, 2827},
        // long: 6000 × 1.12 + 900 + 30 = 7650
        {900, 6000, 1215, 1215, 7650, 6255, 4860},
        // the text just under and over the button width's threshold
        {900, 4185, 1215, 1215, 5617, 4222, 2827},
        {900, 4200, 1215, 1215, 5634, 4239, 2844},
    };
    for (const Case &c : cases) {
        const MessageBoxLayout layout = layoutMessageBox(c.labelLeft, c.labelWidth, c.okWidth, c.noWidth);
        EXPECT_EQ(layout.width, c.width) << c.labelWidth;
        EXPECT_EQ(layout.noButtonLeft, c.noLeft) << c.labelWidth;
        EXPECT_EQ(layout.yesButtonLeft, c.okLeft) << c.labelWidth;
    }
}

TEST(MessageBox, ButtonsFollowTheStyle)
{
    MessageBox box;
    struct Case {
        int style;
        bool okShown;
        const char *noCaption;
    };
    const Case cases[] = {{0, false, "确定OK"}, {4, true, "否 NO"}, {64, false, "确定OK"},
                          {16, true, "否NO"},   {36, true, "否NO"}, {68, true, "否NO"}};
    for (const Case &c : cases) {
        box.setButtonStyle(c.style);
        EXPECT_EQ(!box.yesButton->isHidden(), c.okShown) << c.style;
        EXPECT_EQ(box.noButton->caption(), QString::fromUtf8(c.noCaption)) << c.style;
    }
    EXPECT_EQ(box.yesButton->caption(), QStringLiteral("是  YES"));
}

TEST(MessageBox, ShortAndLongMessagesSizeTheBox)
{
    MessageBox box;
    box.setButtonStyle(4);
    box.setMessage(QStringLiteral("是否退出 Are you sure exit？"));
    const int shortWidth = box.width();
    EXPECT_EQ(shortWidth, store::twipsToPixels(layoutMessageBox(900, 0, 1215, 1215).width));
    EXPECT_GT(box.yesButton->geometry().right(), 0);
    EXPECT_LT(box.yesButton->geometry().right(), box.noButton->geometry().left());

    box.setMessage(QStringLiteral("这是一条很长的消息，用来检查消息框会随着文字一起变宽，而按钮总是靠右对齐。"
                                  "This message is long enough to widen the box."));
    EXPECT_GT(box.width(), shortWidth);
    const int labelTwips = store::pixelsToTwips(box.messageLabel->width());
    EXPECT_NEAR(box.width(), store::twipsToPixels(int(labelTwips * 1.12 + 900 + 30)), 1);
    EXPECT_LE(box.contentArea()->mapTo(&box, box.noButton->geometry().topRight()).x(), box.width());

    box.setMessage(QStringLiteral("出错了\n\n无法查询。\n第四行\n第五行\n第六行"));
    EXPECT_GE(box.contentArea()->height(), box.messageLabel->geometry().bottom() + box.noButton->height())
        << "every line stays visible";
}

TEST(MessageBox, RoutineShowsTextStyleTitleAndAnswers)
{
    QTemporaryDir dir;
    store::setCurrentSkinPath(skin::testing::TestSkin().save(dir));
    installMessageBox();
    MessageBox *box = messageBox();
    EXPECT_EQ(messageBox(), box) << "one box for every message";

    QTimer::singleShot(0, box, [box] { box->yesButton->click(); });
    EXPECT_EQ(store::showMessage(QStringLiteral("删除吗？"), 4, QString()), 6);
    EXPECT_EQ(box->message(), QStringLiteral("删除吗？"));
    EXPECT_EQ(box->buttonStyle(), 4);
    EXPECT_EQ(box->windowTitle(), store::productName());
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->captionBar->skinPath(), store::currentSkinPath()) << "the box wears the current skin";

    // Closing by the caption bar answers no, even after a yes.
    QTimer::singleShot(0, box, [box] { box->close(); });
    EXPECT_EQ(store::showMessage(QStringLiteral("是否退出 Are you sure exit？"), 36, QStringLiteral("退出")),
              7);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("退出"));

    QTimer::singleShot(0, box, [box] { box->noButton->click(); });
    EXPECT_EQ(store::showMessage(QStringLiteral("好"), 0), 7);
    store::setMessagePresenter({});
    store::setCurrentSkinPath({});
}
