#pragma once

#include "skin/skinned_window.h"
#include "store/ledger_history.h"

#include <vector>

class QLabel;
class QTreeWidget;

namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::history {

/// "操作历史 History": the steps the ledger keeps, newest first, with when,
/// what and the month, those undone marked; "撤销到此 Undo to here" asks to
/// undo every step after the chosen one; a note says how many are kept.
/// Not modal; Escape hides it. Knows nothing of the ledger: its owner fills
/// it and hears undoToRequested.
class HistoryWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);
    ~HistoryWindow() override;

    /// Lists `steps` (newest first) and notes how many steps `limit` keeps.
    /// The row of the step chosen before stays chosen while it is listed.
    void showSteps(const std::vector<store::HistoryStep> &steps, int limit);
    /// The id of the chosen step; 0 when none is chosen.
    qint64 chosenStep() const;

    // Controls; each keeps its name as its objectName.
    QLabel *const listLabel;
    QTreeWidget *const stepList;
    skin::FlatButton *const undoToButton;
    QLabel *const keptNote;

Q_SIGNALS:
    /// Undo every step after `step`.
    void undoToRequested(qint64 step);

private:
    void choiceChanged();

    std::vector<store::HistoryStep> m_steps;
};

} // namespace zambrel::history
