#pragma once

#include "skin/skinned_window.h"

#include <array>

class QLabel;
class QLineEdit;

namespace zambrel::skin {
class FlatButton;
}
namespace zambrel::store {
class Ledger;
}

namespace zambrel::ledger {

/// The change-password window: three password boxes (old, new, confirmed)
/// over changeLedgerPassword(). OK, or Enter in any box, tries the change
/// and hides the window once it succeeded; Cancel (or Escape) hides it. The
/// boxes are emptied whenever the window hides, so no password stays in it.
class ChangePasswordWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// `ledger` must outlive the window.
    explicit ChangePasswordWindow(store::Ledger &ledger, QWidget *parent = nullptr);
    ~ChangePasswordWindow() override;

    /// Empties the three boxes and shows the window modally; returns once it
    /// is hidden. True when the password was changed.
    bool showModal();

    static constexpr int kBoxCount = 3;
    // Controls; the boxes are named txtPWD_0 to txtPWD_2.
    std::array<QLabel *, kBoxCount> labels{};
    std::array<QLineEdit *, kBoxCount> passwordBoxes{};
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;

    /// OK and Cancel, as the buttons do.
    void accept();
    void reject();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void clearBoxes();

    store::Ledger &m_ledger;
    bool m_changed = false;
};

} // namespace zambrel::ledger
