#include "message_box.h"

#include "base/app_paths.h"
#include "base/twips.h"
#include "skin/apply_skin.h"
#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>

#include <cmath>
#include <memory>
#include <optional>

namespace zambrel::skin {
namespace {

using base::pixelsToTwips;
using base::twipsToPixels;

// Design positions in the box, in twips (the box's own coordinates).
constexpr int kLabelLeft = 900;
constexpr int kLabelTopGap = 300;
constexpr int kIconLeft = 240;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 180;
constexpr int kMinimumHeight = 2100;

// The icon a style asks for; a style without icon bits (OK only, Yes/No)
// shows none.
std::optional<QStyle::StandardPixmap> iconFor(int style)
{
    switch (style & 0x70) {
    case base::vbCritical:
        return QStyle::SP_MessageBoxCritical;
    case base::vbQuestion:
        return QStyle::SP_MessageBoxQuestion;
    case 48:
        return QStyle::SP_MessageBoxWarning;
    case base::vbInformation:
        return QStyle::SP_MessageBoxInformation;
    default:
        return std::nullopt;
    }
}

} // namespace

MessageBoxLayout layoutMessageBox(int labelLeft, int labelWidth, int yesButtonWidth, int noButtonWidth,
                                  int cancelButtonWidth)
{
    MessageBoxLayout layout;
    const int forCancel = cancelButtonWidth > 0 ? cancelButtonWidth + kButtonGap : 0;
    const double forText = labelWidth * 1.12 + labelLeft + 30;
    const double forButtons = noButtonWidth * 3.8 + 1000 + forCancel;
    layout.width = int(std::lround(std::max(forText, forButtons)));
    if (cancelButtonWidth > 0)
        layout.cancelButtonLeft = layout.width - cancelButtonWidth - kButtonGap;
    layout.noButtonLeft = layout.width - forCancel - noButtonWidth - kButtonGap;
    layout.yesButtonLeft = layout.noButtonLeft - yesButtonWidth - kButtonGap;
    return layout;
}

MessageBox::MessageBox(QWidget *parent)
    : SkinnedWindow(parent), iconLabel(new QLabel(contentArea())), messageLabel(new QLabel(contentArea())),
      yesButton(new FlatButton(QStringLiteral("是  YES"), contentArea())),
      noButton(new FlatButton(QStringLiteral("否  NO"), contentArea())),
      cancelButton(new FlatButton(QStringLiteral("取消 Cancel"), contentArea()))
{
    iconLabel->setObjectName(QStringLiteral("Image1"));
    messageLabel->setObjectName(QStringLiteral("lblMsg"));
    yesButton->setObjectName(QStringLiteral("cmdOK"));
    noButton->setObjectName(QStringLiteral("cmdNo"));
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    messageLabel->setTextFormat(Qt::PlainText);
    messageLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    messageLabel->setAutoFillBackground(false);
    yesButton->resize(twipsToPixels(kButtonWidth), twipsToPixels(kButtonHeight));
    noButton->resize(twipsToPixels(kButtonWidth), twipsToPixels(kButtonHeight));
    cancelButton->resize(twipsToPixels(kButtonWidth), twipsToPixels(kButtonHeight));
    setTabOrder(yesButton, noButton);
    setTabOrder(noButton, cancelButton);
    captionBar->setWindowStyle(0);
    connect(yesButton, &FlatButton::clicked, this, [this] { answer(base::vbYes); });
    connect(noButton, &FlatButton::clicked, this, [this] { answer(base::vbNo); });
    connect(cancelButton, &FlatButton::clicked, this, [this] { answer(base::vbCancel); });
    setResult(base::vbNo);
    setButtonStyle(base::vbOKOnly);
    applySkin(this, base::currentSkinPath());
}

void MessageBox::answer(int result)
{
    setResult(result);
    hide();
}

int MessageBox::unansweredResult() const
{
    return base::isThreeWay(m_buttonStyle) ? base::vbCancel : base::vbNo;
}

void MessageBox::setButtonStyle(int buttons)
{
    m_buttonStyle = buttons;
    const bool threeWay = base::isThreeWay(buttons);
    cancelButton->setVisible(threeWay);
    switch (threeWay ? base::vbYesNoCancel : buttons) {
    case base::vbYesNoCancel:
        yesButton->setVisible(true);
        noButton->setCaption(QStringLiteral("否 NO"));
        break;
    case base::vbOKOnly:
    case base::vbInformation:
        yesButton->setVisible(false);
        noButton->setCaption(QStringLiteral("确定OK"));
        break;
    case base::vbYesNo:
        yesButton->setVisible(true);
        noButton->setCaption(QStringLiteral("否 NO"));
        break;
    default:
        yesButton->setVisible(true);
        noButton->setCaption(QStringLiteral("否NO"));
        break;
    }
    const std::optional<QStyle::StandardPixmap> icon = iconFor(buttons);
    iconLabel->setPixmap(icon ? style()->standardIcon(*icon).pixmap(32, 32) : QPixmap());
    iconLabel->setVisible(icon.has_value());
    // The box keeps its layout with or without an icon.
    iconLabel->resize(32, 32);
}

void MessageBox::setMessage(const QString &text)
{
    m_message = text;
    messageLabel->setText(text);
    // Told exactly as shown: a label's ampersand would otherwise be taken
    // for a mnemonic and left out.
    messageLabel->setAccessibleName(text);
    layoutBox();
}

void MessageBox::layoutBox()
{
    // A message wider than most of the screen wraps instead of pushing the
    // box (and its buttons) off the screen.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 3 / 4 : 1200;
    messageLabel->setWordWrap(false);
    QSize label = messageLabel->sizeHint();
    if (label.width() > widest) {
        messageLabel->setWordWrap(true);
        label = QSize(widest, messageLabel->heightForWidth(widest));
    }
    const int left = leftBorder->thickness();
    const int top = captionBar->barHeight();
    const int labelTop = twipsToPixels(kLabelTopGap);
    messageLabel->setGeometry(twipsToPixels(kLabelLeft) - left, labelTop, label.width(), label.height());
    iconLabel->move(twipsToPixels(kIconLeft) - left, labelTop);

    const MessageBoxLayout layout =
        layoutMessageBox(kLabelLeft, pixelsToTwips(label.width()), pixelsToTwips(yesButton->width()),
                         pixelsToTwips(noButton->width()),
                         cancelButton->isHidden() ? 0 : pixelsToTwips(cancelButton->width()));
    // Multi-line messages make the box taller so that no line is cut off.
    const int contentBottom = labelTop + qMax(label.height(), iconLabel->height());
    const int buttonsTop = contentBottom + twipsToPixels(kLabelTopGap);
    const int height = qMax(twipsToPixels(kMinimumHeight),
                            top + buttonsTop + noButton->height() + 12 + bottomBorder->thickness());
    const int width = twipsToPixels(layout.width);
    if (size() != QSize(width, height))
        resize(width, height);
    const int buttonsY = contentArea()->height() - noButton->height() - 12;
    noButton->move(twipsToPixels(layout.noButtonLeft) - left, buttonsY);
    yesButton->move(twipsToPixels(layout.yesButtonLeft) - left, buttonsY);
    cancelButton->move(twipsToPixels(layout.cancelButtonLeft) - left, buttonsY);
}

void MessageBox::resizeEvent(QResizeEvent *event)
{
    SkinnedWindow::resizeEvent(event);
    if (height() >= twipsToPixels(kMinimumHeight))
        layoutBox();
}

void MessageBox::showEvent(QShowEvent *event)
{
    // A skin switched since the box was made applies here too.
    if (captionBar->skinPath() != base::currentSkinPath()) {
        applySkin(this, base::currentSkinPath());
        layoutBox();
    }
    SkinnedWindow::showEvent(event);
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    (yesButton->isVisible() ? yesButton : noButton)->setFocus();
}

void MessageBox::closeEvent(QCloseEvent *event)
{
    // Closing by the caption bar is a "no" (a "cancel" for a three-way
    // question): an unanswered question must never count as the previous
    // answer.
    event->ignore();
    answer(unansweredResult());
}

void MessageBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && base::isThreeWay(m_buttonStyle)) {
        answer(base::vbCancel);
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

int MessageBox::ask(const base::MessageRequest &request)
{
    setButtonStyle(request.style);
    setWindowTitle(request.title);
    captionBar->setTitle(request.title);
    setMessage(request.text);
    setResult(unansweredResult());
    return exec();
}

MessageBox *messageBox()
{
    static QPointer<MessageBox> box;
    if (!box)
        box = new MessageBox;
    return box;
}

void installMessageBox()
{
    base::setMessagePresenter([](const base::MessageRequest &request) {
        MessageBox *box = messageBox();
        if (!box->isInModalLoop())
            return box->ask(request);
        // A message raised while the box is already up gets a box of its own.
        MessageBox second;
        return second.ask(request);
    });
}

} // namespace zambrel::skin
