#include "ui_hooks.h"

#include "store/mod_db.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

#include <utility>

namespace zambrel::store {
namespace {

// The routines may report busy twice before idle; the override cursor stack
// must not grow with them, or the pointer would stay busy.
void setBusyPointer(bool busy)
{
    static bool shown = false;
    if (busy == shown)
        return;
    shown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

void installUiHooks(std::function<void(const QString &text, int panel)> statusWriter)
{
    modDB::UiHooks hooks;
    hooks.setBusyPointer = setBusyPointer;
    hooks.copyToClipboard = [](const QString &text) {
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            clipboard->setText(text);
    };
    hooks.setStatusText = std::move(statusWriter);
    modDB::setUiHooks(std::move(hooks));
}

} // namespace zambrel::store
