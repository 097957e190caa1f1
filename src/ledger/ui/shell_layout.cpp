#include "shell_layout.h"

#include "store/twips.h"

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
    const int w = static_cast<int>(std::lround(widthTwips / double(store::kTwipsPerPixel)));
    const int h = static_cast<int>(std::lround(heightTwips / double(store::kTwipsPerPixel)));
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

ShellLayout SizeControls(const ShellMetrics &m, double x)
{
    ShellLayout layout;
    QSize window = m.window;
    layout.bordersVisible = m.style2 != 1;
    if (m.style2 == 2) {
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
    const int left = m.border1Left + m.border1Width;
    layout.toolbar = QPoint(left, m.captionTop + m.captionHeight + 2);

    const int split = twips(x);
    const int sunyiTop = layout.toolbar.y() + m.toolbarHeight;
    layout.lblSunyi = QRect(left, sunyiTop, split, m.lblSunyiHeight);

    const int incomeTop = sunyiTop + m.lblSunyiHeight;
    const int incomeHeight =
        twips(0.58 * (H - incomeTop - m.lblAssetHeight - m.toolbarHeight - m.statusBarHeight));
    const int incomeWidth = twips((x + 50) / 2);
    layout.UCLVIncome = QRect(left, incomeTop, incomeWidth, incomeHeight);

    const int payoutLeft = left + incomeWidth + 10;
    layout.UCLVPayout = QRect(payoutLeft, incomeTop, split - payoutLeft + m.border1Width, incomeHeight);

    const int assetLabelTop = incomeTop + incomeHeight;
    layout.lblAsset = QRect(left, assetLabelTop, split, m.lblAssetHeight);

    const int assetTop = assetLabelTop + m.lblAssetHeight;
    const int assetHeight = H - m.statusBarHeight - assetTop - m.border3Height;
    layout.UCLVAsset = QRect(left, assetTop, incomeWidth, assetHeight);
    layout.UCLVDebt = QRect(payoutLeft, assetTop, layout.UCLVPayout.width(), assetHeight);

    layout.StatusBar = QRect(left, assetTop + assetHeight, W, m.statusBarHeight);
    layout.statusPanel1Width = W - m.statusPanelsWidth;

    const int splitterHeight = H - sunyiTop - m.statusBarHeight - m.border3Height;
    layout.imgSplitter = QRect(split, sunyiTop, m.splitterWidth, splitterHeight);

    const int webLeft = split + m.splitterWidth;
    layout.WB = QRect(webLeft, sunyiTop, W - webLeft - m.border1Width, splitterHeight);
    return layout;
}

} // namespace zambrel::ledger
