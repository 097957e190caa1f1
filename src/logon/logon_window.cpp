#include "logon_window.h"

#include "logon_steps.h"
#include "panel/ui/open_file_dialog.h"

#include "base/app_paths.h"
#include "base/message.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCloseEvent>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace zambrel::store {
namespace {

/// What the worker thread hands back: the open ledger or why it is not.
struct Opened {
    std::shared_ptr<Ledger> ledger;
    std::exception_ptr failure;
};

const QString kCaption = QStringLiteral("Zambrel 登录 Zambrel Logon");
constexpr QSize kContentSize(460, 250);
// Room for three lines of hint below the ledger box.
constexpr int kHintHeight = 56;

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

LogonWindow::LogonWindow(QWidget *parent)
    : skin::SkinnedWindow(parent), headingLabel(new QLabel(contentArea())),
      userLabel(new QLabel(contentArea())), userBox(new QLineEdit(contentArea())),
      passwordLabel(new QLabel(contentArea())), passwordBox(new QLineEdit(contentArea())),
      ledgerLabel(new QLabel(contentArea())), ledgerBox(new QLineEdit(contentArea())),
      hintLabel(new QLabel(contentArea())),
      okButton(new skin::FlatButton(QStringLiteral("确  定 OK"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取消 Cancel"), contentArea())),
      otherLedgerButton(new skin::FlatButton(QStringLiteral("另外一个账本"), contentArea())),
      m_background(new LogonBackground(contentArea()))
{
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    m_background->lower();

    headingLabel->setText(QStringLiteral("Zambrel 家庭收支账本"));
    QFont captionFont = headingLabel->font();
    captionFont.setPointSize(14);
    captionFont.setBold(true);
    headingLabel->setFont(captionFont);

    userLabel->setText(QStringLiteral("&UID:"));
    userLabel->setBuddy(userBox);
    userBox->setAccessibleName(QStringLiteral("UID"));
    passwordLabel->setText(QStringLiteral("密码(&P):"));
    passwordLabel->setBuddy(passwordBox);
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setAccessibleName(QStringLiteral("密码"));
    passwordBox->setToolTip(QStringLiteral("初始时没有密码，如果你修改过，请输入你的密码。"));
    ledgerLabel->setObjectName(QStringLiteral("lblDB"));
    ledgerLabel->setText(QStringLiteral("账本"));
    ledgerLabel->setBuddy(ledgerBox);
    ledgerBox->setReadOnly(true);
    ledgerBox->setAccessibleName(QStringLiteral("账本"));

    hintLabel->setObjectName(QStringLiteral("lblHint"));
    hintLabel->setWordWrap(true);
    hintLabel->setTextFormat(Qt::PlainText);
    hintLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette hintPalette = hintLabel->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(0xA0, 0x20, 0x20));
    hintLabel->setPalette(hintPalette);
    hintLabel->hide();

    userBox->setObjectName(QStringLiteral("txtUID"));
    passwordBox->setObjectName(QStringLiteral("txtPWD"));
    ledgerBox->setObjectName(QStringLiteral("txtDB"));
    okButton->setObjectName(QStringLiteral("cmdOK"));
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    otherLedgerButton->setObjectName(QStringLiteral("cmdOther"));

    // Top to bottom, then the buttons from left to right.
    setTabOrder(userBox, passwordBox);
    setTabOrder(passwordBox, ledgerBox);
    setTabOrder(ledgerBox, okButton);
    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, otherLedgerButton);

    connect(okButton, &QAbstractButton::clicked, this, &LogonWindow::logOn);
    connect(cancelButton, &QAbstractButton::clicked, this, &LogonWindow::cancel);
    connect(otherLedgerButton, &QAbstractButton::clicked, this, &LogonWindow::chooseOtherLedger);
    connect(passwordBox, &QLineEdit::returnPressed, this, &LogonWindow::logOn);

    m_opener.setMaxThreadCount(1);
    m_opener.setExpiryTimeout(0);
    resizeContent(contentSize());
}

QSize LogonWindow::contentSize() const
{
    return hintLabel->isHidden() ? kContentSize : kContentSize + QSize(0, kHintHeight);
}

void LogonWindow::showHint(const QString &text)
{
    hintLabel->setText(text);
    hintLabel->setToolTip(text); // a long path may not fit the line
    hintLabel->setHidden(text.isEmpty());
    // Read out with the ledger box it explains.
    ledgerBox->setAccessibleDescription(text);
}

void LogonWindow::load()
{
    const LogonStart start = logonStartValues(m_otherLedger);
    m_ledgerPath = start.ledgerPath;
    ledgerBox->setText(m_ledgerPath);
    ledgerBox->setToolTip(m_ledgerPath);
    ledgerBox->setCursorPosition(0);
    showHint(logonHint(start));
    base::setCurrentSkinPath(start.skinPath);

    skin::applySkin(this, start.skinPath);
    resizeContent(contentSize());
    if (const QScreen *display = screen())
        move(display->availableGeometry().center() - rect().center());
    userBox->setText(QStringLiteral("admin"));
    passwordBox->clear();
    passwordBox->setFocus();
}

void LogonWindow::logOn()
{
    if (m_opening)
        return; // a second Enter while the key is derived
    if (!m_otherLedger.isEmpty())
        m_ledgerPath = m_otherLedger;
    setOpening(true);
    // The key derivation takes tens of milliseconds by design; the window
    // keeps painting meanwhile. The result comes back on this thread.
    auto *watcher = new QFutureWatcher<Opened>(this);
    connect(watcher, &QFutureWatcher<Opened>::finished, this, [this, watcher] {
        watcher->deleteLater();
        const Opened opened = watcher->result();
        openingFinished(opened.ledger, opened.failure);
    });
    watcher->setFuture(QtConcurrent::run(&m_opener, [path = m_ledgerPath, password = passwordBox->text()] {
        Opened opened;
        try {
            opened.ledger = openLedgerFile(path, password);
        } catch (...) {
            opened.failure = std::current_exception();
        }
        return opened;
    }));
}

void LogonWindow::openingFinished(const std::shared_ptr<Ledger> &ledger, const std::exception_ptr &failure)
{
    setOpening(false);
    if (failure) {
        QString text;
        try {
            std::rethrow_exception(failure);
        } catch (const DbError &error) {
            text = error.description();
        } catch (const std::exception &error) {
            text = QString::fromLocal8Bit(error.what());
        }
        // The window's caption says where the message comes from; a line
        // break keeps it apart from what went wrong.
        base::showMessage(kCaption + QLatin1Char('\n') + text, base::MessageButtons::Ok,
                          base::MessageIcon::Information);
        passwordBox->setFocus();
        passwordBox->selectAll();
        Q_EMIT openingEnded();
        return;
    }
    rememberLedger(m_ledgerPath);
    passwordBox->clear();
    m_loggedOn = true;
    close();
    Q_EMIT loggedOn(ledger);
    Q_EMIT openingEnded();
}

void LogonWindow::setOpening(bool opening)
{
    m_opening = opening;
    for (QWidget *control : std::initializer_list<QWidget *>{userBox, passwordBox, okButton, cancelButton,
                                                             otherLedgerButton})
        control->setEnabled(!opening);
    if (opening)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void LogonWindow::cancel()
{
    close();
}

void LogonWindow::closeEvent(QCloseEvent *event)
{
    skin::SkinnedWindow::closeEvent(event);
    // Closed without a logon, however: the program has nothing left to show.
    if (event->isAccepted() && !m_loggedOn && !m_left) {
        m_left = true;
        Q_EMIT cancelled();
    }
}

void LogonWindow::chooseOtherLedger()
{
    const QString chosen = openFileDialog(this, QStringLiteral("选择另外一个帐本"), ledgerFileFilter());
    // Compared with the ledger that OK would open now, so that choosing the
    // first ledger again after another one takes effect.
    if (!isOtherLedger(chosen, m_otherLedger.isEmpty() ? m_ledgerPath : m_otherLedger))
        return;
    m_otherLedger = chosen;
    // The box names the ledger that OK opens.
    ledgerBox->setText(chosen);
    ledgerBox->setToolTip(chosen);
    ledgerBox->setCursorPosition(0);
}

void LogonWindow::resizeEvent(QResizeEvent *event)
{
    skin::SkinnedWindow::resizeEvent(event);
    layoutControls();
}

void LogonWindow::layoutControls()
{
    const QSize area = contentArea()->size();
    m_background->setGeometry(0, 0, area.width(), area.height());
    headingLabel->setGeometry(20, 14, area.width() - 40, 30);
    const int labelLeft = 24;
    const int boxLeft = 100;
    const int boxWidth = qMax(120, area.width() - boxLeft - 170);
    userLabel->setGeometry(labelLeft, 62, 72, 24);
    userBox->setGeometry(boxLeft, 62, boxWidth, 24);
    passwordLabel->setGeometry(labelLeft, 96, 72, 24);
    passwordBox->setGeometry(boxLeft, 96, boxWidth, 24);
    ledgerLabel->setGeometry(labelLeft, 130, 72, 24);
    ledgerBox->setGeometry(boxLeft, 130, area.width() - boxLeft - 24, 24);
    hintLabel->setGeometry(boxLeft, 158, area.width() - boxLeft - 24, kHintHeight - 4);
    const int buttonTop = area.height() - 52;
    okButton->setGeometry(area.width() - 3 * 112 - 16, buttonTop, 104, 32);
    cancelButton->setGeometry(area.width() - 2 * 112 - 16, buttonTop, 104, 32);
    otherLedgerButton->setGeometry(area.width() - 112 - 16, buttonTop, 104, 32);
}

} // namespace zambrel::store
