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

int showMessage(const QString &text, int style, const QString &title)
{
    MessageRequest request{text, style, title.isEmpty() ? productName() : title};
    routes().last = request;
    const MessagePresenter &answer = routes().responder ? routes().responder : routes().presenter;
    const bool threeWay = isThreeWay(style);
    if (!answer)
        return threeWay ? vbCancel : vbNo;
    const int reply = answer(request);
    if (reply == vbYes)
        return vbYes;
    if (threeWay && reply != vbNo)
        return vbCancel;
    return vbNo;
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
