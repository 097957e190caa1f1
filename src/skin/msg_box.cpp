#include "msg_box.h"

#include "skin/flat_button.h"
#include "skin/js_border.h"
#include "skin/js_caption.h"
#include "skin/skin_window.h"
#include "store/mod_db.h"
#include "store/twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>

#include <cmath>
#include <memory>

namespace zambrel::skin {
namespace {

using store::pixelsToTwips;
using store::twipsToPixels;

// Design positions in the box, in twips (the box's own coordinates).
constexpr int kLabelLeft = 900;
constexpr int kLabelTopGap = 300;
constexpr int kIconLeft = 240;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 180;
constexpr int kMinimumHeight = 2100;

QStyle::StandardPixmap iconFor(int style)
{
    switch (style & 0x70) {
    case store::vbCritical:
        return QStyle::SP_MessageBoxCritical;
    case store::vbQuestion:
        return QStyle::SP_MessageBoxQuestion;
    case 48:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

MessageBoxLayout layoutMessageBox(int labelLeft, int labelWidth, int cmdOkWidth, int cmdNoWidth)
{
    MessageBoxLayout layout;
    const double forText = labelWidth * 1.12 + labelLeft + 30;
    const double forButtons = cmdNoWidth * 3.8 + 1000;
    layout.width = int(std::lround(std::max(forText, forButtons)));
    layout.cmdNoLeft = layout.width - cmdNoWidth - kButtonGap;
    layout.cmdOkLeft = layout.cmdNoLeft - cmdOkWidth - kButtonGap;
    return layout;
}

frmMsgBox::frmMsgBox(QWidget *parent)
    : SkinnedWindow(parent), Image1(new QLabel(contentArea())), lblMsg(new QLabel(contentArea())),
      cmdOK(new FlatButton(QStringLiteral("是  YES"), contentArea())),
      cmdNo(new FlatButton(QStringLiteral("否  NO"), contentArea()))
{
    Image1->setObjectName(QStringLiteral("Image1"));
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMsg->setAutoFillBackground(false);
    cmdOK->resize(twipsToPixels(kButtonWidth), twipsToPixels(kButtonHeight));
    cmdNo->resize(twipsToPixels(kButtonWidth), twipsToPixels(kButtonHeight));
    JSCAPTION1->setStyle(0);
    connect(cmdOK, &FlatButton::clicked, this, [this] { answer(store::vbYes); });
    connect(cmdNo, &FlatButton::clicked, this, [this] { answer(store::vbNo); });
    setResult(store::vbNo);
    setVbButton(store::vbOKOnly);
    SkinWindow(this, store::modDB::skinPath());
}

void frmMsgBox::answer(int result)
{
    setResult(result);
    hide();
}

void frmMsgBox::setVbButton(int buttons)
{
    m_style = buttons;
    switch (buttons) {
    case store::vbOKOnly:
    case store::vbInformation:
        cmdOK->setVisible(false);
        cmdNo->setCaption(QStringLiteral("确定OK"));
        break;
    case store::vbYesNo:
        cmdOK->setVisible(true);
        cmdNo->setCaption(QStringLiteral("否 NO"));
        break;
    default:
        cmdOK->setVisible(true);
        cmdNo->setCaption(QStringLiteral("否NO"));
        break;
    }
    Image1->setPixmap(style()->standardIcon(iconFor(buttons)).pixmap(32, 32));
    Image1->resize(32, 32);
}

void frmMsgBox::setMsg(const QString &text)
{
    m_msg = text;
    lblMsg->setText(text);
    layoutBox();
}

void frmMsgBox::layoutBox()
{
    // A message wider than most of the screen wraps instead of pushing the
    // box (and its buttons) off the screen.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 3 / 4 : 1200;
    lblMsg->setWordWrap(false);
    QSize label = lblMsg->sizeHint();
    if (label.width() > widest) {
        lblMsg->setWordWrap(true);
        label = QSize(widest, lblMsg->heightForWidth(widest));
    }
    const int left = JSBORDER1->thickness();
    const int top = JSCAPTION1->barHeight();
    const int labelTop = twipsToPixels(kLabelTopGap);
    lblMsg->setGeometry(twipsToPixels(kLabelLeft) - left, labelTop, label.width(), label.height());
    Image1->move(twipsToPixels(kIconLeft) - left, labelTop);

    const MessageBoxLayout layout =
        layoutMessageBox(kLabelLeft, pixelsToTwips(label.width()), pixelsToTwips(cmdOK->width()),
                         pixelsToTwips(cmdNo->width()));
    // Multi-line messages make the box taller so that no line is cut off.
    const int contentBottom = labelTop + qMax(label.height(), Image1->height());
    const int buttonsTop = contentBottom + twipsToPixels(kLabelTopGap);
    const int height =
        qMax(twipsToPixels(kMinimumHeight), top + buttonsTop + cmdNo->height() + 12 + JSBORDER3->thickness());
    const int width = twipsToPixels(layout.width);
    if (size() != QSize(width, height))
        resize(width, height);
    const int buttonsY = contentArea()->height() - cmdNo->height() - 12;
    cmdNo->move(twipsToPixels(layout.cmdNoLeft) - left, buttonsY);
    cmdOK->move(twipsToPixels(layout.cmdOkLeft) - left, buttonsY);
}

void frmMsgBox::resizeEvent(QResizeEvent *event)
{
    SkinnedWindow::resizeEvent(event);
    if (height() >= twipsToPixels(kMinimumHeight))
        layoutBox();
}

void frmMsgBox::showEvent(QShowEvent *event)
{
    // A skin switched since the box was made applies here too.
    if (JSCAPTION1->Path() != store::modDB::skinPath()) {
        SkinWindow(this, store::modDB::skinPath());
        layoutBox();
    }
    SkinnedWindow::showEvent(event);
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    (cmdOK->isVisible() ? cmdOK : cmdNo)->setFocus();
}

void frmMsgBox::closeEvent(QCloseEvent *event)
{
    // Closing by the caption bar is a "no": an unanswered question must never
    // count as the previous answer.
    event->ignore();
    answer(store::vbNo);
}

int frmMsgBox::ask(const store::MessageRequest &request)
{
    setVbButton(request.style);
    setWindowTitle(request.title);
    JSCAPTION1->setTitle(request.title);
    setMsg(request.text);
    setResult(store::vbNo);
    return exec();
}

frmMsgBox *messageBox()
{
    static QPointer<frmMsgBox> box;
    if (!box)
        box = new frmMsgBox;
    return box;
}

void installMessageBox()
{
    store::setMessagePresenter([](const store::MessageRequest &request) {
        frmMsgBox *box = messageBox();
        if (!box->isInModalLoop())
            return box->ask(request);
        // A message raised while the box is already up gets a box of its own.
        frmMsgBox second;
        return second.ask(request);
    });
}

} // namespace zambrel::skin
