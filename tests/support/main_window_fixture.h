#pragma once

// The main window on the default ledger of a program folder of its own.

#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"
#include "sample_ledger.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QTreeWidget>

#include <functional>
#include <memory>

namespace zambrel::testkit {

/// A program folder with the default ledger, a fixed date and scripted answers.
struct WindowFixture {
    explicit WindowFixture(QDate today = QDate(2026, 5, 15))
    {
        setToday(today);
        store::ensureDefaultLedger();
    }
    ~WindowFixture()
    {
        closeWindow();
        base::setClock({});
    }
    static void setToday(QDate today)
    {
        base::setClock([today] { return QDateTime(today, QTime(10, 0)); });
    }

    /// Opens the main window on the default ledger (or `books`), loads it and
    /// lets `features` register theirs.
    ledger::MainWindow &open(const std::function<void(ledger::MainWindow &)> &features = {},
                             bool show = false, std::shared_ptr<store::Ledger> books = {})
    {
        window = std::make_unique<ledger::MainWindow>(books ? std::move(books) : openDefaultLedger());
        window->load();
        if (features)
            features(*window);
        if (show)
            window->show();
        return *window;
    }
    /// Closes the window without asking and lets the ledger go.
    void closeWindow()
    {
        if (!window)
            return;
        window->setSwitchingLedger(true);
        window->close();
        window.reset();
    }

    TempProgramFolder folder;
    ScriptedResponder responder;
    std::unique_ptr<ledger::MainWindow> window;
};

/// How many item rows (not group rows) a panel shows.
inline int itemRows(const panel::CategoryPanel *panel)
{
    int items = 0;
    for (int row = 0; row < panel->list->topLevelItemCount(); ++row)
        items += panel->list->topLevelItem(row)->text(1).isEmpty() ? 0 : 1;
    return items;
}

} // namespace zambrel::testkit
