#pragma once

#include "reports/stock/chart_controller.h"
#include "reports/stock/price_targets.h"
#include "skin/skin_colour.h"
#include "skin/skinned_window.h"

#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zambrel::store {
class Ledger;
}
namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::stock {

class ChartPicture;
class SiteSettingsDialog;

/// The stock check window "核对股票 Check Stock": the month's holdings, the
/// price targets of a reference low and high, and the chart pictures of a
/// share code. A thin view: the targets come from targetPrices(), the charts
/// and everything about their requests from its ChartController, the
/// holdings from the ledger.
///
/// Not modal. OK and Cancel hide it; the inputs keep their values for the
/// next opening. Closing it from the caption bar destroys it (the window
/// deletes itself), so the owner holds it by QPointer. Hiding or closing it
/// abandons a running chart request.
class StockWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// `ledger` must outlive the window.
    explicit StockWindow(store::Ledger &ledger, QWidget *parent = nullptr);
    ~StockWindow() override;

    /// The month whose holdings displayStock() lists ("yyyy-mm").
    QString month() const { return m_month; }
    void setMonth(const QString &month) { m_month = month; }
    /// Fills the holdings list for month(). A failing read is reported on
    /// the list's road and leaves the list as it was.
    void displayStock();

    ChartController &chart() { return m_chart; }

    // Controls; each has its control name as objectName.
    QTreeWidget *const holdingsList;        ///< lv
    QTreeWidget *const targetList;          ///< lvTarget
    QGroupBox *const targetFrame;           ///< fraBase
    QRadioButton *const riseOption;         ///< optF_0
    QRadioButton *const fallOption;         ///< optF_1
    QLabel *const lowLabel;                 ///< Label1
    QLineEdit *const lowBox;                ///< txtL
    QLabel *const highLabel;                ///< lblH
    QLineEdit *const highBox;               ///< txtH
    QLineEdit *const rangeBox;              ///< txtHL
    QLabel *const codeLabel;                ///< lblCode
    QLineEdit *const codeBox;               ///< Text1
    QLabel *const hintLabel;                ///< lblMonth
    ChartPicture *const picture;            ///< Picture1
    skin::FlatButton *const kLineButton;    ///< FlatButton1
    skin::FlatButton *const trendButton;    ///< FlatButton2
    skin::FlatButton *const browseButton;   ///< cmdVisit
    skin::FlatButton *const settingsButton; ///< cmdSettings
    skin::FlatButton *const okButton;       ///< OKButton
    skin::FlatButton *const cancelButton;   ///< CancelButton

    /// The window of the settings button once it was opened.
    SiteSettingsDialog *siteDialog() const;

Q_SIGNALS:
    /// A line for the main window's status line: why a chart did not come,
    /// or what a site still needs.
    void statusChanged(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildTargetTable();
    void bindChart();
    void recomputeTargets();
    Direction direction() const;
    void holdingChosen(QTreeWidgetItem *row);
    void browse();
    void editSites();
    void followSurface(skin::ColourValue surface);

    store::Ledger &m_ledger;
    ChartController m_chart;
    QString m_month;
    bool m_hasHoldings = false; // false while the list shows only "没有记录。"
    bool m_placed = false;
    bool m_codeBoxHadFocus = false;
    QPointer<SiteSettingsDialog> m_siteDialog;
};

} // namespace zambrel::stock
