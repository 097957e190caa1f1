#pragma once

#include "skin/skinned_window.h"

#include <QString>
#include <QThreadPool>

#include <exception>
#include <memory>

class QLabel;
class QLineEdit;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::store {

class Ledger;

/// The logon window: shows the ledger, takes its password and opens it.
/// What follows a successful logon (the main window) is wired by the owner
/// through loggedOn(), which hands over the open ledger.
class LogonWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit LogonWindow(QWidget *parent = nullptr);

    /// A ledger handed in from outside (switching ledgers) or chosen with
    /// otherLedgerButton; when not empty it wins over the stored ledger. Set
    /// it before calling load().
    QString otherLedger() const { return m_otherLedger; }
    void setOtherLedger(const QString &path) { m_otherLedger = path; }

    QLabel *const headingLabel;
    QLabel *const userLabel;
    QLineEdit *const userBox;
    QLabel *const passwordLabel;
    QLineEdit *const passwordBox;
    QLabel *const ledgerLabel;
    QLineEdit *const ledgerBox;
    /// The hint line: says when the stored ledger is gone, or why the
    /// default ledger could not be made; hidden when there is nothing to say.
    QLabel *const hintLabel;
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;
    skin::FlatButton *const otherLedgerButton;

    /// Fills the window from the settings and wears the skin; the owner
    /// calls it once before showing the window.
    void load();
    /// The ledger the next OK opens.
    QString ledgerPath() const { return m_ledgerPath; }

    /// OK, or Enter in the password box: opens the ledger with the typed
    /// password. The key is derived on a worker thread while the window
    /// stays responsive with a busy pointer and its controls disabled;
    /// loggedOn() or the failure's message follows, and then openingEnded().
    /// A failure is reported and the window stays.
    void logOn();
    /// True from OK until the ledger is open or its failure reported.
    bool isOpening() const { return m_opening; }
    /// Cancel: closes the window without a logon.
    void cancel();
    /// Lets the user pick another ledger for the next OK.
    void chooseOtherLedger();

Q_SIGNALS:
    /// The ledger is open and its path stored; the window has closed itself.
    /// The receiver takes over the ledger (the window keeps no reference).
    void loggedOn(std::shared_ptr<zambrel::store::Ledger> ledger);
    /// The user left without logging on: Cancel, the caption bar's close
    /// button or the system. Raised once.
    void cancelled();
    /// An OK's opening has ended, well or not: after loggedOn() or after the
    /// failure's message was answered.
    void openingEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layoutControls();
    void showHint(const QString &text);
    QSize contentSize() const;
    void setOpening(bool opening);
    void openingFinished(const std::shared_ptr<Ledger> &ledger, const std::exception_ptr &failure);

    QWidget *m_background;
    QString m_otherLedger;
    QString m_ledgerPath;
    bool m_loggedOn = false;
    bool m_left = false;
    bool m_opening = false;
    /// The one thread that opens the ledger. It ends as soon as the opening
    /// is done, so the crypto library frees what it kept for that thread
    /// while the program runs; destroying the window waits for it.
    QThreadPool m_opener;
};

} // namespace zambrel::store
