#include "history_commands.h"

#include "history/step_texts.h"
#include "history_window.h"
#include "host/error_report.h"
#include "host/feature_host.h"
#include "ledger/month_view.h"
#include "store/ledger.h"

#include <QAction>
#include <QKeySequence>
#include <QPointer>
#include <QTreeWidget>

#include <memory>

namespace zambrel::history {
namespace {

// Month menu places: first, above the other commands.
constexpr int kUndoOrder = 1;
constexpr int kRedoOrder = 2;
constexpr int kHistoryOrder = 3;

/// A caption as a menu shows it: an "&" in an item's name is no mnemonic.
QString menuText(QString caption)
{
    return caption.replace(u'&', QStringLiteral("&&"));
}

/// The month view after steps were undone or redone: the month of the
/// last of them that has one, else the month shown, read again, types too.
void showStepsMonth(host::FeatureHost &host, const std::vector<store::HistoryStep> &steps)
{
    if (steps.empty())
        return;
    host.booksReplaced();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (!step->month.isEmpty()) {
            host.showMonth(step->month);
            return;
        }
    }
    host.refreshMonth();
}

std::vector<store::HistoryStep> asList(const std::optional<store::HistoryStep> &step)
{
    return step ? std::vector<store::HistoryStep>{*step} : std::vector<store::HistoryStep>{};
}

} // namespace

void registerHistory(host::FeatureHost &host)
{
    store::Ledger &books = host.ledger();
    books.setHistoryLimit(historyLimitSetting());
    QWidget *owner = host.hostWindow();

    auto *undo = new QAction(owner);
    undo->setObjectName(QStringLiteral("undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto *redo = new QAction(owner);
    redo->setObjectName(QStringLiteral("redo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    auto *list = new QAction(QStringLiteral("历史 History…"), owner);
    list->setObjectName(QStringLiteral("history"));
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    auto window = std::make_shared<QPointer<HistoryWindow>>();

    // The captions and the window follow every step, whoever made it.
    const auto follow = [&host, undoAction = QPointer<QAction>(undo), redoAction = QPointer<QAction>(redo),
                         window] {
        if (!undoAction || !redoAction)
            return;
        host::runReported(host::ErrorRoad::Query, [&] {
            store::Ledger &ledger = host.ledger();
            const std::optional<store::HistoryStep> nextUndo = ledger.nextUndo();
            const std::optional<store::HistoryStep> nextRedo = ledger.nextRedo();
            undoAction->setText(menuText(undoCaption(nextUndo)));
            undoAction->setEnabled(nextUndo.has_value());
            redoAction->setText(menuText(redoCaption(nextRedo)));
            redoAction->setEnabled(nextRedo.has_value());
            if (*window && (*window)->isVisible())
                (*window)->showSteps(ledger.historySteps(), ledger.historyLimit());
        });
    };
    books.onHistoryChanged(follow);
    follow();

    host.addCommand(host::CommandPlace::monthMenu(kUndoOrder), undo,
                    [&host] { showStepsMonth(host, asList(host.ledger().undo())); });
    host.addCommand(host::CommandPlace::monthMenu(kRedoOrder), redo,
                    [&host] { showStepsMonth(host, asList(host.ledger().redo())); });
    host.addCommand(host::CommandPlace::monthMenu(kHistoryOrder), list, [&host, window] {
        if (!*window) {
            *window = new HistoryWindow(host.hostWindow());
            host.followSkin(*window);
            QObject::connect(*window, &HistoryWindow::undoToRequested, *window, [&host](qint64 step) {
                // The window's own action: its one catch is here.
                host::runReported(host::ErrorRoad::MenuCommand,
                                  [&] { showStepsMonth(host, host.ledger().undoTo(step)); });
            });
        }
        store::Ledger &ledger = host.ledger();
        (*window)->showSteps(ledger.historySteps(), ledger.historyLimit());
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
        (*window)->stepList->setFocus(Qt::OtherFocusReason);
    });
}

} // namespace zambrel::history
