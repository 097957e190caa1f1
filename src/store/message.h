#pragma once

#include <QString>

#include <functional>

namespace zambrel::store {

/// Button styles the program passes to the message routine.
enum MessageStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbInformation = 64,
};

/// Answers of the message routine.
enum MessageAnswer : int { vbYes = 6, vbNo = 7 };

struct MessageRequest {
    QString text;
    int style = vbOKOnly;
    QString title;   ///< never empty: the product name stands in for an empty title
};

/// Shows a request and returns 6 (confirmed) or 7 (anything else).
using MessagePresenter = std::function<int(const MessageRequest &)>;

/// The program's message routine: every message and question goes through it.
/// An empty title becomes productName(). Returns 6 when the user confirmed,
/// 7 otherwise. With no presenter installed (no windows yet) it answers 7.
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

} // namespace zambrel::store
