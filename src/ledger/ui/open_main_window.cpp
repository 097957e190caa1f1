#include "main_window.h"

#include "shell_layout.h"

#include "base/twips.h"

namespace zambrel::ledger {

MainWindow *openMainWindow(std::shared_ptr<store::Ledger> ledger)
{
    auto *window = new MainWindow(std::move(ledger));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->load();
    window->prepareToolbarImages();
    // A touch wider, so the layout runs once more with the pictures in place.
    window->layOut(base::pixelsToTwips(window->width()) - kSplitterMargin + 10);
    window->refresh();
    window->show();
    return window;
}

} // namespace zambrel::ledger
