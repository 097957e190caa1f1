#include "entry_dialog.h"

#include "skin/flat_button.h"
#include "skin/js_caption.h"
#include "skin/skin_window.h"
#include "store/mod_db.h"
#include "store/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>

#include <utility>

namespace zambrel::input {
namespace {

using F = EntryField;

constexpr int kWidthTwips = 9075;
constexpr int kHeightTwips = 5100;

const QString kFormulaTip = QStringLiteral("输入公式，然后回车");
const QString kCrLf = QStringLiteral("\r\n");

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent, QRect place)
{
    auto *label = new QLabel(caption, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLineEdit *makeField(const QString &name, const QString &caption, QWidget *parent, QRect place)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setAccessibleName(caption);
    field->setGeometry(place);
    return field;
}

QGroupBox *makeFrame(const QString &name, const QString &caption, QWidget *parent)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setAccessibleName(caption);
    return frame;
}

// The memo shows line breaks as the platform's; the ledger keeps CR LF.
QString memoForDisplay(const QString &memo)
{
    return QString(memo).replace(kCrLf, QStringLiteral("\n"));
}

QString memoFromDisplay(const QString &shown)
{
    return QString(shown).replace(QStringLiteral("\n"), kCrLf);
}

} // namespace

frmDialog::frmDialog(QWidget *parent)
    : SkinnedWindow(parent),
      Frame(makeFrame(QStringLiteral("Frame"), QStringLiteral("项目类型"), contentArea())),
      fraIncome(makeFrame(QStringLiteral("fraIncome"), QStringLiteral("收入和支出 Profit and Loss"),
                          contentArea())),
      fraAsset(makeFrame(QStringLiteral("fraAsset"), QStringLiteral("资产信息 Asset"), contentArea())),
      fraDebt(makeFrame(QStringLiteral("fraDebt"), QStringLiteral("负债信息 Liability"), contentArea())),
      fraDebet(makeFrame(QStringLiteral("fraDebet"), QStringLiteral("备注 Memo"), contentArea())),
      cboTypes(new QComboBox(fraIncome)), lblNewtype(new QLabel(fraIncome)),
      txtName(makeField(QStringLiteral("txtName"), QStringLiteral("描述"), fraIncome, {78, 72, 280, 24})),
      txtInComePerMonth(makeField(QStringLiteral("txtInComePerMonth"), QStringLiteral("每月收入PR"),
                                  fraIncome, {78, 100, 130, 24})),
      txtWillPayPerMonth(makeField(QStringLiteral("txtWillPayPerMonth"), QStringLiteral("每月预计支出"),
                                   fraIncome, {78, 146, 130, 24})),
      txtPayPerMonth(makeField(QStringLiteral("txtPayPerMonth"), QStringLiteral("实际支出"), fraIncome,
                               {228, 146, 130, 24})),
      txtFirstPay(makeField(QStringLiteral("txtFirstPay"), QStringLiteral("首付（成本）FP"), fraAsset,
                            {116, 22, 78, 22})),
      txtTotal(makeField(QStringLiteral("txtTotal"), QStringLiteral("总成本（市值）TC"), fraAsset,
                         {116, 48, 78, 22})),
      txtDebet(
          makeField(QStringLiteral("txtDebet"), QStringLiteral("贷款总额 DT"), fraDebt, {88, 22, 70, 22})),
      txtDebetPerMonth(makeField(QStringLiteral("txtDebetPerMonth"), QStringLiteral("每月还贷 PM"), fraDebt,
                                 {88, 48, 70, 22})),
      txtMemo(new QPlainTextEdit(fraDebet)), lblTips(new QLabel(contentArea())),
      OKButton(new skin::FlatButton(QStringLiteral("确 定 OK"), contentArea())),
      CancelButton(new skin::FlatButton(QStringLiteral("取 消   Cancel"), contentArea()))
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("新活动 Activities"));
    JSCAPTION1->setTitle(windowTitle());
    JSCAPTION1->setStyle(3); // fixed size: no maximise
    buildControls();
    bindControls();
    setFixedSize(store::twipsToPixels(kWidthTwips), store::twipsToPixels(kHeightTwips));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    SkinWindow(this, store::modDB::skinPath());
    showForm();
}

frmDialog::~frmDialog() = default;

void frmDialog::buildControls()
{
    Frame->setGeometry(388, 4, 201, 88);
    fraIncome->setGeometry(8, 4, 372, 178);
    fraAsset->setGeometry(8, 186, 202, 78);
    fraDebt->setGeometry(214, 186, 166, 78);
    fraDebet->setGeometry(388, 96, 201, 168);

    const QString boxCaptions[] = {QStringLiteral("收入 Prof"), QStringLiteral("支出 Loss"),
                                   QStringLiteral("资产 Asset"), QStringLiteral("负债Liab")};
    for (int i = 0; i < EntryForm::kCategoryCount; ++i) {
        auto *box = new QCheckBox(boxCaptions[i], Frame);
        box->setObjectName(QStringLiteral("chkType%1").arg(i));
        box->setAccessibleName(boxCaptions[i]);
        box->setGeometry(10 + (i % 2) * 96, 26 + (i / 2) * 28, 92, 24);
        chkType[size_t(i)] = box;
    }

    makeLabel({}, QStringLiteral("项    目"), fraIncome, {10, 24, 64, 24});
    cboTypes->setObjectName(QStringLiteral("cboTypes"));
    cboTypes->setAccessibleName(QStringLiteral("项目"));
    cboTypes->setEditable(true);
    cboTypes->setInsertPolicy(QComboBox::NoInsert);
    cboTypes->setGeometry(78, 24, 280, 24);
    lblNewtype->setObjectName(QStringLiteral("lblNewtype"));
    lblNewtype->setGeometry(78, 50, 284, 20);
    makeLabel(QStringLiteral("lblName"), QStringLiteral("描    述"), fraIncome, {10, 72, 64, 24});
    makeLabel(QStringLiteral("lblInComePerMonth"), QStringLiteral("每月收入PR"), fraIncome,
              {10, 100, 68, 24});
    // One label heads both expenditure fields; the actual-expenditure box sits
    // under the label's last word.
    QLabel *payLabel =
        makeLabel(QStringLiteral("lblPayPerMonth"), QStringLiteral("每月预计支出           实际"), fraIncome,
                  {78, 126, 280, 20});
    const int actualLeft =
        78 + payLabel->fontMetrics().horizontalAdvance(QStringLiteral("每月预计支出           "));
    txtPayPerMonth->move(qMax(actualLeft, txtWillPayPerMonth->geometry().right() + 8), txtPayPerMonth->y());

    makeLabel(QStringLiteral("lblFirstPay"), QStringLiteral("首付（成本）FP"), fraAsset, {8, 22, 106, 22});
    makeLabel(QStringLiteral("lblTotalCost"), QStringLiteral("总成本（市值）TC"), fraAsset, {8, 48, 106, 22});
    makeLabel(QStringLiteral("lblDebet"), QStringLiteral("贷款总额 DT"), fraDebt, {8, 22, 78, 22});
    makeLabel(QStringLiteral("lblDebetPerMonth"), QStringLiteral("每月还贷 PM"), fraDebt, {8, 48, 78, 22});

    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setAccessibleName(QStringLiteral("备注 Memo"));
    txtMemo->setToolTip(QStringLiteral("双击增加当日时间"));
    txtMemo->setGeometry(8, 22, 185, 138);
    txtMemo->setTabChangesFocus(true);

    lblTips->setObjectName(QStringLiteral("lblTips"));
    lblTips->setGeometry(12, 272, 368, 24);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(388, 270, 96, 28);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(493, 270, 96, 28);

    for (const F field : EntryForm::kAmountFields)
        amountControl(field)->setToolTip(kFormulaTip);

    // Keyboard order follows the reading order of the frames.
    setTabOrder(cboTypes, txtName);
    setTabOrder(txtName, txtInComePerMonth);
    setTabOrder(txtInComePerMonth, txtWillPayPerMonth);
    setTabOrder(txtWillPayPerMonth, txtPayPerMonth);
    setTabOrder(txtPayPerMonth, chkType[0]);
    for (size_t i = 0; i + 1 < chkType.size(); ++i)
        setTabOrder(chkType[i], chkType[i + 1]);
    setTabOrder(chkType[3], txtFirstPay);
    setTabOrder(txtFirstPay, txtTotal);
    setTabOrder(txtTotal, txtDebet);
    setTabOrder(txtDebet, txtDebetPerMonth);
    setTabOrder(txtDebetPerMonth, txtMemo);
    setTabOrder(txtMemo, OKButton);
    setTabOrder(OKButton, CancelButton);
}

void frmDialog::bindControls()
{
    connect(cboTypes, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { typed(F::Types, text); });
    connect(txtName, &QLineEdit::textEdited, this, [this](const QString &text) { typed(F::Name, text); });
    for (const F field : EntryForm::kAmountFields) {
        QLineEdit *edit = amountControl(field);
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { typed(field, text); });
        connect(edit, &QLineEdit::returnPressed, this, [this, field] {
            if (m_form.pressEnter(field))
                showForm();
        });
    }
    connect(txtMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_form.setText(F::Memo, memoFromDisplay(txtMemo->toPlainText()));
    });
    txtMemo->viewport()->installEventFilter(this);
    for (int i = 0; i < EntryForm::kCategoryCount; ++i) {
        connect(chkType[size_t(i)], &QCheckBox::clicked, this, [this, i](bool checked) {
            m_form.clickCategory(i, checked);
            showForm();
        });
    }
    connect(OKButton, &skin::FlatButton::clicked, this, &frmDialog::okClicked);
    connect(CancelButton, &skin::FlatButton::clicked, this, &frmDialog::cancelClicked);
    // Escape leaves the dialog as Cancel does, as in any dialog.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmDialog::cancelClicked);
}

QLineEdit *frmDialog::amountControl(EntryField field) const
{
    return qobject_cast<QLineEdit *>(control(field));
}

QWidget *frmDialog::control(EntryField field) const
{
    switch (field) {
    case F::Types:
        return cboTypes;
    case F::Name:
        return txtName;
    case F::InComePerMonth:
        return txtInComePerMonth;
    case F::WillPayPerMonth:
        return txtWillPayPerMonth;
    case F::PayPerMonth:
        return txtPayPerMonth;
    case F::FirstPay:
        return txtFirstPay;
    case F::Total:
        return txtTotal;
    case F::Debet:
        return txtDebet;
    case F::DebetPerMonth:
        return txtDebetPerMonth;
    case F::Memo:
        return txtMemo;
    case F::None:
        break;
    }
    return nullptr;
}

void frmDialog::typed(EntryField field, const QString &text)
{
    if (m_showing)
        return;
    m_form.setText(field, text);
    if (field == F::Types)
        showForm(); // the type decides the boxes and the enabled fields
}

void frmDialog::showForm()
{
    const bool wasShowing = std::exchange(m_showing, true);
    if (cboTypes->currentText() != m_form.text(F::Types))
        cboTypes->setEditText(m_form.text(F::Types));
    if (txtName->text() != m_form.text(F::Name))
        txtName->setText(m_form.text(F::Name));
    for (const F field : EntryForm::kAmountFields) {
        QLineEdit *edit = amountControl(field);
        if (edit->text() != m_form.text(field))
            edit->setText(m_form.text(field));
        edit->setEnabled(m_form.isEnabled(field));
    }
    if (memoFromDisplay(txtMemo->toPlainText()) != m_form.text(F::Memo))
        txtMemo->setPlainText(memoForDisplay(m_form.text(F::Memo)));
    for (int i = 0; i < EntryForm::kCategoryCount; ++i)
        chkType[size_t(i)]->setChecked(m_form.categoryChecked(i));
    Frame->setEnabled(m_form.categoriesEnabled());
    lblNewtype->setText(m_form.newTypeHint());
    lblTips->setText(m_form.hint());
    m_showing = wasShowing;
}

void frmDialog::setTypeLookup(TypeLookup lookup)
{
    m_lookup = std::move(lookup);
    m_form.setTypeLookup(m_lookup);
}

void frmDialog::setTypeList(const QStringList &types)
{
    const bool wasShowing = std::exchange(m_showing, true);
    cboTypes->clear();
    cboTypes->addItems(types);
    cboTypes->setEditText(m_form.text(F::Types));
    m_showing = wasShowing;
}

void frmDialog::setCaptions(const QString &caption, const QString &title)
{
    setWindowTitle(caption);
    JSCAPTION1->setTitle(title);
    JSCAPTION1->REDRAW();
}

void frmDialog::dispTypes(const QString &kind)
{
    m_form.dispTypes(kind);
    showForm();
}

bool frmDialog::showModal()
{
    showForm();
    exec();
    return m_form.isConfirmed();
}

void frmDialog::okClicked()
{
    const CheckResult result = m_form.confirm();
    showForm();
    if (result.passed) {
        setResult(1);
        hide();
    } else if (QWidget *focus = control(result.focus)) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

void frmDialog::cancelClicked()
{
    m_form.cancel();
    setResult(0);
    hide();
}

void frmDialog::showEvent(QShowEvent *event)
{
    // A skin chosen since the dialog was made applies here too.
    if (JSCAPTION1->Path() != store::modDB::skinPath())
        SkinWindow(this, store::modDB::skinPath());
    SkinnedWindow::showEvent(event);
}

void frmDialog::closeEvent(QCloseEvent *event)
{
    // Closed other than by OK or Cancel: the next use starts from a fresh
    // dialog, whose flags are clear.
    m_form = EntryForm();
    m_form.setTypeLookup(m_lookup);
    showForm();
    setResult(0);
    SkinnedWindow::closeEvent(event);
}

bool frmDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtMemo->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        m_form.stampMemoDate();
        showForm();
        txtMemo->moveCursor(QTextCursor::End);
        return true;
    }
    return SkinnedWindow::eventFilter(watched, event);
}

} // namespace zambrel::input
