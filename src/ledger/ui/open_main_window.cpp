#include "main_window.h"

#include "shell_layout.h"

#include "store/mod_db.h"
#include "store/twips.h"
#include "store/ui/ui_hooks.h"

#include <QPointer>

namespace zambrel::ledger {

MainWindow *openMainWindow()
{
    auto *window = new MainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    store::modDB::setMainWindow(window);
    QPointer<MainWindow> target(window);
    store::installUiHooks([target](const QString &text, int panel) {
        if (!target)
            return;
        target->setStatusPanelText(panel, text);
    });
    window->load();
    window->prepareToolbarImages();
    // A touch wider, so the layout runs once more with the pictures in place.
    window->layOut(store::pixelsToTwips(window->width()) - kSplitterMargin + 10);
    window->refresh();
    window->show();
    return window;
}

} // namespace zambrel::ledger
