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

// Positions in the box, in twips (the box's own coordinates).
constexpr int kLabelLeft = 900;
constexpr int kLabelTopGap = 300;
constexpr int kIconLeft = 240;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 180;
constexpr int kMinimumHeight = 2100;

std::optional<QStyle::StandardPixmap> picture(base::MessageIcon icon)
{
    switch (icon) {
    case base::MessageIcon::Critical:
        return QStyle::SP_MessageBoxCritical;
    case base::MessageIcon::Question:
        return QStyle::SP_MessageBoxQuestion;
    case base::MessageIcon::Information:
        return QStyle::SP_MessageBoxInformation;
    case base::MessageIcon::None:
        break;
    }
    return std::nullopt;
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
    connect(yesButton, &FlatButton::clicked, this, [this] { answer(base::MessageAnswer::Yes); });
    connect(noButton, &FlatButton::clicked, this, [this] { answer(base::MessageAnswer::No); });
    connect(cancelButton, &FlatButton::clicked, this, [this] { answer(base::MessageAnswer::Cancel); });
    setButtons(base::MessageButtons::Ok);
    applySkin(this, base::currentSkinPath());
}

void MessageBox::answer(base::MessageAnswer result)
{
    m_answer = result;
    hide();
}

base::MessageAnswer MessageBox::unanswered() const
{
    return m_buttons == base::MessageButtons::YesNoCancel ? base::MessageAnswer::Cancel
                                                          : base::MessageAnswer::No;
}

void MessageBox::setButtons(base::MessageButtons buttons, base::MessageIcon icon)
{
    using base::MessageButtons;
    using base::MessageIcon;
    m_buttons = buttons;
    m_icon = icon;
    const bool mayCancel = buttons == MessageButtons::YesNoCancel;
    const bool plainMessage =
        buttons == MessageButtons::Ok && (icon == MessageIcon::None || icon == MessageIcon::Information);
    cancelButton->setVisible(mayCancel);
    yesButton->setVisible(!plainMessage);
    if (plainMessage)
        noButton->setCaption(QStringLiteral("确定OK"));
    else if (mayCancel || (buttons == MessageButtons::YesNo && icon == MessageIcon::None))
        noButton->setCaption(QStringLiteral("否 NO"));
    else
        noButton->setCaption(QStringLiteral("否NO"));
    const std::optional<QStyle::StandardPixmap> shown = picture(icon);
    iconLabel->setPixmap(shown ? style()->standardIcon(*shown).pixmap(32, 32) : QPixmap());
    iconLabel->setVisible(shown.has_value());
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
    (yesButton->isVisible() && !(m_noFirst && noButton->isVisible()) ? yesButton : noButton)->setFocus();
}

void MessageBox::closeEvent(QCloseEvent *event)
{
    // Closing by the caption bar is a "no" (a "cancel" for a three-way
    // question): an unanswered question must never count as the previous
    // answer.
    event->ignore();
    answer(unanswered());
}

void MessageBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_buttons == base::MessageButtons::YesNoCancel) {
        answer(base::MessageAnswer::Cancel);
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

base::MessageAnswer MessageBox::ask(const base::MessageRequest &request)
{
    setButtons(request.buttons, request.icon);
    m_noFirst = request.noFirst;
    setWindowTitle(request.title);
    captionBar->setTitle(request.title);
    setMessage(request.text);
    m_answer = unanswered();
    exec();
    return m_answer;
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
