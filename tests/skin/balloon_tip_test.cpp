#include "skin/balloon_tip.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel::skin;

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
