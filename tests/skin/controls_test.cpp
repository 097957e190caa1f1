// The small controls: the flat button and the balloon tip.
#include "skin/balloon_tip.h"
#include "skin/flat_button.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel::skin;

namespace {
struct FlatButtonFixture : ::testing::Test {
    QWidget host;
    FlatButton *button = new FlatButton(QStringLiteral("确认 Conform"), &host);
    QSignalSpy clicks{button, &FlatButton::clicked};
    QSignalSpy ups{button, &FlatButton::mouseReleased};
    void SetUp() override
    {
        host.resize(200, 100);
        button->setGeometry(10, 10, 90, 30);
        host.show();
        QTest::mouseMove(button, QPoint(20, 15));
    }
    // A move while the left button is held down.
    void dragTo(int x)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 15), button->mapToGlobal(QPointF(x, 15)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);
    }
};
} // namespace

TEST_F(FlatButtonFixture, HoverPressAndClick)
{
    EXPECT_EQ(button->look(), FlatButton::HoverLook);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(button->look(), FlatButton::PressedLook);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->look(), FlatButton::NormalLook) << "the click redraws the normal look";
}

TEST_F(FlatButtonFixture, DragOffAndBackThenReleaseOutside)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
    dragTo(150);
    EXPECT_EQ(button->look(), FlatButton::NormalLook);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 15));
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(clicks.count(), 0) << "released outside: no click";
    EXPECT_FALSE(button->isHovering());
}

TEST_F(FlatButtonFixture, EnterAndSpaceClickWithoutTheMouse)
{
    QSignalSpy downs(button, &FlatButton::mousePressed);
    button->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A})
        QTest::keyClick(button, key);
    EXPECT_EQ(clicks.count(), 3) << "Space clicks once, not again on release; A not at all";
    EXPECT_EQ(downs.count(), 0);
}

TEST_F(FlatButtonFixture, DisabledButtonIgnoresEverythingAndLooksGrey)
{
    button->setNormalBackColour(fromRgb(255, 0, 0));
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 15));
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(button->grab().toImage().pixelColor(45, 4), toQColor(kSysButtonFace))
        << "button face whatever its colours";
}

TEST_F(FlatButtonFixture, LongCaptionWrapsAndIsMeasuredOnlyOnChange)
{
    const int oneLine = button->captionHeight();
    button->setCaption(QStringLiteral("一个很长很长的按钮标题 needs several lines here"));
    const int wrapped = button->captionHeight();
    EXPECT_GT(wrapped, 2 * oneLine);
    button->resize(400, 30);
    EXPECT_EQ(button->captionHeight(), wrapped) << "a resize after the first keeps the measured height";
    button->setCaption(button->caption());
    EXPECT_EQ(button->captionHeight(), oneLine);
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
