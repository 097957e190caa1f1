#pragma once

#include "skin/skinned_window.h"

#include <QString>

class QLabel;
class QLineEdit;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::store {

/// The logon window: shows the ledger, takes its password and opens the
/// program-wide connection. What follows a successful logon (the main
/// window) is wired by the owner through loggedOn().
class frmODBCLogon : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit frmODBCLogon(QWidget *parent = nullptr);

    /// A ledger handed in from outside (switching ledgers) or chosen with
    /// cmdOther; when not empty it wins over the stored ledger. Set it before
    /// calling load().
    QString OtherDB;

    QLabel *const lblCaption;
    QLabel *const lblUID;
    QLineEdit *const txtUID;
    QLabel *const lblPWD;
    QLineEdit *const txtPWD;
    QLabel *const lblDB;
    QLineEdit *const txtDB;
    skin::FlatButton *const cmdOK;
    skin::FlatButton *const cmdCancel;
    skin::FlatButton *const cmdOther;

    /// Fills the window from the settings and wears the skin; the owner
    /// calls it once before showing the window.
    void load();
    /// The ledger the next OK opens.
    QString ledgerPath() const { return m_ledgerPath; }

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdOther_Click();

Q_SIGNALS:
    /// The connection is open and the ledger path stored; the window has
    /// closed itself.
    void loggedOn();
    /// The user left without logging on: Cancel, the caption bar's close
    /// button or the system. Raised once.
    void cancelled();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layoutControls();

    QWidget *m_background;
    QString m_ledgerPath;
    bool m_loggedOn = false;
    bool m_left = false;
};

} // namespace zambrel::store
