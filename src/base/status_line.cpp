#include "status_line.h"

#include <utility>

namespace zambrel::base {
namespace {

struct InstalledWriter {
    const void *owner = nullptr;
    StatusWriter write;
};

InstalledWriter &installed()
{
    static InstalledWriter instance;
    return instance;
}

} // namespace

void setStatusWriter(const void *owner, StatusWriter writer)
{
    installed() = {owner, std::move(writer)};
}

void releaseStatusWriter(const void *owner)
{
    if (installed().owner == owner)
        installed() = {};
}

void showStatus(const QString &text, int panel)
{
    try {
        const StatusWriter &write = installed().write;
        if (!write)
            return;
        QString shown = text;
        shown.replace(QLatin1Char(':'), QStringLiteral("："));
        write(shown, panel);
    } catch (...) {
    }
}

} // namespace zambrel::base
