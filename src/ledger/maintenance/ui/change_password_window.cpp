#include "change_password_window.h"

#include "base/message.h"
#include "ledger/maintenance/password_change.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/db_error.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>

namespace zambrel::ledger {
namespace {

const QString kCaption = QStringLiteral("修改密码 Change Password");
constexpr QSize kContentSize(348, 170);

} // namespace

ChangePasswordWindow::ChangePasswordWindow(store::Ledger &ledger, QWidget *parent)
    : SkinnedWindow(parent), okButton(new skin::FlatButton(QStringLiteral("确   定"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取   消"), contentArea())), m_ledger(ledger)
{
    setObjectName(QStringLiteral("frmChangePWD"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    const QString captions[kBoxCount] = {QStringLiteral("旧密码(&Old):"), QStringLiteral("新密码(New &P):"),
                                         QStringLiteral("确认密码(&Conform):")};
    for (int index = 0; index < kBoxCount; ++index) {
        auto *label = new QLabel(captions[index], contentArea());
        auto *box = new QLineEdit(contentArea());
        label->setObjectName(QStringLiteral("lblPWD_%1").arg(index));
        label->setGeometry(16, 16 + index * 36, 136, 26);
        // The label names the box for the keyboard (its mnemonic) and for
        // assistive technology.
        label->setBuddy(box);
        box->setObjectName(QStringLiteral("txtPWD_%1").arg(index));
        box->setEchoMode(QLineEdit::Password);
        box->setGeometry(156, 16 + index * 36, 176, 26);
        connect(box, &QLineEdit::returnPressed, this, &ChangePasswordWindow::accept);
        labels[size_t(index)] = label;
        passwordBoxes[size_t(index)] = box;
    }
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setGeometry(124, 128, 100, 28);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(232, 128, 100, 28);
    setTabOrder(passwordBoxes[0], passwordBoxes[1]);
    setTabOrder(passwordBoxes[1], passwordBoxes[2]);
    setTabOrder(passwordBoxes[2], okButton);
    setTabOrder(okButton, cancelButton);

    connect(okButton, &skin::FlatButton::clicked, this, &ChangePasswordWindow::accept);
    connect(cancelButton, &skin::FlatButton::clicked, this, &ChangePasswordWindow::reject);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &ChangePasswordWindow::reject);

    resizeContent(kContentSize);
    setFixedSize(size());
    if (const QScreen *display = QGuiApplication::primaryScreen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

ChangePasswordWindow::~ChangePasswordWindow() = default;

bool ChangePasswordWindow::showModal()
{
    clearBoxes();
    m_changed = false;
    passwordBoxes[0]->setFocus(Qt::OtherFocusReason);
    exec();
    return m_changed;
}

void ChangePasswordWindow::accept()
{
    const PasswordBoxes boxes{passwordBoxes[0]->text(), passwordBoxes[1]->text(), passwordBoxes[2]->text()};
    PasswordChange change;
    try {
        change = changeLedgerPassword(m_ledger, boxes);
    } catch (const store::DbError &refusal) {
        // OK is this window's own action: its one catch.
        base::showMessage(refusalMessage(refusal));
        passwordBoxes[0]->setFocus(Qt::OtherFocusReason);
        passwordBoxes[0]->selectAll();
        return;
    }
    base::showMessage(change.message);
    switch (change.result) {
    case PasswordChangeResult::Changed:
        m_changed = true;
        hide();
        return;
    case PasswordChangeResult::Mismatch:
        passwordBoxes[2]->setFocus(Qt::OtherFocusReason);
        passwordBoxes[2]->selectAll();
        return;
    }
}

void ChangePasswordWindow::reject()
{
    hide();
}

void ChangePasswordWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) // minimising keeps what was typed
        clearBoxes();
    SkinnedWindow::hideEvent(event);
}

void ChangePasswordWindow::clearBoxes()
{
    for (QLineEdit *box : passwordBoxes)
        box->clear();
}

} // namespace zambrel::ledger
