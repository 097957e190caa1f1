#include "message.h"

#include <utility>

namespace zambrel::base {
namespace {

struct MessageRoutes {
    MessagePresenter presenter;
    MessagePresenter responder;
    MessageRequest last;
};

MessageRoutes &routes()
{
    static MessageRoutes instance;
    return instance;
}

} // namespace

QString productName()
{
    return QStringLiteral("Zambrel");
}

MessageAnswer showMessage(MessageRequest request)
{
    if (request.title.isEmpty())
        request.title = productName();
    routes().last = request;
    const MessagePresenter &answer = routes().responder ? routes().responder : routes().presenter;
    const bool mayCancel = request.buttons == MessageButtons::YesNoCancel;
    if (!answer)
        return mayCancel ? MessageAnswer::Cancel : MessageAnswer::No;
    switch (answer(request)) {
    case MessageAnswer::Yes:
        return MessageAnswer::Yes;
    case MessageAnswer::No:
        return MessageAnswer::No;
    case MessageAnswer::Cancel:
        break;
    }
    return mayCancel ? MessageAnswer::Cancel : MessageAnswer::No;
}

MessageAnswer showMessage(const QString &text, MessageButtons buttons, MessageIcon icon, const QString &title)
{
    return showMessage(MessageRequest{text, buttons, icon, title});
}

void setMessagePresenter(MessagePresenter presenter)
{
    routes().presenter = std::move(presenter);
}

MessagePresenter setMessageResponder(MessagePresenter responder)
{
    return std::exchange(routes().responder, std::move(responder));
}

MessageRequest lastMessage()
{
    return routes().last;
}

} // namespace zambrel::base
