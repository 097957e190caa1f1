#include "message.h"

#include <utility>

namespace zambrel::store {
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
    if (!answer)
        return vbNo;
    return answer(request) == vbYes ? vbYes : vbNo;
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

} // namespace zambrel::store
