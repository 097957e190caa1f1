#include "skin/balloon_tip.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel::skin;

TEST(BalloonTip, CreateChecksStyleAndIconAndKeepsItsSettings)
{
    QLabel control(QStringLiteral("收入"));
    BalloonTip tip;
    EXPECT_EQ(tip.setTipFont(QStringLiteral("Tahoma"), 9, false, false), nullptr) << "nothing before attach";
    EXPECT_FALSE(tip.attach(&control, QStringLiteral("x"), 2));
    EXPECT_FALSE(tip.attach(&control, QStringLiteral("x"), 65, false, 4));
    EXPECT_FALSE(tip.attach(nullptr, QStringLiteral("x")));
    EXPECT_EQ(tip.tipWindow(), nullptr);

    ASSERT_TRUE(tip.attach(&control, QStringLiteral("第一行|second"), 65 | 128, false, 1,
                           QStringLiteral("备注"), kSysButtonText, kSysInfoBackground, 10, 6000));
    EXPECT_EQ(tip.text(), QStringLiteral("第一行\nsecond"));
    EXPECT_EQ(tip.hoverTime(), 50) << "0 to 49 becomes 50";
    EXPECT_EQ(tip.fontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(tip.fontSize(), 9);

    ASSERT_TRUE(tip.attach(&control, QStringLiteral("x"), 1, true, 0, {}, 0x123456, 0x123456, -1, 100));
    EXPECT_EQ(tip.textColour(), kSysButtonText) << "equal colours revert to the defaults";
    EXPECT_EQ(tip.backColour(), kSysInfoBackground);
    EXPECT_EQ(tip.hoverTime(), -1);
    EXPECT_TRUE(tip.isCentred());
}

TEST(BalloonTip, FontSizeIsClampedAndTheNameTrimmed)
{
    QLabel control;
    BalloonTip tip;
    ASSERT_TRUE(tip.attach(&control, QStringLiteral("x")));
    struct Case {
        double asked, given;
    };
    for (const Case &c : {Case{5, 8}, Case{72, 36}, Case{11, 11}, Case{8, 8}, Case{36, 36}}) {
        ASSERT_NE(tip.setTipFont(QStringLiteral("  Noto Sans CJK SC "), c.asked, true, true), nullptr);
        EXPECT_EQ(tip.fontSize(), c.given) << c.asked;
    }
    EXPECT_EQ(tip.fontName(), QStringLiteral("Noto Sans CJK SC"));
    EXPECT_TRUE(tip.fontBold());
    EXPECT_TRUE(tip.fontItalic());
}

TEST(BalloonTip, ShowsOnHoverWithTwoLinesAndHidesAfterThePopupTime)
{
    QLabel control(QStringLiteral("工资"));
    control.resize(100, 30);
    control.show();
    BalloonTip tip;
    ASSERT_TRUE(tip.attach(&control, QStringLiteral("一|二"), 65, false, 1, QStringLiteral("备注"),
                           kSysButtonText, kSysInfoBackground, 0, 200));
    tip.setTipFont(QStringLiteral("宋体"), 11, false, false);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&control, &enter);
    QTRY_VERIFY(tip.tipWindow()->isVisible());
    const int twoLines = tip.tipWindow()->height();
    ASSERT_TRUE(tip.attach(&control, QStringLiteral("一"), 65, false, 1, QStringLiteral("备注"),
                           kSysButtonText, kSysInfoBackground, 0, 0));
    tip.setTipFont(QStringLiteral("宋体"), 11, false, false);
    tip.showTip();
    EXPECT_GT(twoLines, tip.tipWindow()->height()) << "the | made a second line";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&control, &leave);
    EXPECT_FALSE(tip.tipWindow()->isVisible());

    ASSERT_TRUE(tip.attach(&control, QStringLiteral("x"), 65, false, 0, {}, kSysButtonText,
                           kSysInfoBackground, 0, 100));
    tip.showTip();
    QTRY_VERIFY(!tip.tipWindow()->isVisible());
}
