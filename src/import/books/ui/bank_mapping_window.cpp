#include "bank_mapping_window.h"

#include "base/message.h"
#include "import/bill_reader.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/list_label.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>
#include <QSpinBox>
#include <QTreeWidget>

namespace zambrel::bills {
namespace {

const QString kCaption = QStringLiteral("列对应 Column Mapping");
constexpr QSize kContentSize(780, 590);
constexpr int kLeftLabel = 16, kLeftBox = 176, kRightLabel = 404, kRightBox = 564, kBoxWidth = 200;

struct ColumnRole {
    const char *objectName;
    const char16_t *caption;
    int BankCsvMapping::*column;
};

const std::array<ColumnRole, BankMappingWindow::kColumnRoles> kRoles{{
    {"cboDateColumn", u"日期列 Date(&1):", &BankCsvMapping::dateColumn},
    {"cboDescriptionColumn", u"摘要列 Description(&2):", &BankCsvMapping::descriptionColumn},
    {"cboCounterpartyColumn", u"对方列 Counterparty(&3):", &BankCsvMapping::counterpartyColumn},
    {"cboReferenceColumn", u"流水号列 Reference(&4):", &BankCsvMapping::referenceColumn},
    {"cboAmountColumn", u"金额列 Amount(&5):", &BankCsvMapping::amountColumn},
    {"cboDebitColumn", u"支出列 Debit(&6):", &BankCsvMapping::debitColumn},
    {"cboCreditColumn", u"收入列 Credit(&7):", &BankCsvMapping::creditColumn},
}};

const QString kNoColumn = QStringLiteral("（无）None");

// Offers "none" and the columns `titles` names in `box`, and by number any
// further column up to the one chosen (at `chosen`, 0 for none), which stays
// chosen: a column a kept mapping names beyond the file's head.
void offerColumns(QComboBox *box, const QStringList &titles, int chosen)
{
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItem(kNoColumn);
    box->addItems(titles);
    while (box->count() <= chosen)
        box->addItem(numberedColumnTitle(box->count() - 1));
    box->setCurrentIndex(chosen);
}

// The separators offered, with their names.
const std::array<std::pair<char16_t, const char16_t *>, 4> kSeparators{{
    {u',', u"逗号 Comma ,"},
    {u';', u"分号 Semicolon ;"},
    {u'\t', u"制表符 Tab"},
    {u'|', u"竖线 Bar |"},
}};

} // namespace

BankMappingWindow::BankMappingWindow(store::Ledger &ledger, const QByteArray &content, const QString &source,
                                     QWidget *parent)
    : SkinnedWindow(parent), sourceLabel(new QLabel(QStringLiteral("来源 Source(&S):"), contentArea())),
      sourceBox(new QComboBox(contentArea())),
      encodingLabel(new QLabel(QStringLiteral("编码 Encoding(&E):"), contentArea())),
      encodingBox(new QComboBox(contentArea())),
      separatorLabel(new QLabel(QStringLiteral("分隔符 Separator(&P):"), contentArea())),
      separatorBox(new QComboBox(contentArea())),
      dateOrderLabel(new QLabel(QStringLiteral("日期顺序 Date order(&O):"), contentArea())),
      dateOrderBox(new QComboBox(contentArea())),
      skipLabel(new QLabel(QStringLiteral("跳过开头 Lines above(&K):"), contentArea())),
      skipBox(new QSpinBox(contentArea())),
      trailingLabel(new QLabel(QStringLiteral("跳过末尾 Lines below(&T):"), contentArea())),
      trailingBox(new QSpinBox(contentArea())),
      headerBox(
          new QCheckBox(QStringLiteral("第一行是列名 The first line names the columns(&H)"), contentArea())),
      decimalCommaBox(new QCheckBox(QStringLiteral("小数逗号 Decimal comma, 1.234,56(&D)"), contentArea())),
      sampleLabel(new QLabel(QStringLiteral("文件开头 Start of the file(&F):"), contentArea())),
      sampleList(new QTreeWidget(contentArea())), checkLabel(new QLabel(contentArea())),
      removeButton(new skin::FlatButton(QStringLiteral("删除来源 Remove Source"), contentArea())),
      okButton(new skin::FlatButton(QStringLiteral("确定 OK"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取消 Cancel"), contentArea())), m_ledger(ledger),
      m_content(content)
{
    setObjectName(QStringLiteral("frmBankMapping"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    const auto place = [](QLabel *label, QWidget *box, const char *name, int x, int boxX, int y, int width) {
        label->setObjectName(QLatin1String("lbl") + QLatin1String(name + 3));
        label->setGeometry(x, y, boxX - x - 4, 26);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(boxX, y, width, 26);
        label->setBuddy(box);
    };
    place(sourceLabel, sourceBox, "cboSource", kLeftLabel, kLeftBox, 12, kBoxWidth);
    place(encodingLabel, encodingBox, "cboEncoding", kRightLabel, kRightBox, 12, kBoxWidth);
    place(separatorLabel, separatorBox, "cboSeparator", kLeftLabel, kLeftBox, 46, kBoxWidth);
    place(dateOrderLabel, dateOrderBox, "cboDateOrder", kRightLabel, kRightBox, 46, kBoxWidth);
    place(skipLabel, skipBox, "spnSkipLines", kLeftLabel, kLeftBox, 80, 80);
    place(trailingLabel, trailingBox, "spnSkipTrailing", kRightLabel, kRightBox, 80, 80);
    headerBox->setObjectName(QStringLiteral("chkHeader"));
    headerBox->setGeometry(kLeftLabel, 114, 380, 24);
    decimalCommaBox->setObjectName(QStringLiteral("chkDecimalComma"));
    decimalCommaBox->setGeometry(kRightLabel, 114, 360, 24);

    sourceBox->setEditable(true);
    sourceBox->setInsertPolicy(QComboBox::NoInsert);
    sourceBox->addItems(ledger.bankMappingSources());
    sourceBox->setCurrentIndex(-1);
    sourceBox->setEditText(source);
    sourceBox->lineEdit()->setPlaceholderText(QStringLiteral("如：某某银行 e.g. the bank's name"));
    encodingBox->addItem(QStringLiteral("UTF-8"), int(TextEncoding::Utf8));
    encodingBox->addItem(QStringLiteral("GB18030"), int(TextEncoding::Gb18030));
    for (const auto &[separator, name] : kSeparators)
        separatorBox->addItem(QString::fromUtf16(name), QChar(separator));
    dateOrderBox->addItem(QStringLiteral("自动 Decided from the dates"), -1);
    dateOrderBox->addItem(QStringLiteral("年月日 Year, month, day"), int(DateOrder::YearMonthDay));
    dateOrderBox->addItem(QStringLiteral("日月年 Day, month, year"), int(DateOrder::DayMonthYear));
    dateOrderBox->addItem(QStringLiteral("月日年 Month, day, year"), int(DateOrder::MonthDayYear));
    skipBox->setRange(0, 999);
    trailingBox->setRange(0, 999);

    sampleLabel->setObjectName(QStringLiteral("lblSample"));
    sampleLabel->setGeometry(kLeftLabel, 146, 400, 22);
    sampleList->setObjectName(QStringLiteral("lvSample"));
    sampleList->setGeometry(kLeftLabel, 170, 748, 170);
    sampleList->setRootIsDecorated(false);
    sampleList->setSelectionMode(QAbstractItemView::NoSelection);
    skin::nameListAfter(sampleList, sampleLabel);

    for (int role = 0; role < kColumnRoles; ++role) {
        const bool left = role < 4;
        auto *box = new QComboBox(contentArea());
        auto *label = new QLabel(QString::fromUtf16(kRoles[std::size_t(role)].caption), contentArea());
        place(label, box, kRoles[std::size_t(role)].objectName, left ? kLeftLabel : kRightLabel,
              left ? kLeftBox : kRightBox, 350 + (left ? role : role - 4) * 34, kBoxWidth);
        columnLabels[std::size_t(role)] = label;
        columnBoxes[std::size_t(role)] = box;
    }

    checkLabel->setObjectName(QStringLiteral("lblCheck"));
    checkLabel->setGeometry(kLeftLabel, 490, 368, 92);
    checkLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    checkLabel->setWordWrap(true);
    checkLabel->setTextFormat(Qt::PlainText);
    okButton->setObjectName(QStringLiteral("cmdOk"));
    removeButton->setObjectName(QStringLiteral("cmdRemoveSource"));
    removeButton->setGeometry(392, 550, 156, 28);
    okButton->setGeometry(556, 550, 100, 28);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton->setGeometry(664, 550, 100, 28);

    QWidget *order[] = {sourceBox,      encodingBox,    separatorBox,    dateOrderBox,   skipBox,
                        trailingBox,    headerBox,      decimalCommaBox, sampleList,     columnBoxes[0],
                        columnBoxes[1], columnBoxes[2], columnBoxes[3],  columnBoxes[4], columnBoxes[5],
                        columnBoxes[6], removeButton,   okButton,        cancelButton};
    for (std::size_t at = 1; at < std::size(order); ++at)
        setTabOrder(order[at - 1], order[at]);

    resizeContent(kContentSize);
    setFixedSize(size());

    const std::optional<QString> kept = source.isEmpty() ? std::nullopt : ledger.bankMapping(source);
    const std::optional<BankCsvMapping> stored = kept ? mappingFromJson(*kept) : std::nullopt;
    m_sample = sampleCsv(m_content, stored ? stored->encoding : std::nullopt,
                         stored ? std::optional<QChar>(stored->separator) : std::nullopt);
    showMapping(stored ? *stored : guessMapping(m_sample));

    connect(sourceBox, &QComboBox::activated, this, &BankMappingWindow::sourceChosen);
    connect(sourceBox, &QComboBox::editTextChanged, this, &BankMappingWindow::check);
    connect(encodingBox, &QComboBox::currentIndexChanged, this, &BankMappingWindow::resample);
    connect(separatorBox, &QComboBox::currentIndexChanged, this, &BankMappingWindow::resample);
    connect(dateOrderBox, &QComboBox::currentIndexChanged, this, &BankMappingWindow::check);
    connect(skipBox, &QSpinBox::valueChanged, this, &BankMappingWindow::showSample);
    connect(trailingBox, &QSpinBox::valueChanged, this, &BankMappingWindow::check);
    connect(headerBox, &QCheckBox::toggled, this, &BankMappingWindow::showSample);
    connect(decimalCommaBox, &QCheckBox::toggled, this, &BankMappingWindow::check);
    for (QComboBox *box : columnBoxes)
        connect(box, &QComboBox::currentIndexChanged, this, &BankMappingWindow::check);
    connect(removeButton, &skin::FlatButton::clicked, this, &BankMappingWindow::removeSource);
    connect(okButton, &skin::FlatButton::clicked, this, &BankMappingWindow::accept);
    connect(cancelButton, &skin::FlatButton::clicked, this, &QWidget::hide);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

BankMappingWindow::~BankMappingWindow() = default;

std::optional<QString> BankMappingWindow::setUp()
{
    m_kept.reset();
    sourceBox->setFocus(Qt::OtherFocusReason);
    exec();
    return m_kept;
}

BankCsvMapping BankMappingWindow::mapping() const
{
    BankCsvMapping mapping;
    mapping.encoding = TextEncoding(encodingBox->currentData().toInt());
    mapping.separator = separatorBox->currentData().toChar();
    mapping.decimalComma = decimalCommaBox->isChecked();
    if (const int order = dateOrderBox->currentData().toInt(); order >= 0)
        mapping.dateOrder = DateOrder(order);
    mapping.skipLines = skipBox->value();
    mapping.hasHeader = headerBox->isChecked();
    mapping.skipTrailingLines = trailingBox->value();
    for (std::size_t role = 0; role < kRoles.size(); ++role)
        mapping.*kRoles[role].column = columnBoxes[role]->currentIndex() - 1;
    return mapping;
}

void BankMappingWindow::showMapping(const BankCsvMapping &mapping)
{
    {
        const QSignalBlocker quiet[] = {QSignalBlocker(encodingBox),    QSignalBlocker(separatorBox),
                                        QSignalBlocker(dateOrderBox),   QSignalBlocker(skipBox),
                                        QSignalBlocker(trailingBox),    QSignalBlocker(headerBox),
                                        QSignalBlocker(decimalCommaBox)};
        encodingBox->setCurrentIndex(
            encodingBox->findData(int(mapping.encoding.value_or(m_sample.encoding))));
        if (separatorBox->findData(mapping.separator) < 0) // kept by hand in the file: offered as it is
            separatorBox->addItem(QString(mapping.separator), mapping.separator);
        separatorBox->setCurrentIndex(separatorBox->findData(mapping.separator));
        dateOrderBox->setCurrentIndex(
            dateOrderBox->findData(mapping.dateOrder ? int(*mapping.dateOrder) : -1));
        skipBox->setValue(mapping.skipLines);
        trailingBox->setValue(mapping.skipTrailingLines);
        headerBox->setChecked(mapping.hasHeader);
        decimalCommaBox->setChecked(mapping.decimalComma);
        // Until the sample names them, the columns are offered by number.
        for (std::size_t role = 0; role < kRoles.size(); ++role)
            offerColumns(columnBoxes[role], {}, mapping.*kRoles[role].column + 1);
    }
    resample();
}

void BankMappingWindow::sourceChosen(int index)
{
    std::optional<QString> kept;
    try {
        kept = m_ledger.bankMapping(sourceBox->itemText(index));
    } catch (const store::DbError &error) {
        // Choosing a source is this window's own action: its one catch.
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return;
    }
    if (const std::optional<BankCsvMapping> stored = kept ? mappingFromJson(*kept) : std::nullopt)
        showMapping(*stored);
}

void BankMappingWindow::resample()
{
    m_sample = sampleCsv(m_content, TextEncoding(encodingBox->currentData().toInt()),
                         separatorBox->currentData().toChar());
    showSample();
}

void BankMappingWindow::showSample()
{
    const BankCsvMapping now = mapping();
    const QStringList titles = columnTitles(m_sample, now);
    sampleList->clear();
    sampleList->setHeaderLabels(QStringList(QStringLiteral("行 Line")) + titles);
    sampleList->setColumnWidth(0, 64);
    const QBrush skipped = sampleList->palette().brush(QPalette::Disabled, QPalette::Text);
    bool headerShown = false;
    for (const TableRow &row : m_sample.rows) {
        auto *item = new QTreeWidgetItem(sampleList, QStringList(QString::number(row.line)) + row.cells);
        if (row.line <= now.skipLines) {
            for (int column = 0; column <= row.cells.size(); ++column)
                item->setForeground(column, skipped);
        } else if (now.hasHeader && !headerShown && !row.isBlank()) {
            headerShown = true;
            QFont bold = sampleList->font();
            bold.setBold(true);
            for (int column = 0; column <= row.cells.size(); ++column)
                item->setFont(column, bold);
        }
    }
    for (QComboBox *box : columnBoxes)
        offerColumns(box, titles, box->currentIndex());
    check();
}

void BankMappingWindow::check()
{
    const MappingTrial trial = tryMapping(m_content, mapping());
    QString text = trial.text;
    bool usable = trial.readsAny;
    if (usable && sourceBox->currentText().trimmed().isEmpty()) {
        text += QStringLiteral("\n请填写来源的名称 Enter the source's name");
        usable = false;
    }
    checkLabel->setText(text);
    okButton->setEnabled(usable);
    removeButton->setEnabled(sourceBox->findText(sourceBox->currentText().trimmed()) >= 0);
}

void BankMappingWindow::removeSource()
{
    const QString source = sourceBox->currentText().trimmed();
    const int kept = sourceBox->findText(source);
    if (kept < 0 ||
        base::showMessage(
            QStringLiteral("删除来源“%1”的列对应吗？\nRemove the column mapping kept for “%1”?").arg(source),
            base::MessageButtons::YesNo, base::MessageIcon::Question, kCaption) != base::MessageAnswer::Yes)
        return;
    try {
        m_ledger.removeBankMapping(source);
    } catch (const store::DbError &error) {
        // Remove is this window's own action: its one catch.
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return;
    }
    sourceBox->removeItem(kept);
    sourceBox->setCurrentIndex(-1);
    sourceBox->setEditText(QString());
    sourceBox->setFocus(Qt::OtherFocusReason);
}

void BankMappingWindow::accept()
{
    if (!okButton->isEnabled())
        return;
    const QString source = sourceBox->currentText().trimmed();
    try {
        m_ledger.saveBankMapping(source, mappingToJson(mapping()));
    } catch (const store::DbError &error) {
        // OK is this window's own action: its one catch.
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        return;
    }
    m_kept = source;
    hide();
}

} // namespace zambrel::bills
