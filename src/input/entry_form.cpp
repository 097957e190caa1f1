#include "entry_form.h"

#include "amount_formula.h"
#include "arithmetic_parser.h"
#include "base/clock.h"
#include "base/number_format.h"
#include "calc_text.h"

#include <algorithm>
#include <utility>

namespace zambrel::input {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

base::MessageRequest information(const QString &text)
{
    return {text, base::MessageButtons::Ok, base::MessageIcon::Information, {}};
}

} // namespace

TypeLookup typeLookupIn(QHash<base::TextKey, QString> kinds)
{
    return [kinds = std::move(kinds)](const QString &typeName) { return kinds.value(typeName); };
}

EntryForm::EntryForm()
{
    m_enabled.fill(true);
    for (const EntryField field : kAmountFields)
        m_texts[index(field)] = QStringLiteral("0");
    m_hint = QStringLiteral("提示：请根据类型输入");
}

QString EntryForm::controlName(EntryField field)
{
    switch (field) {
    case EntryField::Type:
        return QStringLiteral("cboTypes");
    case EntryField::Name:
        return QStringLiteral("txtName");
    case EntryField::Income:
        return QStringLiteral("txtInComePerMonth");
    case EntryField::PlannedSpending:
        return QStringLiteral("txtWillPayPerMonth");
    case EntryField::ActualSpending:
        return QStringLiteral("txtPayPerMonth");
    case EntryField::DownPayment:
        return QStringLiteral("txtFirstPay");
    case EntryField::TotalCost:
        return QStringLiteral("txtTotal");
    case EntryField::LoanTotal:
        return QStringLiteral("txtDebet");
    case EntryField::MonthlyRepayment:
        return QStringLiteral("txtDebetPerMonth");
    case EntryField::Memo:
        return QStringLiteral("txtMemo");
    case EntryField::None:
        break;
    }
    return {};
}

bool EntryForm::isAmountField(EntryField field)
{
    return std::find(kAmountFields.begin(), kAmountFields.end(), field) != kAmountFields.end();
}

bool EntryForm::evaluatesOnEnter(EntryField field)
{
    return isAmountField(field) && field != EntryField::PlannedSpending;
}

void EntryForm::setTypeLookup(TypeLookup lookup)
{
    m_lookup = std::move(lookup);
}

void EntryForm::startAdd()
{
    m_mode = EntryMode::Add;
    for (const EntryField field : kAmountFields)
        m_tags[index(field)].clear();
    m_texts[index(EntryField::Memo)].clear();
}

void EntryForm::startChange(EntryMode mode)
{
    m_mode = mode;
}

QString EntryForm::text(EntryField field) const
{
    return field == EntryField::None ? QString() : m_texts[index(field)];
}

void EntryForm::setText(EntryField field, const QString &text)
{
    if (field == EntryField::None)
        return;
    m_texts[index(field)] = text;
    if (field == EntryField::Type)
        typeChanged();
}

void EntryForm::loadField(EntryField field, const QString &text)
{
    setText(field, text);
    if (isAmountField(field))
        m_tags[index(field)] = text;
}

QString EntryForm::tag(EntryField field) const
{
    return isAmountField(field) ? m_tags[index(field)] : QString();
}

void EntryForm::setTag(EntryField field, const QString &tag)
{
    if (isAmountField(field))
        m_tags[index(field)] = tag;
}

bool EntryForm::isEnabled(EntryField field) const
{
    return field != EntryField::None && m_enabled[index(field)];
}

void EntryForm::applyCategoryMask(const QString &kind)
{
    if (!m_newType)
        m_checked.fill(false);
    for (const EntryField field : kAmountFields)
        m_enabled[index(field)] = false;

    // Which amount fields each category of the mask uses, in mask order.
    using Fields = std::array<EntryField, 4>;
    static constexpr std::array<Fields, kCategoryCount> fieldsOfCategory{{
        {EntryField::Income, EntryField::None, EntryField::None, EntryField::None},
        {EntryField::ActualSpending, EntryField::PlannedSpending, EntryField::None, EntryField::None},
        {EntryField::DownPayment, EntryField::TotalCost, EntryField::LoanTotal, EntryField::MonthlyRepayment},
        {EntryField::LoanTotal, EntryField::MonthlyRepayment, EntryField::None, EntryField::None},
    }};
    for (int category = 0; category < kCategoryCount; ++category) {
        if (kind.size() <= category || kind[category] != u'1')
            continue;
        if (!m_newType)
            m_checked[static_cast<size_t>(category)] = true;
        for (const EntryField field : fieldsOfCategory[static_cast<size_t>(category)]) {
            if (field != EntryField::None)
                m_enabled[index(field)] = true;
        }
    }
    clearDisabledAmounts();
}

void EntryForm::clearDisabledAmounts()
{
    // A field the type does not use shows no amount of an earlier use, and
    // its item is written with 0 there.
    for (const EntryField field : kAmountFields) {
        if (!m_enabled[index(field)])
            m_texts[index(field)] = QStringLiteral("0");
    }
}

void EntryForm::typeChanged()
{
    const QString kind = m_lookup ? m_lookup(text(EntryField::Type)) : QString();
    m_newType = kind.isEmpty();
    m_newTypeHint = m_newType ? QStringLiteral("新项目，请勾选该项目类型，保存后会新增。") : QString();
    // A new type keeps the boxes ticked for the type before it, and OK files
    // it under them: their fields must be open to see and change.
    applyCategoryMask(m_newType ? maskFromBoxes() : kind);
}

bool EntryForm::categoryChecked(int index) const
{
    return index >= 0 && index < kCategoryCount && m_checked[static_cast<size_t>(index)];
}

QString EntryForm::maskFromBoxes() const
{
    QString mask;
    for (const bool checked : m_checked)
        mask.append(checked ? u'1' : u'0');
    return mask;
}

void EntryForm::clickCategory(int index, bool checked)
{
    if (!m_newType || index < 0 || index >= kCategoryCount)
        return;
    m_checked[static_cast<size_t>(index)] = checked;
    m_newKind = maskFromBoxes();
    if (m_newKind != QStringLiteral("0000"))
        applyCategoryMask(m_newKind);
}

EnterResult EntryForm::pressEnter(EntryField field)
{
    EnterResult result;
    if (!evaluatesOnEnter(field))
        return result;
    evaluate(field, result.messages);
    result.evaluated = true;
    return result;
}

bool EntryForm::evaluate(EntryField field, EntryMessages &messages)
{
    const CalcResult result = evaluateAmountField(m_texts[index(field)]);
    m_texts[index(field)] = result.text;
    for (const QString &message : result.messages)
        messages.push_back(information(message));
    return result.evaluated;
}

void EntryForm::stampMemoDate()
{
    m_texts[index(EntryField::Memo)] += kCrLf + base::today().toString(QStringLiteral("yyyy年MM月dd日"));
}

bool EntryForm::emptyAndEnabled(EntryField field) const
{
    return text(field).isEmpty() && isEnabled(field);
}

std::optional<base::MessageRequest> EntryForm::loanAuditQuestion() const
{
    const double loan = base::toNumber(text(EntryField::LoanTotal));
    const double total = base::toNumber(text(EntryField::TotalCost));
    const double firstPay = base::toNumber(text(EntryField::DownPayment));
    if (!(loan > 0 && total > 0 && isEnabled(EntryField::TotalCost)))
        return std::nullopt;
    // Compared to the digits the fields show: 1000 - 200.1 is not exactly the
    // double 799.9, and an exact comparison would ask again after every
    // adjustment.
    if (roundToDisplayedDigits(total - firstPay) == roundToDisplayedDigits(loan))
        return std::nullopt;
    return base::MessageRequest{QStringLiteral("审核不通过：") + kCrLf + QStringLiteral("贷款总额 ") +
                                    text(EntryField::LoanTotal) + QStringLiteral("  应该 等于（总成本 ") +
                                    text(EntryField::TotalCost) + QStringLiteral("-首付") +
                                    text(EntryField::DownPayment) + QStringLiteral("），") + kCrLf +
                                    QStringLiteral("是否自动调整贷款金额？"),
                                base::MessageButtons::YesNo,
                                base::MessageIcon::Information,
                                {}};
}

QString EntryForm::missingHint(EntryField field)
{
    switch (field) {
    case EntryField::Type:
        return QStringLiteral("请选择项目类型");
    case EntryField::Name:
        return QStringLiteral("请输入活动描述");
    case EntryField::Income:
        return QStringLiteral("请输入每月收入数");
    case EntryField::ActualSpending:
        return QStringLiteral("请输入实际支出数");
    case EntryField::DownPayment:
        return QStringLiteral("请输入首付数");
    case EntryField::TotalCost:
        return QStringLiteral("请输入总成本数");
    case EntryField::LoanTotal:
        return QStringLiteral("请输入贷款总额");
    case EntryField::MonthlyRepayment:
        return QStringLiteral("请输入每月还贷额");
    case EntryField::PlannedSpending:
    case EntryField::Memo:
    case EntryField::None:
        break;
    }
    return {};
}

CheckResult EntryForm::confirm(std::optional<base::MessageAnswer> loanAudit)
{
    EntryMessages messages;
    auto stop = [this, &messages](EntryField focus) {
        m_hint = missingHint(focus);
        return CheckResult{false, focus, m_hint, std::move(messages), std::nullopt};
    };
    // A formula left without Enter would otherwise be read as a number, and
    // anything that is not one as 0. A text the calculator reads otherwise
    // than the number reading would ("12,5") is a formula too. One it
    // refuses stops OK at its field: its message has said why.
    // The planned expenditure, which Enter leaves as typed, is worked out
    // here too: written as it stands, a formula there would be stored as 0.
    // With the audit's answer the formulas were worked out by the OK that
    // asked it, and nothing was typed since.
    for (const EntryField field : kAmountFields) {
        const QString &typed = text(field);
        if (loanAudit || !isEnabled(field) || typed.isEmpty())
            continue;
        if (base::isNumeric(typed) && parseArithmetic(normaliseFormula(typed)).ok())
            continue;
        if (!evaluate(field, messages))
            return stop(field);
    }

    if (text(EntryField::Type).isEmpty())
        return stop(EntryField::Type);
    // An item of a type in no category would show in no panel, and could be
    // neither seen nor changed.
    if (m_newType && maskFromBoxes() == QStringLiteral("0000")) {
        m_hint = QStringLiteral("请为新类型选择类别 Choose a category for the new type");
        return CheckResult{false, EntryField::Type, m_hint, std::move(messages), std::nullopt};
    }
    if (emptyAndEnabled(EntryField::LoanTotal))
        return stop(EntryField::LoanTotal);
    if (std::optional<base::MessageRequest> question = loanAuditQuestion()) {
        if (!loanAudit) {
            CheckResult asking{false, EntryField::LoanTotal, m_hint, std::move(messages),
                               std::move(question)};
            return asking;
        }
        if (*loanAudit != base::MessageAnswer::Yes)
            return stop(EntryField::LoanTotal);
        m_texts[index(EntryField::LoanTotal)] = base::numberToText(
            base::toNumber(text(EntryField::TotalCost)) - base::toNumber(text(EntryField::DownPayment)));
    }
    if (emptyAndEnabled(EntryField::MonthlyRepayment))
        return stop(EntryField::MonthlyRepayment);
    if (base::toNumber(text(EntryField::LoanTotal)) > 0 &&
        base::toNumber(text(EntryField::MonthlyRepayment)) == 0 && isEnabled(EntryField::MonthlyRepayment)) {
        messages.push_back(information(QStringLiteral("你有贷款总额，请输入每月还贷")));
        return stop(EntryField::MonthlyRepayment);
    }
    if (emptyAndEnabled(EntryField::DownPayment))
        return stop(EntryField::DownPayment);
    if (emptyAndEnabled(EntryField::Income))
        return stop(EntryField::Income);
    if (text(EntryField::Name).isEmpty())
        return stop(EntryField::Name);
    if (emptyAndEnabled(EntryField::ActualSpending))
        return stop(EntryField::ActualSpending);
    if (emptyAndEnabled(EntryField::TotalCost))
        return stop(EntryField::TotalCost);

    clearDisabledAmounts();
    if (base::toNumber(text(EntryField::LoanTotal)) <= 0)
        m_texts[index(EntryField::MonthlyRepayment)] = QStringLiteral("0");
    if (m_newType)
        m_newKind = maskFromBoxes();
    m_confirmed = true;
    return CheckResult{true, EntryField::None, m_hint, std::move(messages), std::nullopt};
}

} // namespace zambrel::input
