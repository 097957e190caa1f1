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
    int frameState = 0; ///< the caption bar's frameState(): 1 maximised by it, 2 normal
    int captionTop = 0;
    int captionHeight = 0;
    int leftBorderX = 0;
    int leftBorderWidth = 0;
    int bottomBorderHeight = 0;
    int toolbarHeight = 0;
    int profitLossHeadingHeight = 0;
    int balanceSheetHeadingHeight = 0;
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
    QRect splitterHandle;
    QRect profitLossHeading;
    QRect incomePanel;
    QRect expenditurePanel;
    QRect balanceSheetHeading;
    QRect assetPanel;
    QRect liabilityPanel;
    QRect statusBar;
    int statusPanel1Width = 0;
    QRect rightPane;
};

/// Lays the main window out. The splitter always comes to rest at the
/// window width less kSplitterMargin, whatever `x` was given: the web pane
/// keeps its width.
ShellLayout shellLayout(const ShellMetrics &metrics, double x);

/// The window shape of a window `widthTwips` × `heightTwips`: the top
/// corners cut 3 pixels (the right one 4 down).
QPolygon windowRegion(int widthTwips, int heightTwips);

/// Where the splitter's drag bar may be shown: [4200, width − 4200].
int clampSplitter(int position, int windowWidth);

} // namespace zambrel::ledger
