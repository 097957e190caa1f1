#pragma once

#include "base/message.h"
#include "store/ledger_records.h"

#include <QString>

#include <array>

namespace zambrel::journal {

/// The number of fields on a page (g1..g9).
inline constexpr int kFieldCount = store::JournalPage::kFieldCount;

/// The captions of the framed boxes, field by field: happy things, things
/// done for others, work/plans/notes, progress since yesterday, weather and
/// time, mood/reflections/ideas, attention/gossip/news, health/diet/weight,
/// dreams.
inline const std::array<QString, kFieldCount> kFieldCaptions{
    QStringLiteral("开心的事"),       QStringLiteral("为他人做的事"),   QStringLiteral("工作/计划/备忘"),
    QStringLiteral("比起昨天的进步"), QStringLiteral("天气 时间 "),     QStringLiteral("心情/感悟/灵感"),
    QStringLiteral("关注/八卦/新闻"), QStringLiteral("健康/饮食/体重"), QStringLiteral("梦"),
};

/// The window caption before the page date ("journal", two blanks).
inline const QString kTitlePrefix = QStringLiteral("日志  ");
/// Asked before typed text would be replaced or left behind: Yes saves, No
/// discards, Cancel stays.
inline base::MessageRequest unsavedQuestion()
{
    return {QStringLiteral("日志有修改，是否保存？"),
            base::MessageButtons::YesNoCancel,
            base::MessageIcon::Question,
            {}};
}

/// After a save: "日志：" + date + "保存成功." (journal: date saved), titled
/// "保存".
inline base::MessageRequest savedNotice(const QString &date)
{
    return {QStringLiteral("日志：") + date + QStringLiteral("保存成功."), base::MessageButtons::Ok,
            base::MessageIcon::None, QStringLiteral("保存")};
}

} // namespace zambrel::journal
