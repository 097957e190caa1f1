#include "graph_fixtures.h"

#include "reports/graph/print_command.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;

namespace {

const GraphPicture kPicture{
    layoutTrendGraph({graph::testing::monthly("2024-05", {1200, 1100}), {}, {}, {}}), {}, QSizeF(900, 600)};

} // namespace

// With a printer the question names it, and No prints nothing; with none it
// offers a PDF file instead.
TEST(PrintCommand, QuestionNamesThePrinterOrOffersAFile)
{
    const PrintQuestion named = printQuestion(QStringLiteral("Office Laser"));
    EXPECT_EQ(named.request.text, QStringLiteral("请在打印机:Office Laser准备纸张，然后点 【是 YES 】"));
    EXPECT_EQ(named.request.title, QStringLiteral("打印"));
    EXPECT_EQ(named.request.buttons, base::MessageButtons::YesNo);
    EXPECT_FALSE(named.offersFile);
    const PrintQuestion none = printQuestion({});
    EXPECT_TRUE(none.offersFile);
    EXPECT_TRUE(none.request.text.contains(QStringLiteral("PDF")));
    EXPECT_EQ(none.request.title, QStringLiteral("打印"));

    bool askedForFile = false;
    const auto choose = [&] {
        askedForFile = true;
        return QString();
    };
    for (const base::MessageAnswer answer : {base::MessageAnswer::No, base::MessageAnswer::Cancel}) {
        EXPECT_EQ(runPrintCommand(QStringLiteral("Office Laser"), answer, kPicture, choose).outcome,
                  PrintOutcome::Declined);
        EXPECT_EQ(runPrintCommand({}, answer, kPicture, choose).outcome, PrintOutcome::Declined);
    }
    EXPECT_FALSE(askedForFile);
}

// No printer, Yes: the PDF goes where the file chooser says; an empty name
// cancels; a file that cannot be written is reported with its name.
TEST(PrintCommand, WithoutAPrinterYesWritesThePdf)
{
    QTemporaryDir folder;
    const auto yes = base::MessageAnswer::Yes;
    const QString path = folder.filePath(QStringLiteral("graph.pdf"));
    const QString bad = folder.filePath(QStringLiteral("missing/graph.pdf"));
    EXPECT_EQ(runPrintCommand({}, yes, kPicture, [] { return QString(); }).outcome, PrintOutcome::Cancelled);
    EXPECT_EQ(runPrintCommand({}, yes, kPicture, [&] { return path; }).outcome, PrintOutcome::SavedFile);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));

    const PrintResult failed = runPrintCommand({}, yes, kPicture, [&] { return bad; });
    EXPECT_EQ(failed.outcome, PrintOutcome::Failed);
    EXPECT_TRUE(failed.failure.text.contains(bad));
    EXPECT_EQ(failed.failure.title, QStringLiteral("打印"));
    EXPECT_EQ(failed.failure.buttons, base::MessageButtons::Ok);
}
