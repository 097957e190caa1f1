#pragma once

#include "store/ledger_history.h"

#include <QString>

#include <optional>

namespace zambrel::history {

/// What a step did, Chinese and English ("删除", "delete").
QString actionChinese(store::StepAction action);
QString actionEnglish(store::StepAction action);

/// What a step did and to what, on one line: "删除「房贷月供还贷」 delete".
/// The subject's line breaks become blanks and a long one is cut with "…".
QString stepWhat(const store::HistoryStep &step);
/// When the step was made, "yyyy-mm-dd hh:mm:ss".
QString stepTime(const store::HistoryStep &step);

/// The Undo command's caption: "撤销 删除「房贷月供还贷」 Undo delete" for the
/// step it would undo, "撤销 Undo" when there is none.
QString undoCaption(const std::optional<store::HistoryStep> &step);
/// The Redo command's caption: "重做 删除「房贷月供还贷」 Redo delete", or "重做 Redo".
QString redoCaption(const std::optional<store::HistoryStep> &step);

/// The history window's note on how many steps are kept.
QString keptStepsNote(int limit);

/// The settings key that says how many steps a ledger keeps: section
/// "history", key "steps", a whole number from 0 (none) up.
inline constexpr const char *kLimitSection = "history";
inline constexpr const char *kLimitKey = "steps";
/// The number the settings give; store::kDefaultHistoryLimit when the key is
/// missing or holds no whole number of 0 or more.
int historyLimitSetting();

} // namespace zambrel::history
