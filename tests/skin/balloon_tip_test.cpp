#include "skin/balloon_tip.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel::skin;

TEST(BalloonTip, AttachChecksStyleAndIconAndKeepsItsSettings)
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
    ASSERT_TRUE(tip.attach(&control, QStringLiteral("x"), 1, true, 0, {}, 0x123456, 0x123456, -1, 100));
    EXPECT_EQ(tip.textColour(), kSysButtonText) << "equal colours revert to the defaults";
    EXPECT_EQ(tip.backColour(), kSysInfoBackground);

    // The font size is clamped to 8..36, the name trimmed.
    for (const auto &[asked, given] : {std::pair{5.0, 8.0}, {72.0, 36.0}, {11.0, 11.0}}) {
        ASSERT_NE(tip.setTipFont(QStringLiteral("  Noto Sans CJK SC "), asked, true, true), nullptr);
        EXPECT_EQ(tip.fontSize(), given) << asked;
    }
    EXPECT_EQ(tip.fontName(), QStringLiteral("Noto Sans CJK SC"));
}

TEST(BalloonTip, ShowsOnHoverWithTwoLinesAndHidesAfterThePopupTime)
{
    QLabel control(QStringLiteral("工资"));
    control.resize(100, 30);
    control.show();
    BalloonTip tip;
    const auto attach = [&](const QString &text, int popupTime) {
        ASSERT_TRUE(tip.attach(&control, text, 65, false, 1, QStringLiteral("备注"), kSysButtonText,
                               kSysInfoBackground, 0, popupTime));
        tip.setTipFont(QStringLiteral("宋体"), 11, false, false);
    };
    attach(QStringLiteral("一|二"), 200);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&control, &enter);
    QTRY_VERIFY(tip.tipWindow()->isVisible());
    const int twoLines = tip.tipWindow()->height();
    attach(QStringLiteral("一"), 0);
    tip.showTip();
    EXPECT_GT(twoLines, tip.tipWindow()->height()) << "the | made a second line";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&control, &leave);
    EXPECT_FALSE(tip.tipWindow()->isVisible());

    attach(QStringLiteral("x"), 100);
    tip.showTip();
    QTRY_VERIFY(!tip.tipWindow()->isVisible());
}
