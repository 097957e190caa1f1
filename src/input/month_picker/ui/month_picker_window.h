#pragma once

#include "input/month_picker/month_choice.h"
#include "skin/skinned_window.h"
#include "store/ledger_records.h"

#include <functional>

class QLabel;
class QTreeWidget;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::input {

/// The month picker: a small fixed-size window listing every stored month,
/// newest first, that reports the choice through a MonthChoice. It knows
/// nothing of the main window; its owner decides what the choice means.
///
/// Kept between uses: OK and Cancel only hide it, so the list keeps the rows
/// of its first load and the choice its last value. Closing it by the
/// caption bar or the system counts as Cancel; an owner that wants a fresh
/// list after that lets the window be deleted on close.
///
/// Keyboard: the arrow keys choose a row, Enter is OK, Escape is Cancel.
class MonthPickerWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit MonthPickerWindow(QWidget *parent = nullptr);
    ~MonthPickerWindow() override;

    /// Fills the list with the rows `read` gives (one column of months). A
    /// failing read is reported on the list's road and leaves the list
    /// empty. The row shown for no months at all cannot be chosen.
    void loadMonths(const std::function<store::ResultTable()> &read);

    /// Shows the window modally and returns the choice once it is hidden.
    const MonthChoice &choose();
    const MonthChoice &choice() const { return m_choice; }

    // Controls; each has its control name as objectName.
    QTreeWidget *const monthList;
    QLabel *const promptLabel;
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;

    /// OK and Cancel, as the buttons do.
    void accept();
    void reject();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rowChosen();
    void listDoubleClicked();

    MonthChoice m_choice;
};

} // namespace zambrel::input
