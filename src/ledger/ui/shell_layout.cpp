#include "shell_layout.h"

#include "base/twips.h"

#include <cmath>

namespace zambrel::ledger {
namespace {

int twips(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

QPolygon windowRegion(int widthTwips, int heightTwips)
{
    const int w = static_cast<int>(std::lround(widthTwips / double(base::kTwipsPerPixel)));
    const int h = static_cast<int>(std::lround(heightTwips / double(base::kTwipsPerPixel)));
    return QPolygon({QPoint(0, h), QPoint(0, 3), QPoint(3, 0), QPoint(w - 3, 0), QPoint(w, 4), QPoint(w, h),
                     QPoint(0, h)});
}

int clampSplitter(int position, int windowWidth)
{
    if (position < kSplitterMargin)
        return kSplitterMargin;
    if (position > windowWidth - kSplitterMargin)
        return windowWidth - kSplitterMargin;
    return position;
}

ShellLayout shellLayout(const ShellMetrics &m, double x)
{
    ShellLayout layout;
    QSize window = m.window;
    layout.bordersVisible = m.frameState != 1;
    if (m.frameState == 2) {
        layout.region = windowRegion(window.width(), window.height());
        if (window.width() <= 4444)
            window.setWidth(4444);
        if (window.height() <= 2222)
            window.setHeight(2222);
    }

    x = window.width() - kSplitterMargin;

    // Width first; the height is corrected on the resize that follows.
    if (window.width() < kMinWindowWidth) {
        layout.resizeTo = QSize(kMinWindowWidth, window.height());
        return layout;
    }
    if (window.height() < kMinWindowHeight) {
        layout.resizeTo = QSize(window.width(), kMinWindowHeight);
        return layout;
    }

    const int W = window.width();
    const int H = window.height();
    const int left = m.leftBorderX + m.leftBorderWidth;
    layout.toolbar = QPoint(left, m.captionTop + m.captionHeight + 2);

    const int split = twips(x);
    const int headingTop = layout.toolbar.y() + m.toolbarHeight;
    layout.profitLossHeading = QRect(left, headingTop, split, m.profitLossHeadingHeight);

    const int incomeTop = headingTop + m.profitLossHeadingHeight;
    const int incomeHeight =
        twips(0.58 * (H - incomeTop - m.balanceSheetHeadingHeight - m.toolbarHeight - m.statusBarHeight));
    const int incomeWidth = twips((x + 50) / 2);
    layout.incomePanel = QRect(left, incomeTop, incomeWidth, incomeHeight);

    const int expenditureLeft = left + incomeWidth + 10;
    layout.expenditurePanel =
        QRect(expenditureLeft, incomeTop, split - expenditureLeft + m.leftBorderWidth, incomeHeight);

    const int assetLabelTop = incomeTop + incomeHeight;
    layout.balanceSheetHeading = QRect(left, assetLabelTop, split, m.balanceSheetHeadingHeight);

    const int assetTop = assetLabelTop + m.balanceSheetHeadingHeight;
    const int assetHeight = H - m.statusBarHeight - assetTop - m.bottomBorderHeight;
    layout.assetPanel = QRect(left, assetTop, incomeWidth, assetHeight);
    layout.liabilityPanel = QRect(expenditureLeft, assetTop, layout.expenditurePanel.width(), assetHeight);

    layout.statusBar = QRect(left, assetTop + assetHeight, W, m.statusBarHeight);
    layout.statusPanel1Width = W - m.statusPanelsWidth;

    const int splitterHeight = H - headingTop - m.statusBarHeight - m.bottomBorderHeight;
    layout.splitterHandle = QRect(split, headingTop, m.splitterWidth, splitterHeight);

    const int webLeft = split + m.splitterWidth;
    layout.rightPane = QRect(webLeft, headingTop, W - webLeft - m.leftBorderWidth, splitterHeight);
    return layout;
}

} // namespace zambrel::ledger
