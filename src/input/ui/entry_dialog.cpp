#include "entry_dialog.h"

#include "base/app_paths.h"
#include "base/message.h"
#include "base/text.h"
#include "base/twips.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

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

} // namespace

EntryDialog::EntryDialog(QWidget *parent)
    : SkinnedWindow(parent),
      categoryFrame(makeFrame(QStringLiteral("Frame"), QStringLiteral("项目类型"), contentArea())),
      profitLossFrame(makeFrame(QStringLiteral("fraIncome"), QStringLiteral("收入和支出 Profit and Loss"),
                                contentArea())),
      assetFrame(makeFrame(QStringLiteral("fraAsset"), QStringLiteral("资产信息 Asset"), contentArea())),
      liabilityFrame(
          makeFrame(QStringLiteral("fraDebt"), QStringLiteral("负债信息 Liability"), contentArea())),
      memoFrame(makeFrame(QStringLiteral("fraDebet"), QStringLiteral("备注 Memo"), contentArea())),
      typeBox(new QComboBox(profitLossFrame)), newTypeLabel(new QLabel(profitLossFrame)),
      nameBox(
          makeField(QStringLiteral("txtName"), QStringLiteral("描述"), profitLossFrame, {78, 72, 280, 24})),
      incomeBox(makeField(QStringLiteral("txtInComePerMonth"), QStringLiteral("每月收入PR"), profitLossFrame,
                          {78, 100, 130, 24})),
      plannedExpenditureBox(makeField(QStringLiteral("txtWillPayPerMonth"), QStringLiteral("每月预计支出"),
                                      profitLossFrame, {78, 146, 130, 24})),
      actualExpenditureBox(makeField(QStringLiteral("txtPayPerMonth"), QStringLiteral("实际支出"),
                                     profitLossFrame, {228, 146, 130, 24})),
      downPaymentBox(makeField(QStringLiteral("txtFirstPay"), QStringLiteral("首付（成本）FP"), assetFrame,
                               {116, 22, 78, 22})),
      totalCostBox(makeField(QStringLiteral("txtTotal"), QStringLiteral("总成本（市值）TC"), assetFrame,
                             {116, 48, 78, 22})),
      loanTotalBox(makeField(QStringLiteral("txtDebet"), QStringLiteral("贷款总额 DT"), liabilityFrame,
                             {88, 22, 70, 22})),
      repaymentBox(makeField(QStringLiteral("txtDebetPerMonth"), QStringLiteral("每月还贷 PM"),
                             liabilityFrame, {88, 48, 70, 22})),
      memoBox(new QPlainTextEdit(memoFrame)), hintLabel(new QLabel(contentArea())),
      okButton(new skin::FlatButton(QStringLiteral("确 定 OK"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取 消   Cancel"), contentArea()))
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("新活动 Activities"));
    captionBar->setTitle(windowTitle());
    captionBar->setWindowStyle(3); // fixed size: no maximise
    buildControls();
    bindControls();
    setFixedSize(base::twipsToPixels(kWidthTwips), base::twipsToPixels(kHeightTwips));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    applySkin(this, base::currentSkinPath());
    showForm();
}

EntryDialog::~EntryDialog() = default;

void EntryDialog::buildControls()
{
    categoryFrame->setGeometry(388, 4, 201, 88);
    profitLossFrame->setGeometry(8, 4, 372, 178);
    assetFrame->setGeometry(8, 186, 202, 78);
    liabilityFrame->setGeometry(214, 186, 166, 78);
    memoFrame->setGeometry(388, 96, 201, 168);

    const QString boxCaptions[] = {QStringLiteral("收入 Prof"), QStringLiteral("支出 Loss"),
                                   QStringLiteral("资产 Asset"), QStringLiteral("负债Liab")};
    for (int i = 0; i < EntryForm::kCategoryCount; ++i) {
        auto *box = new QCheckBox(boxCaptions[i], categoryFrame);
        box->setObjectName(QStringLiteral("chkType%1").arg(i));
        box->setAccessibleName(boxCaptions[i]);
        box->setGeometry(10 + (i % 2) * 96, 26 + (i / 2) * 28, 92, 24);
        categoryBoxes[size_t(i)] = box;
    }

    makeLabel({}, QStringLiteral("项    目"), profitLossFrame, {10, 24, 64, 24});
    typeBox->setObjectName(QStringLiteral("cboTypes"));
    typeBox->setAccessibleName(QStringLiteral("项目"));
    typeBox->setEditable(true);
    typeBox->setInsertPolicy(QComboBox::NoInsert);
    typeBox->setGeometry(78, 24, 280, 24);
    newTypeLabel->setObjectName(QStringLiteral("lblNewtype"));
    newTypeLabel->setGeometry(78, 50, 284, 20);
    makeLabel(QStringLiteral("lblName"), QStringLiteral("描    述"), profitLossFrame, {10, 72, 64, 24});
    makeLabel(QStringLiteral("lblInComePerMonth"), QStringLiteral("每月收入PR"), profitLossFrame,
              {10, 100, 68, 24});
    // One label heads both expenditure fields; the actual-expenditure box sits
    // under the label's last word.
    QLabel *payLabel =
        makeLabel(QStringLiteral("lblPayPerMonth"), QStringLiteral("每月预计支出           实际"),
                  profitLossFrame, {78, 126, 280, 20});
    const int actualLeft =
        78 + payLabel->fontMetrics().horizontalAdvance(QStringLiteral("每月预计支出           "));
    actualExpenditureBox->move(qMax(actualLeft, plannedExpenditureBox->geometry().right() + 8),
                               actualExpenditureBox->y());

    makeLabel(QStringLiteral("lblFirstPay"), QStringLiteral("首付（成本）FP"), assetFrame, {8, 22, 106, 22});
    makeLabel(QStringLiteral("lblTotalCost"), QStringLiteral("总成本（市值）TC"), assetFrame,
              {8, 48, 106, 22});
    makeLabel(QStringLiteral("lblDebet"), QStringLiteral("贷款总额 DT"), liabilityFrame, {8, 22, 78, 22});
    makeLabel(QStringLiteral("lblDebetPerMonth"), QStringLiteral("每月还贷 PM"), liabilityFrame,
              {8, 48, 78, 22});

    memoBox->setObjectName(QStringLiteral("txtMemo"));
    memoBox->setAccessibleName(QStringLiteral("备注 Memo"));
    memoBox->setToolTip(QStringLiteral("双击增加当日时间"));
    memoBox->setGeometry(8, 22, 185, 138);
    memoBox->setTabChangesFocus(true);

    hintLabel->setObjectName(QStringLiteral("lblTips"));
    hintLabel->setGeometry(12, 272, 368, 24);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setGeometry(388, 270, 96, 28);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(493, 270, 96, 28);

    for (const F field : EntryForm::kAmountFields)
        amountControl(field)->setToolTip(kFormulaTip);

    // Keyboard order follows the reading order of the frames.
    setTabOrder(typeBox, nameBox);
    setTabOrder(nameBox, incomeBox);
    setTabOrder(incomeBox, plannedExpenditureBox);
    setTabOrder(plannedExpenditureBox, actualExpenditureBox);
    setTabOrder(actualExpenditureBox, categoryBoxes[0]);
    for (size_t i = 0; i + 1 < categoryBoxes.size(); ++i)
        setTabOrder(categoryBoxes[i], categoryBoxes[i + 1]);
    setTabOrder(categoryBoxes[3], downPaymentBox);
    setTabOrder(downPaymentBox, totalCostBox);
    setTabOrder(totalCostBox, loanTotalBox);
    setTabOrder(loanTotalBox, repaymentBox);
    setTabOrder(repaymentBox, memoBox);
    setTabOrder(memoBox, okButton);
    setTabOrder(okButton, cancelButton);
}

void EntryDialog::bindControls()
{
    connect(typeBox, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { typed(F::Type, text); });
    connect(nameBox, &QLineEdit::textEdited, this, [this](const QString &text) { typed(F::Name, text); });
    for (const F field : EntryForm::kAmountFields) {
        QLineEdit *edit = amountControl(field);
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { typed(field, text); });
        connect(edit, &QLineEdit::returnPressed, this, [this, field] {
            const EnterResult result = m_form.pressEnter(field);
            showMessages(result.messages);
            if (result.evaluated)
                showForm();
        });
    }
    connect(memoBox, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_form.setText(F::Memo, base::storedLines(memoBox->toPlainText()));
    });
    memoBox->viewport()->installEventFilter(this);
    for (int i = 0; i < EntryForm::kCategoryCount; ++i) {
        connect(categoryBoxes[size_t(i)], &QCheckBox::clicked, this, [this, i](bool checked) {
            m_form.clickCategory(i, checked);
            showForm();
        });
    }
    connect(okButton, &skin::FlatButton::clicked, this, &EntryDialog::okClicked);
    connect(cancelButton, &skin::FlatButton::clicked, this, &EntryDialog::cancelClicked);
    // Escape leaves the dialog as Cancel does, as in any dialog.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &EntryDialog::cancelClicked);
}

QLineEdit *EntryDialog::amountControl(EntryField field) const
{
    return qobject_cast<QLineEdit *>(control(field));
}

QWidget *EntryDialog::control(EntryField field) const
{
    switch (field) {
    case F::Type:
        return typeBox;
    case F::Name:
        return nameBox;
    case F::Income:
        return incomeBox;
    case F::PlannedSpending:
        return plannedExpenditureBox;
    case F::ActualSpending:
        return actualExpenditureBox;
    case F::DownPayment:
        return downPaymentBox;
    case F::TotalCost:
        return totalCostBox;
    case F::LoanTotal:
        return loanTotalBox;
    case F::MonthlyRepayment:
        return repaymentBox;
    case F::Memo:
        return memoBox;
    case F::None:
        break;
    }
    return nullptr;
}

void EntryDialog::typed(EntryField field, const QString &text)
{
    if (m_showing)
        return;
    m_form.setText(field, text);
    if (field == F::Type)
        showForm(); // the type decides the boxes and the enabled fields
}

void EntryDialog::showForm()
{
    const bool wasShowing = std::exchange(m_showing, true);
    if (typeBox->currentText() != m_form.text(F::Type))
        typeBox->setEditText(m_form.text(F::Type));
    if (nameBox->text() != m_form.text(F::Name))
        nameBox->setText(m_form.text(F::Name));
    for (const F field : EntryForm::kAmountFields) {
        QLineEdit *edit = amountControl(field);
        if (edit->text() != m_form.text(field))
            edit->setText(m_form.text(field));
        edit->setEnabled(m_form.isEnabled(field));
    }
    if (base::storedLines(memoBox->toPlainText()) != m_form.text(F::Memo))
        memoBox->setPlainText(base::shownLines(m_form.text(F::Memo)));
    for (int i = 0; i < EntryForm::kCategoryCount; ++i)
        categoryBoxes[size_t(i)]->setChecked(m_form.categoryChecked(i));
    categoryFrame->setEnabled(m_form.categoriesEnabled());
    newTypeLabel->setText(m_form.newTypeHint());
    hintLabel->setText(m_form.hint());
    m_showing = wasShowing;
}

void EntryDialog::setTypeLookup(TypeLookup lookup)
{
    m_lookup = std::move(lookup);
    m_form.setTypeLookup(m_lookup);
}

void EntryDialog::setTypeList(const QStringList &types)
{
    const bool wasShowing = std::exchange(m_showing, true);
    typeBox->clear();
    typeBox->addItems(types);
    typeBox->setEditText(m_form.text(F::Type));
    m_showing = wasShowing;
}

void EntryDialog::setCaptions(const QString &caption, const QString &title)
{
    setWindowTitle(caption);
    captionBar->setTitle(title);
    captionBar->redraw();
}

void EntryDialog::applyCategoryMask(const QString &kind)
{
    m_form.applyCategoryMask(kind);
    showForm();
}

bool EntryDialog::showModal()
{
    showForm();
    exec();
    return m_form.isConfirmed();
}

void EntryDialog::showMessages(const EntryMessages &messages)
{
    for (const base::MessageRequest &message : messages)
        base::showMessage(message);
}

void EntryDialog::okClicked()
{
    CheckResult result = m_form.confirm();
    showMessages(result.messages);
    if (result.question) {
        const base::MessageAnswer answer = base::showMessage(*result.question);
        result = m_form.confirm(answer);
        showMessages(result.messages);
    }
    showForm();
    if (result.passed) {
        setResult(1);
        hide();
    } else if (QWidget *focus = control(result.focus)) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

void EntryDialog::cancelClicked()
{
    m_form.cancel();
    setResult(0);
    hide();
}

void EntryDialog::showEvent(QShowEvent *event)
{
    // A skin chosen since the dialog was made applies here too.
    if (captionBar->skinPath() != base::currentSkinPath())
        applySkin(this, base::currentSkinPath());
    SkinnedWindow::showEvent(event);
}

void EntryDialog::closeEvent(QCloseEvent *event)
{
    // Closed other than by OK or Cancel: the next use starts from a fresh
    // dialog, whose flags are clear.
    m_form = EntryForm();
    m_form.setTypeLookup(m_lookup);
    showForm();
    setResult(0);
    SkinnedWindow::closeEvent(event);
}

bool EntryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memoBox->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        m_form.stampMemoDate();
        showForm();
        memoBox->moveCursor(QTextCursor::End);
        return true;
    }
    return SkinnedWindow::eventFilter(watched, event);
}

} // namespace zambrel::input
