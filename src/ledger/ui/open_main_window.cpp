#include "main_window.h"

#include "shell_layout.h"

#include "store/mod_db.h"
#include "store/twips.h"
#include "store/ui/ui_hooks.h"

#include <QPointer>

namespace zambrel::ledger {

frmMainUI *openMainWindow()
{
    auto *window = new frmMainUI;
    window->setAttribute(Qt::WA_DeleteOnClose);
    store::modDB::setMainWindow(window);
    QPointer<frmMainUI> target(window);
    store::installUiHooks([target](const QString &text, int panel) {
        if (!target)
            return;
        target->setStatusPanelText(panel, text);
    });
    window->load();
    window->initPic();
    // A touch wider, so the layout runs once more with the pictures in place.
    window->SizeControls(store::pixelsToTwips(window->width()) - kSplitterMargin + 10);
    window->RefreshMe();
    window->show();
    return window;
}

} // namespace zambrel::ledger
