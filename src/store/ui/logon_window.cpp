#include "logon_window.h"

#include "logon_steps.h"
#include "open_file_dialog.h"

#include "skin/flat_button.h"
#include "skin/js_caption.h"
#include "skin/msg_box.h"
#include "skin/skin_window.h"
#include "store/db_error.h"
#include "store/message.h"
#include "store/mod_db.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace zambrel::store {
namespace {

const QString kCaption = QStringLiteral("Zambrel 登录 Zambrel Logon");
constexpr QSize kContentSize(460, 250);

// The logon picture: a calm gradient with an open account book and a small
// stack of coins, drawn here so that no image file is needed.
class LogonBackground : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(0xF4, 0xF8, 0xFC));
        sky.setColorAt(1, QColor(0xD6, 0xE4, 0xF0));
        painter.fillRect(rect(), sky);

        painter.save();
        painter.translate(width() - 132, 34);
        painter.setPen(QPen(QColor(0x5A, 0x6E, 0x84), 1.5));
        painter.setBrush(QColor(0xFF, 0xFD, 0xF6));
        QPainterPath book;
        book.moveTo(0, 8);
        book.quadTo(28, 0, 56, 8);
        book.quadTo(84, 0, 112, 8);
        book.lineTo(112, 92);
        book.quadTo(84, 84, 56, 92);
        book.quadTo(28, 84, 0, 92);
        book.closeSubpath();
        painter.drawPath(book);
        painter.drawLine(56, 8, 56, 92);
        painter.setPen(QPen(QColor(0xA8, 0xBC, 0xD0), 1));
        for (int line = 0; line < 6; ++line) {
            const int y = 24 + line * 11;
            painter.drawLine(8, y, 48, y);
            painter.drawLine(64, y, 104, y);
        }
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 1.5));
        painter.drawLine(70, 79, 84, 65);
        painter.drawLine(84, 65, 92, 72);
        painter.drawLine(92, 72, 104, 58);
        painter.restore();

        painter.save();
        painter.translate(width() - 150, 120);
        for (int coin = 0; coin < 4; ++coin) {
            painter.setPen(QPen(QColor(0x9C, 0x74, 0x18), 1));
            painter.setBrush(QColor(0xF0, 0xC4, 0x4C));
            painter.drawEllipse(QRectF(0, -coin * 6.0, 34, 12));
        }
        painter.restore();
    }
};

} // namespace

frmODBCLogon::frmODBCLogon(QWidget *parent)
    : skin::SkinnedWindow(parent), lblCaption(new QLabel(contentArea())), lblUID(new QLabel(contentArea())),
      txtUID(new QLineEdit(contentArea())), lblPWD(new QLabel(contentArea())),
      txtPWD(new QLineEdit(contentArea())), lblDB(new QLabel(contentArea())),
      txtDB(new QLineEdit(contentArea())),
      cmdOK(new skin::FlatButton(QStringLiteral("确  定 OK"), contentArea())),
      cmdCancel(new skin::FlatButton(QStringLiteral("取消 Cancel"), contentArea())),
      cmdOther(new skin::FlatButton(QStringLiteral("另外一个账本"), contentArea())),
      m_background(new LogonBackground(contentArea()))
{
    setWindowTitle(kCaption);
    JSCAPTION1->setTitle(kCaption);
    m_background->lower();

    lblCaption->setText(QStringLiteral("Zambrel 家庭收支账本"));
    QFont captionFont = lblCaption->font();
    captionFont.setPointSize(14);
    captionFont.setBold(true);
    lblCaption->setFont(captionFont);

    lblUID->setText(QStringLiteral("&UID:"));
    lblUID->setBuddy(txtUID);
    txtUID->setAccessibleName(QStringLiteral("UID"));
    lblPWD->setText(QStringLiteral("密码(&P):"));
    lblPWD->setBuddy(txtPWD);
    txtPWD->setEchoMode(QLineEdit::Password);
    txtPWD->setAccessibleName(QStringLiteral("密码"));
    txtPWD->setToolTip(QStringLiteral("初始时没有密码，如果你修改过，请输入你的密码。"));
    lblDB->setObjectName(QStringLiteral("lblDB"));
    lblDB->setText(QStringLiteral("账本"));
    lblDB->setBuddy(txtDB);
    txtDB->setReadOnly(true);
    txtDB->setAccessibleName(QStringLiteral("账本"));

    txtUID->setObjectName(QStringLiteral("txtUID"));
    txtPWD->setObjectName(QStringLiteral("txtPWD"));
    txtDB->setObjectName(QStringLiteral("txtDB"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOther->setObjectName(QStringLiteral("cmdOther"));

    setTabOrder(txtUID, txtPWD);
    setTabOrder(txtPWD, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdOther);

    connect(cmdOK, &QAbstractButton::clicked, this, &frmODBCLogon::cmdOK_Click);
    connect(cmdCancel, &QAbstractButton::clicked, this, &frmODBCLogon::cmdCancel_Click);
    connect(cmdOther, &QAbstractButton::clicked, this, &frmODBCLogon::cmdOther_Click);
    connect(txtPWD, &QLineEdit::returnPressed, this, &frmODBCLogon::cmdOK_Click);

    resizeContent(kContentSize);
}

void frmODBCLogon::load()
{
    const LogonStart start = logonStartValues(OtherDB);
    m_ledgerPath = start.ledgerPath;
    txtDB->setText(m_ledgerPath);
    txtDB->setToolTip(m_ledgerPath);
    txtDB->setCursorPosition(0);
    modDB::setSkinPath(start.skinPath);

    skin::frmMsgBox *box = skin::messageBox();
    box->setWindowIcon(windowIcon());

    skin::SkinWindow(this, start.skinPath);
    resizeContent(kContentSize);
    if (const QScreen *display = screen())
        move(display->availableGeometry().center() - rect().center());
    txtUID->setText(QStringLiteral("admin"));
    txtPWD->clear();
    txtPWD->setFocus();
}

void frmODBCLogon::cmdOK_Click()
{
    if (!OtherDB.isEmpty())
        m_ledgerPath = OtherDB;
    try {
        openLedgerConnection(m_ledgerPath, txtPWD->text());
    } catch (const DbError &error) {
        showMessage(kCaption + error.description(), vbInformation, {});
        txtPWD->setFocus();
        txtPWD->selectAll();
        return;
    }
    txtPWD->clear();
    m_loggedOn = true;
    close();
    Q_EMIT loggedOn();
}

void frmODBCLogon::cmdCancel_Click()
{
    close();
}

void frmODBCLogon::closeEvent(QCloseEvent *event)
{
    skin::SkinnedWindow::closeEvent(event);
    // Closed without a logon, however: the program has nothing left to show.
    if (event->isAccepted() && !m_loggedOn && !m_left) {
        m_left = true;
        Q_EMIT cancelled();
    }
}

void frmODBCLogon::cmdOther_Click()
{
    const QString chosen = openFileDialog(this, QStringLiteral("选择另外一个帐本"), ledgerFileFilter());
    // Compared with the ledger that OK would open now, so that choosing the
    // first ledger again after another one takes effect.
    if (!isOtherLedger(chosen, OtherDB.isEmpty() ? m_ledgerPath : OtherDB))
        return;
    OtherDB = chosen;
    // The box names the ledger that OK opens.
    txtDB->setText(chosen);
    txtDB->setToolTip(chosen);
    txtDB->setCursorPosition(0);
}

void frmODBCLogon::resizeEvent(QResizeEvent *event)
{
    skin::SkinnedWindow::resizeEvent(event);
    layoutControls();
}

void frmODBCLogon::layoutControls()
{
    const QSize area = contentArea()->size();
    m_background->setGeometry(0, 0, area.width(), area.height());
    lblCaption->setGeometry(20, 14, area.width() - 40, 30);
    const int labelLeft = 24;
    const int boxLeft = 100;
    const int boxWidth = qMax(120, area.width() - boxLeft - 170);
    lblUID->setGeometry(labelLeft, 62, 72, 24);
    txtUID->setGeometry(boxLeft, 62, boxWidth, 24);
    lblPWD->setGeometry(labelLeft, 96, 72, 24);
    txtPWD->setGeometry(boxLeft, 96, boxWidth, 24);
    lblDB->setGeometry(labelLeft, 130, 72, 24);
    txtDB->setGeometry(boxLeft, 130, area.width() - boxLeft - 24, 24);
    const int buttonTop = area.height() - 52;
    cmdOK->setGeometry(area.width() - 3 * 112 - 16, buttonTop, 104, 32);
    cmdCancel->setGeometry(area.width() - 2 * 112 - 16, buttonTop, 104, 32);
    cmdOther->setGeometry(area.width() - 112 - 16, buttonTop, 104, 32);
}

} // namespace zambrel::store
