#pragma once

#include "reports/stock/stock_sites.h"
#include "skin/skinned_window.h"

class QLabel;
class QLineEdit;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::stock {

/// The small window behind the stock check's "设置 Settings" button: the
/// two site addresses, typed by the user. An address must be http or https
/// (a bare host name means http); an empty one switches the site off. A
/// wrong address is named in the hint line and keeps the window open.
class SiteSettingsDialog : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit SiteSettingsDialog(QWidget *parent = nullptr);

    /// Shows the hosts of `sites` and waits (modal). On OK the typed
    /// addresses, trimmed, replace the hosts and the result is true; the
    /// wait is left as it is. Cancel and the caption bar's close change
    /// nothing.
    bool edit(SiteSettings &sites);

    // Controls, named by their objectNames.
    QLabel *const chartSiteLabel;
    QLineEdit *const chartSiteBox;
    QLabel *const companySiteLabel;
    QLineEdit *const companySiteBox;
    QLabel *const noteLabel;
    QLabel *const hintLabel;
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;

private:
    void okClicked();
};

} // namespace zambrel::stock
