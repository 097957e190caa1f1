#include "ledger/ui/shell_layout.h"

#include <gtest/gtest.h>

using namespace zambrel::ledger;

namespace {

ShellMetrics metrics(int width, int height, int frameState = 0)
{
    ShellMetrics m;
    m.window = QSize(width, height);
    m.frameState = frameState;
    m.captionHeight = 450;
    m.leftBorderWidth = 60;
    m.bottomBorderHeight = 60;
    m.toolbarHeight = 900;
    m.profitLossHeadingHeight = 300;
    m.balanceSheetHeadingHeight = 300;
    m.statusBarHeight = 330;
    m.splitterWidth = 75;
    m.statusPanelsWidth = 1411 * 3 + 2647;
    return m;
}

} // namespace

TEST(ShellLayout, TooSmallWindowSnapsToTheMinimumWidthFirstThenHeight)
{
    struct Case {
        QSize window;
        std::optional<QSize> expected;
    };
    const Case cases[] = {
        {{9000, 5000}, QSize(12000, 5000)}, // width first, height on the next resize
        {{12000, 5000}, QSize(12000, 8600)}, {{11999, 9000}, QSize(12000, 9000)},
        {{12000, 8600}, std::nullopt}, // exactly the minimum is laid out
        {{20000, 12000}, std::nullopt},
    };
    for (const Case &c : cases) {
        const ShellLayout layout = shellLayout(metrics(c.window.width(), c.window.height()), 5000);
        EXPECT_EQ(layout.resizeTo, c.expected) << c.window.width() << "x" << c.window.height();
    }
}

TEST(ShellLayout, SplitterComesToRestAtWidthLessMarginWhateverWasGiven)
{
    for (double x : {0.0, 4200.0, 9000.0, 19999.0}) {
        const ShellLayout layout = shellLayout(metrics(20000, 12000), x);
        EXPECT_EQ(layout.splitterHandle.x(), 20000 - 4200) << x;
        EXPECT_EQ(layout.profitLossHeading.width(), 20000 - 4200);
        EXPECT_EQ(layout.rightPane.x(), 20000 - 4200 + 75);
        // The web pane ends one border width short of the window's edge.
        EXPECT_EQ(layout.rightPane.x() + layout.rightPane.width(), 20000 - 60);
    }
}

TEST(ShellLayout, PanelsTileTheLeftSideAroundTheHeadings)
{
    const ShellMetrics m = metrics(18000, 12000);
    const ShellLayout l = shellLayout(m, 0);
    const int split = 18000 - 4200;
    EXPECT_EQ(l.toolbar, QPoint(60, 452));
    EXPECT_EQ(l.profitLossHeading.y(), 452 + 900);
    EXPECT_EQ(l.incomePanel.topLeft(), QPoint(60, l.profitLossHeading.bottom() + 1));
    EXPECT_EQ(l.incomePanel.width(), (split + 50) / 2);
    EXPECT_EQ(l.expenditurePanel.x(), l.incomePanel.right() + 1 + 10);
    EXPECT_EQ(l.expenditurePanel.right() + 1, split + 60);
    EXPECT_EQ(l.balanceSheetHeading.y(), l.incomePanel.bottom() + 1);
    EXPECT_EQ(l.assetPanel.y(), l.balanceSheetHeading.bottom() + 1);
    EXPECT_EQ(l.liabilityPanel.topLeft(), QPoint(l.expenditurePanel.x(), l.assetPanel.y()));
    EXPECT_EQ(l.assetPanel.bottom() + 1, 12000 - m.statusBarHeight - m.bottomBorderHeight);
    EXPECT_EQ(l.statusBar.y(), l.assetPanel.bottom() + 1);
    EXPECT_EQ(l.statusPanel1Width, 18000 - (1411 * 3 + 2647));
    EXPECT_EQ(l.splitterHandle.height(),
              12000 - l.profitLossHeading.y() - m.statusBarHeight - m.bottomBorderHeight);
}

TEST(ShellLayout, FrameFollowsTheCaptionBarsMaximiseSlot)
{
    const ShellLayout maximised = shellLayout(metrics(18000, 12000, 1), 0);
    EXPECT_FALSE(maximised.bordersVisible);
    EXPECT_FALSE(maximised.region.has_value());

    const ShellLayout normal = shellLayout(metrics(18000, 12000, 2), 0);
    EXPECT_TRUE(normal.bordersVisible);
    ASSERT_TRUE(normal.region.has_value());
    EXPECT_EQ(*normal.region, windowRegion(18000, 12000));

    const QPolygon shape = windowRegion(1500, 900);
    const QPolygon expected({QPoint(0, 60), QPoint(0, 3), QPoint(3, 0), QPoint(97, 0), QPoint(100, 4),
                             QPoint(100, 60), QPoint(0, 60)});
    EXPECT_EQ(shape, expected);
}

TEST(ShellLayout, SplitterDragBarIsClampedToTheMargins)
{
    struct Case {
        int position;
        int expected;
    };
    const Case cases[] = {{0, 4200},    {4199, 4200},   {4200, 4200},
                          {9000, 9000}, {15800, 15800}, {15801, 15800}};
    for (const Case &c : cases)
        EXPECT_EQ(clampSplitter(c.position, 20000), c.expected) << c.position;
}
