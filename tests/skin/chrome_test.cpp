#include "skin_fixtures.h"

#include "base/app_paths.h"
#include "skin/apply_skin.h"
#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/colour_pass.h"
#include "skin/flat_button.h"
#include "skin/plain_skin.h"
#include "skin/skinned_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel::skin;
using namespace zambrel::skin::testing;

namespace {

QColor back(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}
QColor fore(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}

struct SkinnedFixture : ::testing::Test {
    QTemporaryDir dir;
    TestSkin skin;
    SkinnedWindow window;
    void SetUp() override { window.resize(400, 300); }
    QString apply(const QString &name = QStringLiteral("test.jss"))
    {
        const QString path = skin.save(dir, name);
        applySkin(&window, path);
        return path;
    }
    QPoint centreOf(CaptionButton button) const
    {
        return captionButtonRect(window.captionBar->buttonMetrics(), button).center();
    }
    void moveTo(QPoint pos) { QTest::mouseMove(window.captionBar, pos); }
    /// Wears the test skin and shows the window; its caption bar.
    CaptionBar *shown()
    {
        apply();
        window.show();
        return window.captionBar;
    }
};

} // namespace

TEST_F(SkinnedFixture, ColourPassReachesEachKindOfControl)
{
    auto *frame = new QFrame(window.contentArea());
    auto *label = new QLabel(QStringLiteral("收入"), frame);
    auto *check = new QCheckBox(QStringLiteral("收入"), window.contentArea());
    QPalette checkPalette = check->palette();
    checkPalette.setColor(QPalette::WindowText, QColor(1, 99, 1));
    check->setPalette(checkPalette);
    auto *button = new FlatButton(QStringLiteral("确认 Conform"), window.contentArea());
    auto *status = new QStatusBar(window.contentArea());
    apply();

    const QColor s = toQColor(skin.surface);
    for (QWidget *widget : std::initializer_list<QWidget *>{frame, label, check, status})
        EXPECT_EQ(back(widget), s) << widget->metaObject()->className();
    EXPECT_EQ(fore(label), toQColor(skin.text));
    EXPECT_EQ(fore(check), QColor(1, 99, 1)) << "a check box keeps its own text colour";
    // Text on the surface at rest, the reverse under the pointer.
    EXPECT_EQ(std::make_pair(button->hoverTextColour(), button->hoverBackColour()),
              std::make_pair(skin.surface, skin.text));
    // The redraw that follows the pass gives the host the parent back colour.
    EXPECT_EQ(back(&window), toQColor(skin.parentBack));
}

// A dark skin: what would vanish into the surface takes the skin's text
// colour, and disabled text is dimmer than enabled text.
TEST_F(SkinnedFixture, OnADarkSkinCheckBoxesAndDisabledTextStayReadable)
{
    skin.surface = fromRgb(42, 45, 51);
    skin.text = fromRgb(230, 232, 236);
    auto *check = new QCheckBox(QStringLiteral("收入 Prof"), window.contentArea());
    QPalette black = check->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    check->setPalette(black);
    auto *label = new QLabel(QStringLiteral("描述"), window.contentArea());

    apply();

    const QColor t = toQColor(skin.text);
    EXPECT_EQ(fore(check), t) << "black text on the dark surface could not be read";
    for (QWidget *widget : {static_cast<QWidget *>(check), static_cast<QWidget *>(label)}) {
        const QPalette &palette = widget->palette();
        const int surface = qGray(toQColor(skin.surface).rgb());
        const int enabled =
            qAbs(qGray(palette.color(QPalette::Active, QPalette::WindowText).rgb()) - surface);
        const int disabled =
            qAbs(qGray(palette.color(QPalette::Disabled, QPalette::WindowText).rgb()) - surface);
        EXPECT_GT(disabled, 40) << widget->metaObject()->className();
        EXPECT_LT(disabled, enabled) << widget->metaObject()->className();
    }
}

// The one applier never leaves a window black on black without a caption
// bar: a damaged skin gives way to the next shipped skin that can be worn,
// and when none can, to the plain built-in look.
TEST_F(SkinnedFixture, AnUnwearableSkinGivesWayToTheNextShippedOneThenThePlainLook)
{
    QTemporaryDir shipped;
    const QByteArray whole = skin.bytes();
    QByteArray wrongHeader = whole;
    wrongHeader[0] = char(0x08);
    TestSkin noClose;
    noClose.omit = {"CLOSE"};
    auto write = [&shipped](const char *name, const QByteArray &bytes) {
        QFile file(shipped.filePath(QLatin1String(name)));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return QFileInfo(file).absoluteFilePath();
    };
    const QString first = write("a.jss", whole);
    const QString truncated = write("b.jss", whole.left(whole.size() / 2));
    const QString header = write("c.jss", wrongHeader);
    const QString keyless = write("d.jss", noClose.bytes());
    const QString last = write("e.jss", whole);

    EXPECT_EQ(wearableSkin(truncated, shipped.path()), last) << "the next one that can be worn";
    QFile::remove(last);
    EXPECT_EQ(wearableSkin(keyless, shipped.path()), first) << "round to the start of the list";
    QFile::remove(first);
    EXPECT_EQ(wearableSkin(header, shipped.path()), plainSkinPath());

    // Through the applier: the window wears the replacement and says which.
    zambrel::base::setSkinsFolder(shipped.path());
    EXPECT_EQ(applySkin(&window, truncated), plainSkinPath());
    zambrel::base::setSkinsFolder({});
    EXPECT_GT(window.captionBar->barHeight(), 0) << "a caption bar to move and close the window by";
    EXPECT_NE(fore(&window), back(&window)) << "no black on black";
    const QString shippedDefault =
        QFileInfo(shippedSkinsFolder() + QStringLiteral("/金色水晶.jss")).absoluteFilePath();
    EXPECT_EQ(applySkin(&window, truncated), shippedDefault) << "the shipped skins, from the default one on";
    EXPECT_EQ(window.captionBar->skinPath(), shippedDefault);
}

TEST_F(SkinnedFixture, HoverPressAndReleaseSwapTheButtonImages)
{
    skin.iconSpace = 0;
    CaptionBar *bar = shown();
    moveTo(centreOf(CloseButton));
    EXPECT_EQ(bar->slotImage(CloseButton), "CLOSE3");
    // Straight onto the neighbour: it lights up, the first keeps its hover image.
    moveTo(centreOf(MaxRestoreButton));
    EXPECT_EQ(bar->slotImage(MaxRestoreButton), "MAX3");
    EXPECT_EQ(bar->slotImage(CloseButton), "CLOSE3");
    moveTo(QPoint(40, 12));
    EXPECT_EQ(bar->slotImage(MaxRestoreButton), "MAX");

    moveTo(centreOf(MinimiseButton));
    QTest::mousePress(bar, Qt::LeftButton, {}, centreOf(MinimiseButton));
    EXPECT_EQ(bar->slotImage(MinimiseButton), "MIN2");
    QTest::mouseRelease(bar, Qt::LeftButton, {}, centreOf(MinimiseButton));
    EXPECT_EQ(bar->slotImage(MinimiseButton), "MIN");
}

TEST_F(SkinnedFixture, MaximiseFillsTheWorkAreaAndRestorePutsItBack)
{
    window.setGeometry(100, 120, 400, 300);
    CaptionBar *bar = shown();
    const QRect before = window.geometry();
    moveTo(centreOf(MaxRestoreButton));
    QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(MaxRestoreButton));
    EXPECT_TRUE(bar->isMaximisedByBar());
    EXPECT_EQ(window.geometry(), window.screen()->availableGeometry());
    EXPECT_EQ(bar->slotImage(MaxRestoreButton), "RES1");
    EXPECT_FALSE(borderResizeEnabled(&window));
    // A press on the bar while maximised does not move the window.
    QSignalSpy moves(bar, &CaptionBar::moveRequested);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(bar, QPoint(120, 14));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(120, 14));
    EXPECT_EQ(moves.count(), 0);

    QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(window.geometry(), before);
    EXPECT_TRUE(borderResizeEnabled(&window)) << "style 1 lets the borders resize again";
}

// Maximised by the window system (its shortcut, or asked to show
// maximised), the window is taken over by the bar and still restores to the
// placement it had before, also when the bar had maximised it already.
TEST_F(SkinnedFixture, MaximisedByTheWindowSystemItRestoresToItsEarlierPlacement)
{
    window.setGeometry(100, 120, 400, 300);
    CaptionBar *bar = shown();
    const QRect before = window.geometry();
    window.setWindowState(Qt::WindowMaximized);
    QTest::qWait(20);
    ASSERT_TRUE(bar->isMaximisedByBar());
    EXPECT_EQ(window.geometry(), window.screen()->availableGeometry());
    bar->restore();
    EXPECT_EQ(window.geometry(), before);

    bar->maximise();
    window.setWindowState(Qt::WindowMaximized);
    QTest::qWait(20);
    ASSERT_TRUE(bar->isMaximisedByBar());
    bar->restore();
    EXPECT_EQ(window.geometry(), before);
}

TEST_F(SkinnedFixture, StylesDecideWhichButtonsWork)
{
    CaptionBar *bar = shown();
    const QRect before = window.geometry();

    bar->setWindowStyle(0); // close only
    moveTo(centreOf(MaxRestoreButton));
    EXPECT_EQ(bar->slotImage(MaxRestoreButton), "MAX");

    bar->setWindowStyle(3); // no maximise: the slot is empty and takes no room
    EXPECT_EQ(bar->buttonMetrics().maxWidth, 0);
    QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(window.geometry(), before);

    bar->setWindowStyle(4); // close drawn but inert
    moveTo(QPoint(60, 10));
    moveTo(centreOf(CloseButton));
    EXPECT_EQ(bar->slotImage(CloseButton), "CLOSE");
    QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(CloseButton));
    EXPECT_TRUE(window.isVisible());

    bar->setWindowStyle(1);
    moveTo(centreOf(CloseButton));
    QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(CloseButton));
    EXPECT_FALSE(window.isVisible());
}

// A window of one size cannot be maximised, whatever its style: it shows no
// maximise button, and neither the slot nor a double-click maximises it.
TEST_F(SkinnedFixture, AWindowOfOneSizeShowsNoMaximiseButton)
{
    window.setFixedSize(400, 300);
    window.setWindowState(Qt::WindowMaximized);
    CaptionBar *bar = shown();
    EXPECT_FALSE(bar->canMaximise());
    EXPECT_FALSE(bar->isMaximisedByBar()) << "asked to come up maximised, it keeps its size";
    EXPECT_EQ(bar->slotImage(MaxRestoreButton), QString());
    QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_FALSE(bar->isMaximisedByBar());
    EXPECT_EQ(window.size(), QSize(400, 300));
}

// A press on a border asks for a resize by the edges of its zone (a
// corner near the end of the strip), and only while the flag is on.
TEST(BorderStrip, ZonesEdgesAndTheResizeFlag)
{
    SkinnedWindow window;
    window.resize(300, 200);
    window.show();
    BorderStrip *strip = window.bottomBorder;
    strip->setGeometry(0, 190, 300, 10);
    QSignalSpy resizes(strip, &BorderStrip::resizeRequested);
    setBorderResizeEnabled(&window, false);
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(resizes.count(), 0) << "no resizing while the flag is off";
    setBorderResizeEnabled(&window, true);
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(295, 5));
    ASSERT_EQ(resizes.count(), 1);
    EXPECT_EQ(resizes.at(0).at(0).value<Qt::Edges>(), Qt::RightEdge | Qt::BottomEdge);
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(resizes.at(1).at(0).value<Qt::Edges>(), Qt::BottomEdge);

    // Each window has its own flag: a dialog of one size shown and closed
    // meanwhile leaves this window's borders resizing it.
    window.captionBar->setWindowStyle(1);
    window.resize(310, 200);
    ASSERT_TRUE(borderResizeEnabled(&window));
    {
        SkinnedWindow dialog;
        dialog.captionBar->setWindowStyle(3);
        dialog.resize(200, 100);
        dialog.show();
        EXPECT_FALSE(borderResizeEnabled(&dialog));
    }
    strip->setGeometry(0, 190, 310, 10);
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(resizes.count(), 3);
}
