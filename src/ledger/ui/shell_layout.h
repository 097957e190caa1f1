#pragma once

#include <QPolygon>
#include <QRect>
#include <QSize>

#include <optional>

namespace zambrel::ledger {

/// The smallest main window, and how far the right-hand pane's splitter
/// stays from either edge (twips).
inline constexpr int kMinWindowWidth = 12000;
inline constexpr int kMinWindowHeight = 8600;
inline constexpr int kSplitterMargin = 4200;

/// What the main window's layout depends on, all in twips.
struct ShellMetrics {
    QSize window;
    int style2 = 0; ///< the caption bar's maximise slot: 1 restore (maximised), 2 maximise
    int captionTop = 0;
    int captionHeight = 0;
    int border1Left = 0;
    int border1Width = 0;
    int border3Height = 0;
    int toolbarHeight = 0;
    int lblSunyiHeight = 0;
    int lblAssetHeight = 0;
    int statusBarHeight = 0;
    int splitterWidth = 0;
    int statusPanelsWidth = 0; ///< panels 2 to 5 together
};

/// Where everything goes (twips, window coordinates). When `resizeTo` is set
/// the window must first take that size and nothing else is placed (the
/// resize lays it out again).
struct ShellLayout {
    std::optional<QSize> resizeTo;
    bool bordersVisible = true;
    /// The window's shape (pixels) when it is not maximised; none otherwise.
    std::optional<QPolygon> region;
    QPoint toolbar;
    QRect imgSplitter;
    QRect lblSunyi;
    QRect UCLVIncome;
    QRect UCLVPayout;
    QRect lblAsset;
    QRect UCLVAsset;
    QRect UCLVDebt;
    QRect StatusBar;
    int statusPanel1Width = 0;
    QRect WB;
};

/// Lays the main window out. The splitter always comes to rest at the
/// window width less kSplitterMargin, whatever `x` was given: the web pane
/// keeps its width.
ShellLayout SizeControls(const ShellMetrics &metrics, double x);

/// The window shape of a window `widthTwips` × `heightTwips`: the top
/// corners cut 3 pixels (the right one 4 down).
QPolygon windowRegion(int widthTwips, int heightTwips);

/// Where the splitter's drag bar may be shown: [4200, width − 4200].
int clampSplitter(int position, int windowWidth);

} // namespace zambrel::ledger
