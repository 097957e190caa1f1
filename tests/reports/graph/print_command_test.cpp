// The print command's answers; the road without a printer (Yes writes the
// PDF, No nothing) is the graph window's own test.
#include "graph_fixtures.h"

#include "reports/graph/print_command.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;

// With a printer the question names it; No and Cancel print nothing and ask
// for no file. Without one, an empty file name cancels and a file that
// cannot be written is reported with its name.
TEST(PrintCommand, QuestionNamesThePrinterAndEveryRefusalIsTold)
{
    const GraphPicture picture{
        layoutTrendGraph({graph::testing::monthly("2024-05", {1200, 1100}), {}, {}, {}}),
        {},
        QSizeF(900, 600)};
    const PrintQuestion named = printQuestion(QStringLiteral("Office Laser"));
    EXPECT_EQ(named.request.text, QStringLiteral("请在打印机:Office Laser准备纸张，然后点 【是 YES 】"));
    EXPECT_EQ(named.request.buttons, base::MessageButtons::YesNo);
    EXPECT_FALSE(named.offersFile);
    EXPECT_TRUE(printQuestion({}).offersFile);

    bool askedForFile = false;
    const auto choose = [&] {
        askedForFile = true;
        return QString();
    };
    for (const base::MessageAnswer answer : {base::MessageAnswer::No, base::MessageAnswer::Cancel}) {
        for (const QString &printer : {QStringLiteral("Office Laser"), QString()})
            EXPECT_EQ(runPrintCommand(printer, answer, picture, choose).outcome, PrintOutcome::Declined);
    }
    EXPECT_FALSE(askedForFile);

    const auto yes = base::MessageAnswer::Yes;
    EXPECT_EQ(runPrintCommand({}, yes, picture, choose).outcome, PrintOutcome::Cancelled);
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("missing/graph.pdf"));
    const PrintResult failed = runPrintCommand({}, yes, picture, [&] { return bad; });
    EXPECT_EQ(failed.outcome, PrintOutcome::Failed);
    EXPECT_TRUE(failed.failure.text.contains(bad));
    EXPECT_EQ(failed.failure.title, QStringLiteral("打印"));
}
