#include "import_window.h"

#include "bank_mapping_window.h"

#include "base/message.h"
#include "import/books/bill_import.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/list_label.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>
#include <set>

namespace zambrel::bills {
namespace {

const QString kCaption = QStringLiteral("导入账单 Import");
constexpr QSize kContentSize(820, 560);

enum Column {
    DateColumn,
    CounterpartyColumn,
    DescriptionColumn,
    AmountColumn,
    MonthColumn,
    ItemColumn,
    StateColumn
};

QString amountText(const BillTransaction &transaction)
{
    const QString amount = QString::number(transaction.amount, 'f', 2);
    switch (transaction.direction) {
    case Direction::Expense:
        return u'-' + amount;
    case Direction::Income:
        return u'+' + amount;
    case Direction::Neutral:
        break;
    }
    return amount;
}

} // namespace

QString itemText(const PreviewRow &row)
{
    if (row.placement == Placement::Unassigned)
        return QStringLiteral("未归类 Unassigned");
    return row.item.type + QStringLiteral(" / ") + row.item.name;
}

QString stateText(RowState state)
{
    switch (state) {
    case RowState::New:
        return QStringLiteral("新 New");
    case RowState::Duplicate:
        return QStringLiteral("重复 Duplicate");
    case RowState::Skipped:
        break;
    }
    return QStringLiteral("跳过 Skipped");
}

ImportWindow::ImportWindow(store::Ledger &ledger, Imported imported, QWidget *parent)
    : SkinnedWindow(parent), fileLabel(new QLabel(QStringLiteral("账单文件(&F):"), contentArea())),
      fileBox(new QLineEdit(contentArea())),
      browseButton(new skin::FlatButton(QStringLiteral("浏览 Browse…"), contentArea())),
      listLabel(new QLabel(QStringLiteral("交易(&T):"), contentArea())),
      sourceLabel(new QLabel(contentArea())), transactionList(new QTreeWidget(contentArea())),
      itemLabel(new QLabel(QStringLiteral("项目(&I):"), contentArea())),
      itemBox(new QComboBox(contentArea())),
      rememberButton(new skin::FlatButton(QStringLiteral("记住规则 Remember"), contentArea())),
      mappingButton(new skin::FlatButton(QStringLiteral("列对应 Mapping…"), contentArea())),
      summaryLabel(new QLabel(QStringLiteral("汇总(&S):"), contentArea())),
      summaryList(new QTreeWidget(contentArea())), problemLabel(new QLabel(contentArea())),
      importButton(new skin::FlatButton(QStringLiteral("导入 Import"), contentArea())),
      closeButton(new skin::FlatButton(QStringLiteral("关闭 Close"), contentArea())), m_ledger(ledger),
      m_imported(std::move(imported))
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    fileLabel->setObjectName(QStringLiteral("lblBillFile"));
    fileLabel->setGeometry(16, 12, 92, 26);
    fileBox->setObjectName(QStringLiteral("txtBillFile"));
    fileBox->setGeometry(112, 12, 580, 26);
    fileBox->setReadOnly(true);
    fileLabel->setBuddy(fileBox);
    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    browseButton->setGeometry(700, 11, 104, 28);
    connect(browseButton, &skin::FlatButton::clicked, this, &ImportWindow::browse);

    listLabel->setObjectName(QStringLiteral("lblTransactions"));
    listLabel->setGeometry(16, 46, 80, 22);
    sourceLabel->setObjectName(QStringLiteral("lblSource"));
    sourceLabel->setGeometry(100, 46, 704, 22);
    sourceLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sourceLabel->setTextFormat(Qt::PlainText);
    transactionList->setObjectName(QStringLiteral("lvTransactions"));
    transactionList->setGeometry(16, 70, 788, 244);
    transactionList->setRootIsDecorated(false);
    transactionList->setAllColumnsShowFocus(true);
    transactionList->setHeaderLabels({QStringLiteral("日期 Date"), QStringLiteral("交易对方 Counterparty"),
                                      QStringLiteral("说明 Description"), QStringLiteral("金额 Amount"),
                                      QStringLiteral("月份 Month"), QStringLiteral("项目 Item"),
                                      QStringLiteral("状态 State")});
    const int widths[] = {100, 140, 140, 80, 70, 150};
    for (int column = 0; column < 6; ++column)
        transactionList->setColumnWidth(column, widths[column]);
    skin::nameListAfter(transactionList, listLabel);
    connect(transactionList, &QTreeWidget::currentItemChanged, this, &ImportWindow::showChosen);
    connect(transactionList, &QTreeWidget::itemChanged, this, &ImportWindow::rowTicked);

    itemLabel->setObjectName(QStringLiteral("lblItem"));
    itemLabel->setGeometry(16, 322, 92, 26);
    itemBox->setObjectName(QStringLiteral("cboItem"));
    itemBox->setGeometry(112, 322, 400, 26);
    itemLabel->setBuddy(itemBox);
    connect(itemBox, &QComboBox::activated, this, &ImportWindow::chooseItem);
    rememberButton->setObjectName(QStringLiteral("cmdRemember"));
    rememberButton->setGeometry(520, 321, 150, 28);
    connect(rememberButton, &skin::FlatButton::clicked, this, &ImportWindow::rememberRule);
    mappingButton->setObjectName(QStringLiteral("cmdMapping"));
    mappingButton->setGeometry(678, 321, 126, 28);
    connect(mappingButton, &skin::FlatButton::clicked, this, &ImportWindow::changeMapping);

    summaryLabel->setObjectName(QStringLiteral("lblSummary"));
    summaryLabel->setGeometry(16, 356, 80, 22);
    summaryList->setObjectName(QStringLiteral("lvSummary"));
    summaryList->setGeometry(16, 380, 788, 116);
    summaryList->setRootIsDecorated(false);
    summaryList->setHeaderLabels({QStringLiteral("月份 Month"), QStringLiteral("项目 Item"),
                                  QStringLiteral("实际支出 Spending"), QStringLiteral("月收入 Income"),
                                  QStringLiteral("笔数 Count"), QString()});
    const int summaryWidths[] = {80, 260, 120, 120, 70};
    for (int column = 0; column < 5; ++column)
        summaryList->setColumnWidth(column, summaryWidths[column]);
    skin::nameListAfter(summaryList, summaryLabel);

    problemLabel->setObjectName(QStringLiteral("lblProblems"));
    problemLabel->setGeometry(16, 502, 570, 50);
    problemLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    problemLabel->setWordWrap(true);
    problemLabel->setTextFormat(Qt::PlainText);

    importButton->setObjectName(QStringLiteral("cmdImport"));
    importButton->setGeometry(596, 516, 100, 28);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    closeButton->setGeometry(704, 516, 100, 28);
    connect(importButton, &skin::FlatButton::clicked, this, &ImportWindow::importTicked);
    connect(closeButton, &skin::FlatButton::clicked, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    setTabOrder(fileBox, browseButton);
    setTabOrder(browseButton, transactionList);
    setTabOrder(transactionList, itemBox);
    setTabOrder(itemBox, rememberButton);
    setTabOrder(rememberButton, mappingButton);
    setTabOrder(mappingButton, summaryList);
    setTabOrder(summaryList, importButton);
    setTabOrder(importButton, closeButton);

    resizeContent(kContentSize);
    setFixedSize(size());
    showRows();
}

ImportWindow::~ImportWindow() = default;

void ImportWindow::browse()
{
    const QString file = store::openFileDialog(this, kCaption,
                                               QStringLiteral("账单 Bills (*.csv *.xlsx *.txt)") + QChar(0) +
                                                   QStringLiteral("*.csv;*.xlsx;*.txt") + QChar(0) +
                                                   QStringLiteral("所有文件 All files (*.*)") + QChar(0) +
                                                   QStringLiteral("*.*") + QChar(0));
    if (!file.isEmpty())
        openBill(file);
}

bool ImportWindow::openBill(const QString &path)
{
    const QString sourceAsked = QFileInfo(path).absoluteFilePath() == m_path ? m_source : QString();
    try {
        BillReadResult read =
            readBillFor(m_ledger, path, sourceAsked.isEmpty() ? std::nullopt : std::optional(sourceAsked));
        if (!read.ok() && read.mappable) {
            const QString question =
                read.failure + QStringLiteral("\n\n要设置列对应，把它当作银行账单读吗？\n"
                                              "Set up a column mapping to read it as "
                                              "a bank statement?");
            if (base::showMessage(question, base::MessageButtons::YesNo, base::MessageIcon::Question,
                                  kCaption) != base::MessageAnswer::Yes)
                return false;
            const std::optional<QString> source = setUpMapping(path, sourceAsked);
            if (!source)
                return false;
            read = readBillFor(m_ledger, path, *source);
        }
        if (!read.ok()) {
            base::showMessage(read.failure, base::MessageButtons::Ok, base::MessageIcon::Information,
                              kCaption);
            return false;
        }
        m_preview.emplace(previewFor(m_ledger, read.bill));
        m_source = read.source;
    } catch (const store::DbError &error) {
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    fileBox->setText(QDir::toNativeSeparators(m_path));
    showRows();
    if (transactionList->topLevelItemCount() > 0)
        transactionList->setCurrentItem(transactionList->topLevelItem(0));
    return true;
}

std::optional<QString> ImportWindow::setUpMapping(const QString &path, const QString &source)
{
    const BillContent content = readBillContent(path);
    if (!content.failure.isEmpty()) {
        base::showMessage(content.failure, base::MessageButtons::Ok, base::MessageIcon::Information,
                          kCaption);
        return std::nullopt;
    }
    try {
        BankMappingWindow mapping(m_ledger, content.bytes, source, this);
        return mapping.setUp();
    } catch (const store::DbError &error) {
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return std::nullopt;
    }
}

void ImportWindow::changeMapping()
{
    if (!m_preview || m_preview->bill().format != BillFormat::BankCsv)
        return;
    if (const std::optional<QString> source = setUpMapping(m_path, m_source)) {
        m_source = *source;
    } else {
        try {
            if (m_ledger.bankMapping(m_source))
                return; // nothing changed: the rows keep the person's choices
        } catch (const store::DbError &) {
            // Read again below, which reports the failure.
        }
        m_source.clear(); // removed in the mapping window: the one that reads it now
    }
    if (!openBill(m_path))
        showRows(); // the rows read stay; no source is named for them any more
}

bool ImportWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_preview) {
        try {
            if (markAgainstLedger(m_ledger, *m_preview)) {
                for (std::size_t at = 0; at < m_preview->rows().size(); ++at)
                    showRow(at);
                showSummary();
            }
        } catch (const store::DbError &) {
            // The marks stay as they were; the import itself reports the failure.
        }
    }
    return SkinnedWindow::event(event);
}

void ImportWindow::showRows()
{
    {
        const QSignalBlocker quiet(transactionList);
        transactionList->clear();
        if (m_preview) {
            for (std::size_t row = 0; row < m_preview->rows().size(); ++row) {
                new QTreeWidgetItem(transactionList);
                showRow(row);
            }
        }
    }
    // What the item box offers: the items of the bill's months and of the
    // newest month, the items the rules name, and the two unassigned ones.
    std::set<std::pair<QString, QString>> offered = {
        {unassignedItem(Effect::AddSpending).type, unassignedItem(Effect::AddSpending).name},
        {unassignedItem(Effect::AddIncome).type, unassignedItem(Effect::AddIncome).name}};
    QStringList months;
    if (m_preview) {
        for (const PreviewRow &row : m_preview->rows())
            if (!months.contains(row.month()))
                months << row.month();
        for (const ImportRule &rule : m_preview->rules())
            offered.insert({rule.item.type, rule.item.name});
    }
    try {
        months << m_ledger.latestMonth();
        for (const QString &month : months)
            for (const store::Item &item : m_ledger.monthItems(month))
                offered.insert({item.type, item.name});
    } catch (const store::DbError &) {
        // The box then offers fewer items; the import itself reports the failure.
    }
    m_items.clear();
    itemBox->clear();
    for (const auto &[type, name] : offered) {
        m_items.push_back({type, name});
        itemBox->addItem(type + QStringLiteral(" / ") + name);
    }

    QStringList problems;
    if (m_preview) {
        problems << readingWarnings(m_preview->bill());
        for (const RowProblem &problem : m_preview->bill().problems)
            problems << QStringLiteral("第 %1 行未能读取 Line %1 not read: %2")
                            .arg(problem.line)
                            .arg(problem.reason);
    }
    const bool statement = m_preview && m_preview->bill().format == BillFormat::BankCsv;
    sourceLabel->setText(statement && !m_source.isEmpty() ? readWithMappingText(m_source) : QString());
    mappingButton->setEnabled(statement);
    problemLabel->setText(problems.join(u'\n'));
    problemLabel->setVisible(!problems.isEmpty());
    problemLabel->setToolTip(problems.join(u'\n'));
    showSummary();
    showChosen();
}

void ImportWindow::showRow(std::size_t at)
{
    const PreviewRow &row = m_preview->rows()[at];
    QTreeWidgetItem *item = transactionList->topLevelItem(int(at));
    const QSignalBlocker quiet(transactionList);
    const BillTransaction &transaction = row.transaction;
    item->setText(DateColumn, transaction.date.toString(Qt::ISODate));
    item->setText(CounterpartyColumn, transaction.counterparty);
    item->setText(DescriptionColumn, transaction.description);
    item->setText(AmountColumn, amountText(transaction));
    item->setTextAlignment(AmountColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(MonthColumn, row.month());
    item->setText(ItemColumn, itemText(row));
    item->setText(StateColumn, stateText(row.state()));
    item->setToolTip(StateColumn, row.stateReason());
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(DateColumn, row.ticked ? Qt::Checked : Qt::Unchecked);
    const bool grey = row.state() == RowState::Skipped;
    for (int column = 0; column <= StateColumn; ++column)
        item->setForeground(column, transactionList->palette().brush(
                                        grey ? QPalette::Disabled : QPalette::Active, QPalette::Text));
}

void ImportWindow::showSummary()
{
    summaryList->clear();
    int transactions = 0;
    bool rulesToWrite = false;
    if (m_preview) {
        try {
            // A rule remembered on a bill with nothing left to import is
            // written by Import alone.
            rulesToWrite = rulesPending(m_ledger, *m_preview);
            const ImportPlan plan = planFor(m_ledger, *m_preview);
            for (const PlanLine &line : plan.lines)
                new QTreeWidgetItem(summaryList,
                                    {line.month, line.item.type + QStringLiteral(" / ") + line.item.name,
                                     QString::number(line.spending, 'f', 2),
                                     QString::number(line.income, 'f', 2), QString::number(line.transactions),
                                     line.create ? QStringLiteral("新建 new") : QString()});
            transactions = plan.transactions;
        } catch (const store::DbError &error) {
            new QTreeWidgetItem(summaryList, {QString(), error.description()});
        }
    }
    importButton->setEnabled(transactions > 0 || rulesToWrite);
}

int ImportWindow::chosenRow() const
{
    return transactionList->indexOfTopLevelItem(transactionList->currentItem());
}

void ImportWindow::showChosen()
{
    const int row = chosenRow();
    const bool chosen = m_preview && row >= 0;
    itemBox->setEnabled(chosen);
    itemLabel->setEnabled(chosen);
    rememberButton->setEnabled(chosen &&
                               m_preview->rows()[std::size_t(row)].placement != Placement::Unassigned);
    if (!chosen)
        return;
    const ItemTarget &target = m_preview->rows()[std::size_t(row)].item;
    const auto found = std::find(m_items.begin(), m_items.end(), target);
    itemBox->setCurrentIndex(found == m_items.end() ? -1 : int(found - m_items.begin()));
}

void ImportWindow::chooseItem(int index)
{
    const int row = chosenRow();
    if (!m_preview || row < 0 || index < 0 || std::size_t(index) >= m_items.size())
        return;
    m_preview->chooseItem(std::size_t(row), m_items[std::size_t(index)]);
    // The refunds that follow the row follow its item.
    for (std::size_t at = 0; at < m_preview->rows().size(); ++at)
        showRow(at);
    showSummary();
    showChosen();
}

void ImportWindow::rowTicked(QTreeWidgetItem *item, int column)
{
    const int row = transactionList->indexOfTopLevelItem(item);
    if (!m_preview || row < 0 || column != DateColumn)
        return;
    m_preview->setTicked(std::size_t(row), item->checkState(DateColumn) == Qt::Checked);
    showRow(std::size_t(row)); // a row without effect stays unticked
    showSummary();
}

void ImportWindow::rememberRule()
{
    const int row = chosenRow();
    if (!m_preview || row < 0)
        return;
    m_preview->rememberRule(std::size_t(row));
    for (std::size_t at = 0; at < m_preview->rows().size(); ++at)
        showRow(at);
    showSummary();
    showChosen();
}

void ImportWindow::importTicked()
{
    if (!m_preview)
        return;
    ImportPlan plan;
    try {
        plan = planFor(m_ledger, *m_preview);
        if (plan.transactions == 0) {
            // Nothing ticked: the remembered rules alone, if any.
            if (applyPlan(m_ledger, ImportPlan{}, m_path, m_preview->rules()) && m_imported)
                m_imported({}, 0);
            showSummary();
            return;
        }
        applyPlan(m_ledger, plan, m_path, m_preview->rules());
    } catch (const store::DbError &error) {
        // Import is this window's own action: its one catch.
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return;
    }
    QString newest;
    for (const PlanLine &line : plan.lines)
        newest = std::max(newest, line.month);
    if (m_imported)
        m_imported(newest, plan.transactions);
    // Read again: what was imported now shows as imported before.
    openBill(m_path);
}

} // namespace zambrel::bills
