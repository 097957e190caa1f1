#pragma once

#include <QString>

#include <functional>

namespace zambrel::base {

/// The buttons a message asks for.
enum class MessageButtons {
    Ok,          ///< a message: one button
    YesNo,       ///< a question
    YesNoCancel, ///< a question that may be left without an answer
};

/// The picture beside a message.
enum class MessageIcon { None, Critical, Question, Information };

/// How a message was answered. Cancel comes only from a YesNoCancel
/// question; every message that was not confirmed is answered No.
enum class MessageAnswer { Yes, No, Cancel };

/// A message or a question, as logic hands it to a window to show or ask.
struct MessageRequest {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString title; ///< empty: the product name (showMessage fills it in)
    /// A question whose Yes cannot be taken back lightly starts on No, so
    /// that Enter alone never confirms it.
    bool noFirst = false;
};

/// Shows a request and returns the answer.
using MessagePresenter = std::function<MessageAnswer(const MessageRequest &)>;

/// The program's message routine: every message and question goes through
/// it. An empty title becomes productName(). Returns Yes when the user
/// confirmed, Cancel for a YesNoCancel question left without Yes or No (so
/// that a question nobody answered changes nothing), No otherwise. With no
/// presenter installed (no windows yet) a YesNoCancel question is
/// cancelled and anything else answered No.
MessageAnswer showMessage(MessageRequest request);
MessageAnswer showMessage(const QString &text, MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::None, const QString &title = {});

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
