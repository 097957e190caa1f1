#pragma once

#include "base/message.h"
#include "base/text_key.h"

#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace zambrel::input {

/// The entry dialog's fields, for binding controls to the form; named as
/// store::Item names what they hold (the control's name after each).
enum class EntryField {
    Type,             ///< cboTypes
    Name,             ///< txtName
    Income,           ///< txtInComePerMonth
    PlannedSpending,  ///< txtWillPayPerMonth: no formula on Enter
    ActualSpending,   ///< txtPayPerMonth
    DownPayment,      ///< txtFirstPay
    TotalCost,        ///< txtTotal
    LoanTotal,        ///< txtDebet
    MonthlyRepayment, ///< txtDebetPerMonth
    Memo,             ///< txtMemo
    None,             ///< no field (the checks passed)
};

/// Which item command the dialog serves.
enum class EntryMode { Add, Update, Delete };

/// Gives a type name's four-character category mask, or empty text when the
/// name is no known type.
using TypeLookup = std::function<QString(const QString &typeName)>;

/// A lookup over a table of type name -> mask (an exact match of the name).
TypeLookup typeLookupIn(QHash<base::TextKey, QString> kinds);

/// Messages for the window to show, in order.
using EntryMessages = std::vector<base::MessageRequest>;

/// What Enter in a field did.
struct EnterResult {
    bool evaluated = false; ///< the field's formula was worked out
    EntryMessages messages; ///< the calculator's messages
};

/// Where OK stopped: the field to focus and the hint line's text, what to
/// show first, and the question to ask when the checks wait for an answer.
struct CheckResult {
    bool passed = false;
    EntryField focus = EntryField::None;
    QString hint;
    EntryMessages messages;
    /// The loan audit: the window asks it and confirms again with the answer.
    std::optional<base::MessageRequest> question;
};

/// What the entry dialog holds and decides, without a window: the field
/// texts and their enabled state, the four category boxes, the new-type
/// state, the hint line, the amount fields' tags, and the checks on OK.
/// A window binds its controls to this (EntryField names them), forwards
/// the user's actions (setText for typing, clickCategory, pressEnter,
/// stampMemoDate, confirm, cancel) and shows what it reads back.
///
/// It shows and asks nothing: messages and the question come back to the
/// window in the results of pressEnter() and confirm(). Fields keep their
/// texts between uses; a fresh form (after the window was closed other than
/// by OK or Cancel) starts with empty name and memo and "0" amounts.
class EntryForm {
public:
    static constexpr std::array<EntryField, 7> kAmountFields{
        EntryField::Income,           EntryField::PlannedSpending, EntryField::ActualSpending,
        EntryField::DownPayment,      EntryField::TotalCost,       EntryField::LoanTotal,
        EntryField::MonthlyRepayment,
    };
    static constexpr int kCategoryCount = 4;

    EntryForm();

    /// The control's name in the window ("cboTypes", "txtDebet", ...).
    static QString controlName(EntryField field);
    static bool isAmountField(EntryField field);
    /// True for the six amount fields whose Enter evaluates a formula
    /// (every amount field but the planned expenditure).
    static bool evaluatesOnEnter(EntryField field);

    void setTypeLookup(TypeLookup lookup);

    EntryMode mode() const { return m_mode; }
    /// An add: empties the amount fields' tags and the memo; other fields keep
    /// what the dialog showed last.
    void startAdd();
    /// An update or a delete; the caller then loads the item with loadField().
    void startChange(EntryMode mode);
    QString month() const { return m_month; }
    void setMonth(const QString &month) { m_month = month; }

    QString text(EntryField field) const;
    /// The user or the caller changes a field. For Types this is the type
    /// combo's change: the type is looked up, the new-type state and hint
    /// follow, and the mask is shown (applyCategoryMask).
    void setText(EntryField field, const QString &text);
    /// Sets a field's text and, for an amount field, its tag to the same text.
    void loadField(EntryField field, const QString &text);
    /// The value an amount field was loaded with (empty after startAdd()).
    QString tag(EntryField field) const;
    void setTag(EntryField field, const QString &tag);

    /// Type, name and memo are always enabled; amount fields by the mask.
    bool isEnabled(EntryField field) const;

    /// Shows a category mask: ticks its boxes (unless the type is new) and
    /// enables the amount fields its categories use; the others are disabled
    /// and cleared to "0". An empty mask disables every amount field.
    void applyCategoryMask(const QString &kind);

    bool isNewType() const { return m_newType; }
    /// lblNewtype: empty, or the new-type hint.
    QString newTypeHint() const { return m_newTypeHint; }
    /// The mask built from the boxes for a new type ("0000" when none ticked).
    QString newKind() const { return m_newKind; }
    bool categoryChecked(int index) const;
    /// The category boxes can be used only while the type is new.
    bool categoriesEnabled() const { return m_newType; }
    /// A click on box `index` (0 income, 1 expenditure, 2 asset, 3 liability);
    /// ignored unless the type is new.
    void clickCategory(int index, bool checked);

    /// Enter in a field: evaluates the formula in the six formula fields.
    EnterResult pressEnter(EntryField field);
    /// Double-click on the memo: today's date on a new last line.
    void stampMemoDate();

    /// The hint line (lblTips).
    QString hint() const { return m_hint; }

    /// OK: first evaluates every enabled formula field whose text is neither
    /// empty nor a plain number, exactly as Enter would have (so a value
    /// never depends on whether Enter was pressed); a formula the calculator
    /// refuses stops there, at its field. Then runs the checks in order; the
    /// first that fails sets the hint and names the field to focus, and the
    /// dialog stays open. A loan total that is not the total cost less the
    /// first payment stops with the audit's question: confirm again with its
    /// answer (Yes adjusts the loan total and goes on). When all pass: every
    /// amount field the type does not use is "0", a loan total of 0 or less
    /// resets the repayment to "0", a new type takes its mask from the
    /// boxes, and the form is confirmed.
    CheckResult confirm(std::optional<base::MessageAnswer> loanAudit = std::nullopt);
    /// Cancel, or the window closed any other way.
    void cancel() { m_confirmed = false; }
    bool isConfirmed() const { return m_confirmed; }

private:
    static constexpr int kFieldCount = static_cast<int>(EntryField::None);
    static int index(EntryField field) { return static_cast<int>(field); }

    /// The hint that asks for a field (the check's text on OK).
    static QString missingHint(EntryField field);
    /// The field's formula through the calculator, its messages added to
    /// `messages`; false when it was refused and the field keeps its text.
    bool evaluate(EntryField field, EntryMessages &messages);
    void clearDisabledAmounts();
    bool emptyAndEnabled(EntryField field) const;
    /// The audit's question when the loan total is not what the total cost
    /// and the first payment make it.
    std::optional<base::MessageRequest> loanAuditQuestion() const;
    QString maskFromBoxes() const;
    void typeChanged();

    std::array<QString, kFieldCount> m_texts;
    std::array<QString, kFieldCount> m_tags;
    std::array<bool, kFieldCount> m_enabled{};
    std::array<bool, kCategoryCount> m_checked{};
    TypeLookup m_lookup;
    EntryMode m_mode = EntryMode::Add;
    QString m_month;
    QString m_hint;
    QString m_newTypeHint;
    QString m_newKind;
    bool m_newType = false;
    bool m_confirmed = false;
};

} // namespace zambrel::input
