#pragma once

#include "input/entry_form.h"
#include "skin/skinned_window.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::input {

/// The entry dialog: a fixed-size skinned window that shows an EntryForm
/// and forwards what the user does to it. Every decision (enabled fields,
/// new type, formulas, checks) is the form's; the window only binds.
///
/// Created once and hidden between uses: OK and Cancel hide it and keep the
/// fields. Closing it any other way hides it and starts the next use from a
/// fresh form (empty name and memo, "0" amounts, flags cleared).
class EntryDialog : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit EntryDialog(QWidget *parent = nullptr);
    ~EntryDialog() override;

    /// The dialog's logic. A caller that changes it directly calls
    /// showForm() before the window is seen again.
    EntryForm &form() { return m_form; }
    const EntryForm &form() const { return m_form; }
    /// Re-reads texts, enabled states, boxes and hints from the form.
    void showForm();

    /// How the type combo's text is looked up; kept across a fresh form.
    void setTypeLookup(TypeLookup lookup);
    /// The type combo's list; the typed text is kept.
    void setTypeList(const QStringList &types);
    /// Window caption and caption bar title, set by the caller on every use.
    void setCaptions(const QString &caption, const QString &title);
    /// Shows a category mask (see EntryForm::applyCategoryMask).
    void applyCategoryMask(const QString &kind);

    /// Shows the dialog modally with the form as it stands; true when OK
    /// passed every check.
    bool showModal();

    /// The control bound to a field (typeBox, nameBox, the amounts, memoBox).
    QWidget *control(EntryField field) const;

    // Controls; each has its control name as objectName.
    QGroupBox *const categoryFrame;
    QGroupBox *const profitLossFrame;
    QGroupBox *const assetFrame;
    QGroupBox *const liabilityFrame;
    QGroupBox *const memoFrame;
    std::array<QCheckBox *, EntryForm::kCategoryCount> categoryBoxes{};
    QComboBox *const typeBox;
    QLabel *const newTypeLabel;
    QLineEdit *const nameBox;
    QLineEdit *const incomeBox;
    QLineEdit *const plannedExpenditureBox;
    QLineEdit *const actualExpenditureBox;
    QLineEdit *const downPaymentBox;
    QLineEdit *const totalCostBox;
    QLineEdit *const loanTotalBox;
    QLineEdit *const repaymentBox;
    QPlainTextEdit *const memoBox;
    QLabel *const hintLabel;
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void bindControls();
    void okClicked();
    /// Shows what the form said, in order.
    void showMessages(const EntryMessages &messages);
    void cancelClicked();
    void typed(EntryField field, const QString &text);
    QLineEdit *amountControl(EntryField field) const;

    EntryForm m_form;
    TypeLookup m_lookup;
    bool m_showing = false; // programmatic changes are not the user's typing
};

} // namespace zambrel::input
