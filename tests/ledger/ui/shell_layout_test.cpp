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
        // The web pane ends one border width short of the window's edge.
        EXPECT_EQ(layout.rightPane.x() + layout.rightPane.width(), 20000 - 60);
    }
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
