#include "item_commands.h"

#include "ledger/commands/log_change.h"
#include "ledger/ledger_queries.h"
#include "ledger/month_view.h"
#include "store/db_error.h"
#include "store/db_routines.h"
#include "store/message.h"
#include "store/mod_db.h"
#include "store/record_set.h"
#include "store/text.h"

#include <QCoreApplication>

namespace zambrel::ledger {
namespace {

using input::EntryField;
using F = input::EntryField;

struct CommandTexts {
    const char16_t *key;
    const char16_t *caption;
    const char16_t *toolTip;
};

constexpr CommandTexts kTexts[] = {
    {u"add", u"新活动", u"New"},
    {u"update", u"修改", u"Update"},
    {u"delete", u"删除", u"Delete"},
};

const CommandTexts &textsOf(ItemCommand command)
{
    return kTexts[static_cast<int>(command)];
}

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
    {F::FirstPay, u"首付（成本）FP"},   {F::Total, u"总成本（市值）TC"},
    {F::Debet, u"贷款总额 DT"},         {F::DebetPerMonth, u"每月还贷 PM"},
    {F::InComePerMonth, u"每月收入PR"}, {F::WillPayPerMonth, u"每月预计支出"},
    {F::PayPerMonth, u"每月实际支出"},
};

// The month record set's columns each field is loaded from.
struct LoadedColumn {
    EntryField field;
    const char *column;
};
constexpr LoadedColumn kLoadedColumns[] = {
    {F::Name, "Name"},
    {F::FirstPay, "FirstPay"},
    {F::Total, "TotalCost"},
    {F::Debet, "Debet"},
    {F::DebetPerMonth, "DebetPerMonth"},
    {F::Memo, "Memo"},
    {F::InComePerMonth, "InComePerMonth"},
    {F::WillPayPerMonth, "willPayPerMonth"},
    {F::PayPerMonth, "PayPerMonth"},
};

QString fieldText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::Double)
        return store::numberToText(value.toDouble());
    return value.toString();
}

QString amount(const input::EntryForm &form, EntryField field)
{
    return store::numberText(form.text(field));
}

QString quoted(const input::EntryForm &form, EntryField field)
{
    return store::sqlText(form.text(field));
}

} // namespace

ItemCommands::ItemCommands(MonthView &view, MonthViewHost &host, DialogProvider dialog)
    : m_view(view), m_host(host), m_dialog(std::move(dialog))
{
}

ItemCommands::~ItemCommands() = default;

QString ItemCommands::buttonKey(ItemCommand command)
{
    return QString::fromUtf16(textsOf(command).key);
}

bool ItemCommands::fromButtonKey(const QString &key, ItemCommand &command)
{
    for (const ItemCommand candidate : {ItemCommand::Add, ItemCommand::Update, ItemCommand::Delete}) {
        if (key == buttonKey(candidate)) {
            command = candidate;
            return true;
        }
    }
    return false;
}

QString ItemCommands::selectItem(const QString &key, bool openEditor)
{
    if (key.isEmpty()) {
        m_host.setToolbarButtonEnabled(ToolbarButton::Update, false);
        m_host.setToolbarButtonEnabled(ToolbarButton::Delete, false);
        return {};
    }
    store::RecordSet *records = m_view.monthRecords();
    if (!records)
        return {};
    records->moveFirst();
    while (!records->eof() && rowKey(records->value(QStringLiteral("code")).toLongLong()) != key)
        records->moveNext();
    if (records->eof())
        return {};

    m_host.setWindowCaption(store::productName() + QStringLiteral("：你不理财，财不理你 活动编号：") + key +
                            u' ');
    m_host.setToolbarButtonEnabled(ToolbarButton::Update, true);
    m_host.setToolbarButtonEnabled(ToolbarButton::Delete, true);
    const QString memo = store::trimBlanks(fieldText(records->value(QStringLiteral("memo"))));
    if (openEditor)
        run(ItemCommand::Update);
    return memo;
}

void ItemCommands::panelClick(panel::CategoryRows &panel, const QString &key)
{
    panel.setMemo(selectItem(key, false));
}

void ItemCommands::panelDoubleClick(const QString &key)
{
    selectItem(key, true);
}

void ItemCommands::run(ItemCommand command)
{
    try {
        execute(command);
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbOKOnly, {});
        m_view.refresh();
    } catch (const std::exception &error) {
        store::showMessage(QString::fromUtf8(error.what()), store::vbOKOnly, {});
        m_view.refresh();
    }
}

store::RecordSet *ItemCommands::typeRecords()
{
    if (store::RecordSet *types = m_view.typeRecords())
        return types;
    if (!m_ownTypes || m_ownTypes->state() != store::adStateOpen)
        m_ownTypes = store::OpenRS(QStringLiteral("select * from AssetType order by types"));
    return m_ownTypes.get();
}

bool ItemCommands::loadCurrentRow(input::EntryForm &form)
{
    store::RecordSet *records = m_view.monthRecords();
    // Without a current row there is nothing to change or delete.
    if (!records || records->eof())
        return false;
    m_loadedType = fieldText(records->value(QStringLiteral("Types")));
    form.loadField(F::Types, m_loadedType);
    for (const LoadedColumn &column : kLoadedColumns)
        form.loadField(column.field, fieldText(records->value(QString::fromLatin1(column.column))));
    return true;
}

void ItemCommands::execute(ItemCommand command)
{
    ItemDialog &dialog = m_dialog();
    store::RecordSet *types = typeRecords();
    dialog.setTypeLookup(input::typeLookupIn(types));
    input::EntryForm &form = dialog.form();

    const CommandTexts &texts = textsOf(command);
    const QString buttonCaption = QString::fromUtf16(texts.caption);
    QString caption = buttonCaption + u' ';
    const QString title = QStringLiteral("确认") + buttonCaption + QString::fromUtf16(texts.toolTip);

    qint64 code = 0;
    if (command == ItemCommand::Add) {
        m_adding = true;
        form.startAdd();
        form.setMonth(m_view.currentMonth());
    } else {
        m_adding = false;
        form.startChange(command == ItemCommand::Update ? input::EntryMode::Update
                                                        : input::EntryMode::Delete);
        if (!loadCurrentRow(form))
            return;
        code = m_view.monthRecords()->value(QStringLiteral("code")).toLongLong();
        caption = buttonCaption + QStringLiteral(" 理财活动 编号：") + QString::number(code);
    }
    dialog.setCaptions(caption, title);
    // The type is looked up afresh: a type saved by an earlier command is no
    // longer new, and must not be added twice.
    form.setText(F::Types, form.text(F::Types));
    form.cancel();
    if (!dialog.showModal())
        return;

    if (command == ItemCommand::Update) {
        for (const LoggedAmount &logged : kLoggedAmounts)
            logChange(QString::fromUtf16(logged.label), logged.field, form);
    }
    const QString statement = statementFor(command, form, code);
    // A delete names an existing item; its type is never added.
    if (form.isNewType() && command != ItemCommand::Delete)
        saveNewType(dialog);
    if (!store::ExecSQL(statement))
        return;

    const QString typeText = form.text(F::Types);
    if (command == ItemCommand::Delete) {
        m_view.removeItem(rowKey(code));
        m_view.openMonth();
        m_view.assess();
        return;
    }
    if (command == ItemCommand::Update && typeText != m_loadedType) {
        m_view.removeItem(rowKey(code));
        m_view.refresh();
        QCoreApplication::processEvents();
        return;
    }

    // The selection in the panels stays as it was, and so must the current
    // row of the month records: the next change or delete acts on it.
    qint64 keepCurrent = 0;
    if (command == ItemCommand::Add) {
        store::RecordSet *records = m_view.monthRecords();
        const qint64 selected =
            records && !records->eof() ? records->value(QStringLiteral("code")).toLongLong() : 0;
        const auto identity = readRows(QStringLiteral("SELECT  @@Identity  as   myid     from    asset"));
        code = identity->value(QStringLiteral("myid")).toLongLong();
        m_view.openMonth();
        keepCurrent = selected;
    } else {
        m_view.openMonth();
        keepCurrent = code;
    }

    LedgerItem item;
    item.types = typeText;
    item.name = form.text(F::Name);
    item.InComePerMonth = store::toNumber(form.text(F::InComePerMonth));
    item.PayPerMonth = store::toNumber(form.text(F::PayPerMonth));
    item.willPayPerMonth = store::toNumber(form.text(F::WillPayPerMonth));
    item.FirstPay = store::toNumber(form.text(F::FirstPay));
    item.TotalCost = store::toNumber(form.text(F::Total));
    item.Debet = store::toNumber(form.text(F::Debet));
    item.DebetPerMonth = store::toNumber(form.text(F::DebetPerMonth));
    item.code = static_cast<qint32>(code);
    item.memo = form.text(F::Memo);
    const QString kind = form.isNewType() ? form.newKind() : store::typeKind(typeText, types);
    // A new type has no group rows yet; without them the item would not show
    // until the month is reloaded.
    if (form.isNewType())
        addGroupRows(m_view.panels(), kind, typeText);
    m_view.placeItem(kind, item);
    QCoreApplication::processEvents();

    if (item.Debet == 0)
        m_view.liabilities().removeItem(rowKey(code));
    m_view.assess();
    if (keepCurrent)
        moveToCode(keepCurrent);
    QCoreApplication::processEvents();
}

QString ItemCommands::statementFor(ItemCommand command, input::EntryForm &form, qint64 code) const
{
    switch (command) {
    case ItemCommand::Delete:
        return QStringLiteral("delete * from asset where code=") + QString::number(code);
    case ItemCommand::Add:
        return QStringLiteral(" insert into Asset(months,types,[name],[memo],") +
               QStringLiteral(
                   "FirstPay,TotalCost,Debet,DebetPerMonth,InComePerMonth,PayPerMonth,willPayPerMonth) "
                   "values") +
               QStringLiteral("('") + store::sqlText(m_view.currentMonth()) + QStringLiteral("','") +
               quoted(form, F::Types) + QStringLiteral("','") + quoted(form, F::Name) +
               QStringLiteral("','") + quoted(form, F::Memo) + QStringLiteral("',") +
               amount(form, F::FirstPay) + u',' + amount(form, F::Total) + u',' + amount(form, F::Debet) +
               u',' + amount(form, F::DebetPerMonth) + u',' + amount(form, F::InComePerMonth) + u',' +
               amount(form, F::PayPerMonth) + u',' + amount(form, F::WillPayPerMonth) + u')';
    case ItemCommand::Update:
        break;
    }
    return QStringLiteral(" update Asset set Types='") + quoted(form, F::Types) + QStringLiteral("',") +
           QStringLiteral(" [Name]='") + quoted(form, F::Name) + QStringLiteral("',") +
           QStringLiteral(" [Memo]='") + quoted(form, F::Memo) + QStringLiteral("',") +
           QStringLiteral(" FirstPay=") + amount(form, F::FirstPay) + u',' + QStringLiteral(" TotalCost=") +
           amount(form, F::Total) + u',' + QStringLiteral(" Debet=") + amount(form, F::Debet) + u',' +
           QStringLiteral(" DebetPerMonth=") + amount(form, F::DebetPerMonth) + u',' +
           QStringLiteral(" InComePerMonth=") + amount(form, F::InComePerMonth) + u',' +
           QStringLiteral(" PayPerMonth=") + amount(form, F::PayPerMonth) + QStringLiteral(" ,") +
           QStringLiteral(" WillPayPerMonth=") + amount(form, F::WillPayPerMonth) + u' ' +
           QStringLiteral(" where  code=") + QString::number(code);
}

void ItemCommands::saveNewType(ItemDialog &dialog)
{
    store::RecordSet *types = typeRecords();
    if (!types)
        return;
    const input::EntryForm &form = dialog.form();
    const int rowsBefore = types->recordCount();
    types->addNew();
    types->setValue(QStringLiteral("types"), form.text(F::Types));
    types->setValue(QStringLiteral("kind"), form.newKind());
    types->setValue(QStringLiteral("index"), rowsBefore + 1);
    store::SaveRS(types, false, store::modDB::connection().get(), 30);
    dialog.setTypeLookup(input::typeLookupIn(types));
}

bool ItemCommands::moveToCode(qint64 code)
{
    store::RecordSet *records = m_view.monthRecords();
    if (!records)
        return false;
    for (records->moveFirst(); !records->eof(); records->moveNext()) {
        if (records->value(QStringLiteral("code")).toLongLong() == code)
            return true;
    }
    return false;
}

} // namespace zambrel::ledger
