#pragma once

#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace zambrel::store {
class Ledger;
}
namespace zambrel::skin {
class SkinnedWindow;
}

namespace zambrel::ledger {

/// Every command a person gives the main window: the toolbar's buttons, then
/// the entries of the month button's menu, in their order.
enum class Command {
    Add,
    Update,
    Delete,
    Refresh,
    Graph,
    StockCheck,
    Journal,
    LookBack,
    ChangePassword,
    OtherLedger,
    Backup,
    ExportCsv,
};

/// The commands of the month button's menu; the others are toolbar buttons.
/// Where a command sits decides how a failure in it is reported.
constexpr bool isMenuCommand(Command command)
{
    return command >= Command::StockCheck;
}

/// What a feature may ask of the main window. The main window implements it
/// and hands it to each feature's one registration function, which provides
/// the feature's commands and keeps what it needs. Everything handed out
/// lives as long as the main window.
class FeatureHost {
public:
    virtual ~FeatureHost() = default;

    /// The open ledger.
    virtual store::Ledger &ledger() = 0;
    /// The main window, as the owner of a feature's windows.
    virtual QWidget *hostWindow() = 0;
    /// The month shown ("yyyy-mm").
    virtual QString currentMonth() const = 0;
    /// Makes `month` the month shown (the month button's caption) and
    /// reloads the view.
    virtual void showMonth(const QString &month) = 0;
    /// Reloads the month shown.
    virtual void refreshMonth() = 0;
    /// The window wears the main window's skin from now on.
    virtual void followSkin(skin::SkinnedWindow *window) = 0;
    /// Writes the status line.
    virtual void showStatus(const QString &text) = 0;

    /// Makes `command` available: its action is enabled and runs `run`. A
    /// failure escaping `run` is reported once, on the command's road: a
    /// menu command with the title "出错了"; a toolbar command with the
    /// program's name, after which the month is reloaded.
    virtual void provide(Command command, std::function<void()> run) = 0;
    /// The command's action: caption, shortcut, enabled state.
    virtual QAction *action(Command command) const = 0;

    /// Closes the main window without the exit question and without ending
    /// the program, and shows the logon window for `ledgerPath`.
    virtual void switchLedger(const QString &ledgerPath) = 0;
};

} // namespace zambrel::ledger
