#pragma once

#include <QString>

#include <functional>

namespace zambrel::base {

/// Button styles the program passes to the message routine.
enum MessageStyle : int {
    vbOKOnly = 0,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbInformation = 64,
};

/// Answers of the message routine. Cancel comes only from a three-way
/// (vbYesNoCancel) question.
enum MessageAnswer : int { vbCancel = 2, vbYes = 6, vbNo = 7 };

/// The buttons a style asks for (its low three bits; the rest is the icon).
constexpr int buttonsOf(int style)
{
    return style & 7;
}

/// True when `style` asks the three-way question Yes / No / Cancel.
constexpr bool isThreeWay(int style)
{
    return buttonsOf(style) == vbYesNoCancel;
}

struct MessageRequest {
    QString text;
    int style = vbOKOnly;
    QString title; ///< never empty: the product name stands in for an empty title
};

/// Shows a request and returns 6 (confirmed), 7 (declined) or, for a
/// three-way question, 2 (cancelled).
using MessagePresenter = std::function<int(const MessageRequest &)>;

/// The program's message routine: every message and question goes through it.
/// An empty title becomes productName(). Returns 6 when the user confirmed,
/// 7 otherwise. A three-way question (isThreeWay(style)) returns 6, 7, or 2
/// for Cancel and for any other answer, so that a question nobody answered
/// changes nothing. With no presenter installed (no windows yet) it answers
/// 7, or 2 for a three-way question.
int showMessage(const QString &text, int style = vbOKOnly, const QString &title = {});

/// The window layer installs the skinned message box here.
void setMessagePresenter(MessagePresenter presenter);

/// Tests answer questions without a person: the responder, when set, takes
/// precedence over the presenter. Returns the previous responder.
MessagePresenter setMessageResponder(MessagePresenter responder);

/// The last request shown (for tests and diagnostics).
MessageRequest lastMessage();

/// The product name shown as the title of untitled messages.
QString productName();

} // namespace zambrel::base
