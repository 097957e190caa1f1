#include "step_texts.h"

#include "base/app_paths.h"

#include <iterator>

namespace zambrel::history {
namespace {

struct ActionWords {
    const char *chinese;
    const char *english;
};

// In the order of store::StepAction.
const ActionWords kWords[] = {
    {"添加", "add"},        {"修改", "change"},           {"删除", "delete"},
    {"新类型", "new type"}, {"月结", "carry forward"},    {"保存日志", "journal page"},
    {"导入账单", "import"}, {"导入规则", "import rules"}, {"操作", "change"},
};
static_assert(std::size(kWords) == std::size_t(store::StepAction::Unknown) + 1, "words for every action");

// Longer names are cut: a caption stays one short line.
constexpr qsizetype kSubjectLength = 24;

QString oneLine(const QString &subject)
{
    QString line = subject.simplified();
    if (line.size() > kSubjectLength)
        line = line.left(kSubjectLength - 1) + u'…';
    return line;
}

QString commandCaption(const char *chinese, const char *english,
                       const std::optional<store::HistoryStep> &step)
{
    if (!step)
        return QString::fromUtf8(chinese) + u' ' + QLatin1String(english);
    return QString::fromUtf8(chinese) + u' ' + actionChinese(step->action) + QStringLiteral("「") +
           oneLine(step->subject) + QStringLiteral("」 ") + QLatin1String(english) + u' ' +
           actionEnglish(step->action);
}

} // namespace

QString actionChinese(store::StepAction action)
{
    return QString::fromUtf8(kWords[int(action)].chinese);
}

QString actionEnglish(store::StepAction action)
{
    return QString::fromLatin1(kWords[int(action)].english);
}

QString stepWhat(const store::HistoryStep &step)
{
    return actionChinese(step.action) + QStringLiteral("「") + oneLine(step.subject) + QStringLiteral("」 ") +
           actionEnglish(step.action);
}

QString stepTime(const store::HistoryStep &step)
{
    return step.at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString undoCaption(const std::optional<store::HistoryStep> &step)
{
    return commandCaption("撤销", "Undo", step);
}

QString redoCaption(const std::optional<store::HistoryStep> &step)
{
    return commandCaption("重做", "Redo", step);
}

QString keptStepsNote(int limit)
{
    if (limit == 0)
        return QStringLiteral("不保留操作历史 No history is kept");
    return QStringLiteral("保留最近 %1 步操作 The newest %1 steps are kept").arg(limit);
}

int historyLimitSetting()
{
    const QString text =
        base::settingsValue(QLatin1String(kLimitSection), QLatin1String(kLimitKey)).trimmed();
    bool isNumber = false;
    const int limit = text.toInt(&isNumber);
    return isNumber && limit >= 0 ? limit : store::kDefaultHistoryLimit;
}

} // namespace zambrel::history
