// What the commands, the history window and the command line say about a
// step: the captions of the worked examples and subjects that would break a
// menu line.
#include "history/step_texts.h"

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::history;
using store::HistoryStep;
using store::StepAction;

namespace {

HistoryStep stepOf(StepAction action, const QString &subject)
{
    HistoryStep step;
    step.action = action;
    step.subject = subject;
    step.at = QDateTime(QDate(2026, 12, 7), QTime(6, 5, 9));
    return step;
}

TEST(StepTexts, CaptionsNameTheStepInBothLanguages)
{
    struct Case {
        StepAction action;
        const char *subject;
        const char *undo;
        const char *redo;
        const char *what;
    };
    const Case cases[] = {
        {StepAction::CarryForward, "2026-11", "撤销 月结「2026-11」 Undo carry forward",
         "重做 月结「2026-11」 Redo carry forward", "月结「2026-11」 carry forward"},
        {StepAction::Unknown, "x", "撤销 操作「x」 Undo change", "重做 操作「x」 Redo change",
         "操作「x」 change"},
    };
    for (const Case &c : cases) {
        const HistoryStep step = stepOf(c.action, QString::fromUtf8(c.subject));
        EXPECT_EQ(undoCaption(step), QString::fromUtf8(c.undo));
        EXPECT_EQ(redoCaption(step), QString::fromUtf8(c.redo));
        EXPECT_EQ(stepWhat(step), QString::fromUtf8(c.what));
    }
    EXPECT_EQ(undoCaption(std::nullopt), QStringLiteral("撤销 Undo"));
    EXPECT_EQ(redoCaption(std::nullopt), QStringLiteral("重做 Redo"));
}

TEST(StepTexts, ASubjectStaysOneShortLine)
{
    EXPECT_EQ(stepWhat(stepOf(StepAction::AddItem, QStringLiteral("O'Brien's \"饭\"\r\n第二行\t end"))),
              QStringLiteral("添加「O'Brien's \"饭\" 第二行 end」 add"));
    const QString longName(40, u'长');
    EXPECT_EQ(undoCaption(stepOf(StepAction::DeleteItem, longName)),
              QStringLiteral("撤销 删除「") + QString(23, u'长') + QStringLiteral("…」 Undo delete"));
    EXPECT_EQ(stepWhat(stepOf(StepAction::AddItem, {})), QStringLiteral("添加「」 add"));
}

} // namespace
