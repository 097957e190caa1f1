#include "item_commands.h"

#include "base/message.h"
#include "base/number_format.h"
#include "base/text.h"
#include "host/error_report.h"
#include "ledger/commands/log_change.h"
#include "ledger/month_summary.h"
#include "ledger/month_view.h"
#include "store/ledger.h"

namespace zambrel::ledger {
namespace {

using input::EntryField;
using F = input::EntryField;

struct CommandTexts {
    const char16_t *caption;
    const char16_t *toolTip;
};

constexpr CommandTexts kTexts[] = {
    {u"新活动", u"New"},
    {u"修改", u"Update"},
    {u"删除", u"Delete"},
};

QString rowKey(qint64 code)
{
    return QStringLiteral("K") + QString::number(code);
}

// What the change command logs, in the order it logs it: each line goes in
// front, so the memo reads them in reverse.
struct LoggedAmount {
    EntryField field;
    const char16_t *label;
};
constexpr LoggedAmount kLoggedAmounts[] = {
    {F::DownPayment, u"首付（成本）FP"},  {F::TotalCost, u"总成本（市值）TC"},
    {F::LoanTotal, u"贷款总额 DT"},       {F::MonthlyRepayment, u"每月还贷 PM"},
    {F::Income, u"每月收入PR"},           {F::PlannedSpending, u"每月预计支出"},
    {F::ActualSpending, u"每月实际支出"},
};

/// The item as the dialog's fields describe it; amounts that are no numbers
/// count as 0.
store::Item itemFromForm(const input::EntryForm &form)
{
    store::Item item;
    item.type = form.text(F::Type);
    item.name = form.text(F::Name);
    item.memo = form.text(F::Memo);
    item.income = base::toNumber(form.text(F::Income));
    item.actualSpending = base::toNumber(form.text(F::ActualSpending));
    item.plannedSpending = base::toNumber(form.text(F::PlannedSpending));
    item.downPayment = base::toNumber(form.text(F::DownPayment));
    item.totalCost = base::toNumber(form.text(F::TotalCost));
    item.loanTotal = base::toNumber(form.text(F::LoanTotal));
    item.monthlyRepayment = base::toNumber(form.text(F::MonthlyRepayment));
    return item;
}

} // namespace

QString itemCommandCaption(ItemCommand command)
{
    return QString::fromUtf16(kTexts[static_cast<int>(command)].caption);
}

QString itemCommandToolTip(ItemCommand command)
{
    return QString::fromUtf16(kTexts[static_cast<int>(command)].toolTip);
}

ItemCommands::ItemCommands(MonthView &view, DialogProvider dialog)
    : m_view(view), m_host(view.host()), m_dialog(std::move(dialog))
{
}

ItemCommands::~ItemCommands() = default;

std::optional<QString> ItemCommands::selectItem(const QString &key)
{
    if (key.isEmpty()) {
        m_host.setItemSelected(false);
        return std::nullopt;
    }
    const store::Item *selected = nullptr;
    for (const store::Item &candidate : m_view.items()) {
        if (rowKey(candidate.code) == key) {
            selected = &candidate;
            break;
        }
    }
    if (!selected)
        return std::nullopt;
    m_selected = selected->code;

    m_host.setWindowCaption(base::productName() + QStringLiteral("：你不理财，财不理你 活动编号：") + key +
                            u' ');
    m_host.setItemSelected(true);
    return base::trimBlanks(selected->memo);
}

void ItemCommands::panelClick(panel::CategoryRows &panel, const QString &key)
{
    panel.setMemo(selectItem(key).value_or(QString()));
}

input::TypeLookup ItemCommands::typeLookup() const
{
    return input::typeLookupIn(typeKinds(m_view.types()));
}

void ItemCommands::loadSelected(input::EntryForm &form, const store::Item &item)
{
    m_loadedType = item.type;
    form.loadField(F::Type, item.type);
    form.loadField(F::Name, item.name);
    form.loadField(F::DownPayment, base::numberToText(item.downPayment));
    form.loadField(F::TotalCost, base::numberToText(item.totalCost));
    form.loadField(F::LoanTotal, base::numberToText(item.loanTotal));
    form.loadField(F::MonthlyRepayment, base::numberToText(item.monthlyRepayment));
    form.loadField(F::Memo, item.memo);
    form.loadField(F::Income, base::numberToText(item.income));
    form.loadField(F::PlannedSpending, base::numberToText(item.plannedSpending));
    form.loadField(F::ActualSpending, base::numberToText(item.actualSpending));
}

void ItemCommands::run(ItemCommand command)
{
    ItemDialog &dialog = m_dialog();
    m_view.readTypes();
    dialog.setTypeLookup(typeLookup());
    input::EntryForm &form = dialog.form();

    const QString buttonCaption = itemCommandCaption(command);
    QString caption = buttonCaption + u' ';
    const QString title = QStringLiteral("确认") + buttonCaption + itemCommandToolTip(command);

    qint64 code = 0;
    if (command == ItemCommand::Add) {
        m_adding = true;
        form.startAdd();
        form.setMonth(m_view.currentMonth());
    } else {
        m_adding = false;
        form.startChange(command == ItemCommand::Update ? input::EntryMode::Update
                                                        : input::EntryMode::Delete);
        // Without a selected item of this month there is nothing to change or delete.
        const store::Item *selected = m_selected ? m_view.item(*m_selected) : nullptr;
        if (!selected)
            return;
        loadSelected(form, *selected);
        code = selected->code;
        caption = buttonCaption + QStringLiteral(" 理财活动 编号：") + QString::number(code);
    }
    dialog.setCaptions(caption, title);
    // The type is looked up afresh: a type saved by an earlier command is no
    // longer new, and must not be added twice.
    form.setText(F::Type, form.text(F::Type));
    form.cancel();
    if (!dialog.showModal())
        return;

    if (command == ItemCommand::Update) {
        for (const LoggedAmount &logged : kLoggedAmounts)
            logChange(QString::fromUtf16(logged.label), logged.field, form);
    }
    // A delete names an existing item; its type is never added. An item
    // whose new type could not be stored is not written either: a type
    // missing from the type table would hide it once the month is read again.
    if (form.isNewType() && command != ItemCommand::Delete)
        saveNewType(dialog);
    host::onRoad(host::ErrorRoad::Statement, [&] { writeItem(command, form, code); });

    const QString typeText = form.text(F::Type);
    if (command == ItemCommand::Delete) {
        m_selected.reset();
        m_view.removeItem(rowKey(code));
        m_view.openMonth();
        m_view.assess();
        return;
    }
    if (command == ItemCommand::Update && typeText != m_loadedType) {
        m_view.removeItem(rowKey(code));
        m_view.reload();
        return;
    }
    // The selection stays on the item it was on: the next change or delete
    // acts on it.
    m_view.openMonth();

    store::Item item = itemFromForm(form);
    item.code = code;
    const QString kind = form.isNewType() ? form.newKind() : m_view.kindOf(typeText);
    // A new type has no group rows yet; without them the item would not show
    // until the month is reloaded.
    if (form.isNewType())
        addGroupRows(m_view.panels(), kind, typeText);
    m_view.placeItem(kind, item);

    // Only a loan above nothing is placed among the liabilities; one changed
    // to nothing or less leaves them.
    if (!(item.loanTotal > 0))
        m_view.liabilities().removeItem(rowKey(code));
    m_view.assess();
}

void ItemCommands::writeItem(ItemCommand command, const input::EntryForm &form, qint64 &code)
{
    store::Ledger &ledger = m_view.ledger();
    switch (command) {
    case ItemCommand::Delete:
        ledger.deleteItem(code);
        return;
    case ItemCommand::Add:
        code = ledger.addItem(m_view.currentMonth(), itemFromForm(form));
        return;
    case ItemCommand::Update:
        break;
    }
    store::Item item = itemFromForm(form);
    item.code = code;
    ledger.changeItem(item);
}

void ItemCommands::saveNewType(ItemDialog &dialog)
{
    const input::EntryForm &form = dialog.form();
    host::onRoad(host::ErrorRoad::BatchWrite,
                 [&] { m_view.addType(m_view.ledger().addItemType(form.text(F::Type), form.newKind())); });
    dialog.setTypeLookup(typeLookup());
}

} // namespace zambrel::ledger
