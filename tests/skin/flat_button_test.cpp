#include "skin/flat_button.h"

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
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(button->look(), FlatButton::NormalLook) << "the click redraws the normal look";
}

TEST_F(FlatButtonFixture, DragOffAndBackThenReleaseOutside)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
    dragTo(150);
    EXPECT_EQ(button->look(), FlatButton::NormalLook);
    EXPECT_TRUE(button->isHovering()) << "still pressed, so the hover flag stays";
    dragTo(20);
    EXPECT_EQ(button->look(), FlatButton::NormalLook) << "coming back while pressed draws nothing new";
    dragTo(150);
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
    button->setNormalTextColour(fromRgb(0, 0, 255));
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
    EXPECT_EQ(button->accessibleName(), button->caption());
}
