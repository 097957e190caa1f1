#include "journal_feature.h"

#include "host/feature_host.h"
#include "journal_window.h"

#include <QPointer>

#include <memory>

namespace zambrel::journal {

void registerJournal(ledger::FeatureHost &host)
{
    // The window is a top-level child of the main window: it goes with it.
    auto window = std::make_shared<QPointer<JournalWindow>>();
    host.provide(ledger::Command::Journal, [&host, window] {
        if (!*window) {
            *window = new JournalWindow(host.ledger(), host.hostWindow());
            host.followSkin(*window);
        }
        (*window)->showModal();
    });
}

} // namespace zambrel::journal
