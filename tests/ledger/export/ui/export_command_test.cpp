// The main window's "导出 CSV Export" command, through the real window.
#include "item_fixtures.h"
#include "main_window_fixture.h"

#include "ledger/export/ledger_export.h"
#include "ledger/export/ui/export_command.h"

#include <QAction>
#include <QDir>

using namespace zambrel;

namespace {

struct ExportFixture : testkit::WindowFixture {
    ExportFixture()
    {
        testkit::writeSampleMonth(QStringLiteral("2026-05"));
        open([this](ledger::MainWindow &main) {
            ledger::registerCsvExport(main, [this](QWidget *, const QString &start) {
                starts << start;
                return chosen;
            });
        });
        action = window->command(QStringLiteral("export"));
    }
    QByteArray fileBytes(const QString &name) const { return testkit::bytesOf(QDir(chosen).filePath(name)); }

    QAction *action = nullptr;
    QString chosen;
    QStringList starts;
};

TEST(ExportCommand, JoinsTheMonthMenuAndNamesTheFilesWritten)
{
    ExportFixture fixture;

    fixture.window->ledger().addItem(QStringLiteral("2026-05"),
                                     testkit::itemOf(QStringLiteral("工资"), QStringLiteral("=1+1")));
    fixture.chosen = fixture.folder.file(QStringLiteral("export"));
    fixture.action->trigger();
    EXPECT_EQ(fixture.starts, QStringList{fixture.folder.path()})
        << "the dialog starts in the ledger's folder";
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    const base::MessageRequest &message = fixture.responder.shown()[0];
    for (const QString &name : ledger::exportFileNames()) {
        const QString path = QDir(fixture.chosen).filePath(name);
        EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(path))) << message.text.toStdString();
        EXPECT_TRUE(fixture.fileBytes(name).startsWith("\xEF\xBB\xBF")) << name.toStdString();
    }
    // For spreadsheets, as the command line's --bom (whose test reads the files back).
    EXPECT_TRUE(fixture.fileBytes(QStringLiteral("items.csv")).contains(",'=1+1,"));
}

TEST(ExportCommand, AsksBeforeReplacingAndACancelledChoiceWritesNothing)
{
    ExportFixture fixture;
    fixture.chosen = QString();
    fixture.action->trigger();
    EXPECT_TRUE(fixture.responder.shown().empty()) << "a cancelled folder dialog is the end of it";

    fixture.chosen = fixture.folder.file(QStringLiteral("out"));
    QDir().mkpath(fixture.chosen);
    QFile earlier(QDir(fixture.chosen).filePath(QStringLiteral("types.csv")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("mine") == 4);
    earlier.close();

    fixture.responder.answer(base::MessageAnswer::No);
    fixture.action->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_TRUE(fixture.responder.shown()[0].text.contains(QStringLiteral("types.csv")));
    EXPECT_EQ(fixture.fileBytes(QStringLiteral("types.csv")), QByteArray("mine"));

    fixture.responder.clear();
    fixture.responder.answer(base::MessageAnswer::Yes);
    fixture.action->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 2u);
    EXPECT_TRUE(fixture.responder.shown()[1].text.startsWith(QStringLiteral("已导出 Exported:")));
    EXPECT_TRUE(
        fixture.fileBytes(QStringLiteral("types.csv")).startsWith("\xEF\xBB\xBFtypes,kind,index\r\n"));
}

} // namespace
