#include "main_window.h"

#include "shell_layout.h"

#include "base/twips.h"
#include "skin/caption_bar.h"

#include <QCoreApplication>
#include <QEvent>

namespace zambrel::ledger {

MainWindow *prepareMainWindow()
{
    auto *window = new MainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The skin's pictures are decoded and the toolbar's drawn now, while
    // the person types; the logon then only opens the books.
    window->wearCurrentSkin();
    window->prepareToolbarImages();
    // Placed as it will show, so that the month is filled once, into the
    // panels' final sizes, when the books open.
    window->captionBar->maximise();
    return window;
}

MainWindow *openMainWindow(std::shared_ptr<store::Ledger> ledger, MainWindow *prepared)
{
    MainWindow *window = prepared ? prepared : prepareMainWindow();
    window->openBooks(std::move(ledger));
    window->load();
    // A touch wider, so the layout runs once more with the pictures in place.
    window->layOut(base::pixelsToTwips(window->width()) - kSplitterMargin + 10);
    window->refresh();
    // The month's texts asked their layouts to run again; they run before
    // the first frame, not after it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    window->show();
    return window;
}

} // namespace zambrel::ledger
