// The main window's "导出 CSV Export" command, through the real window.
#include "sample_ledger.h"
#include "test_support.h"

#include "base/clock.h"
#include "ledger/export/ledger_export.h"
#include "ledger/export/ui/export_command.h"
#include "ledger/ui/main_window.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

struct ExportFixture {
    ExportFixture()
    {
        base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(10, 0)); });
        store::ensureDefaultLedger();
        testkit::writeSampleMonth(QStringLiteral("2026-05"));
        window = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
        window->load();
        ledger::registerCsvExport(*window, [this](QWidget *owner, const QString &start) {
            owners << owner;
            starts << start;
            return chosen;
        });
    }
    ~ExportFixture()
    {
        window->setSwitchingLedger(true);
        window->close();
        base::setClock({});
    }

    QByteArray fileBytes(const QString &name) const
    {
        QFile file(QDir(chosen).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    std::unique_ptr<ledger::MainWindow> window;
    QString chosen;
    QList<QWidget *> owners;
    QStringList starts;
};

TEST(ExportCommand, JoinsTheMonthMenuWithItsShortcutAndNamesTheFilesWritten)
{
    ExportFixture fixture;
    QAction *action = fixture.window->command(QStringLiteral("export"));
    EXPECT_TRUE(action->isEnabled());
    EXPECT_EQ(action->text(), QStringLiteral("导出 CSV Export"));
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    EXPECT_TRUE(fixture.window->monthMenu()->actions().contains(action));

    store::Item formula;
    formula.type = QStringLiteral("工资");
    formula.name = QStringLiteral("=1+1");
    fixture.window->ledger().addItem(QStringLiteral("2026-05"), formula);
    fixture.chosen = fixture.folder.file(QStringLiteral("export"));
    action->trigger();
    EXPECT_EQ(fixture.owners, QList<QWidget *>{fixture.window.get()});
    EXPECT_EQ(fixture.starts, QStringList{fixture.folder.path()})
        << "the dialog starts in the ledger's folder";
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    const base::MessageRequest &message = fixture.responder.shown()[0];
    EXPECT_EQ(message.title, QStringLiteral("导出 CSV Export"));
    for (const QString &name : ledger::exportFileNames()) {
        const QString path = QDir(fixture.chosen).filePath(name);
        EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(path))) << message.text.toStdString();
        EXPECT_TRUE(fixture.fileBytes(name).startsWith("\xEF\xBB\xBF")) << name.toStdString();
    }
    // What the command line's export writes for spreadsheets (--bom).
    const store::ResultTable items = fixture.window->ledger().wholeTable(store::Ledger::Table::Items);
    ledger::ExportOptions forSpreadsheets;
    forSpreadsheets.forSpreadsheets = true;
    EXPECT_EQ(fixture.fileBytes(QStringLiteral("items.csv")), ledger::tableCsv(items, forSpreadsheets));
    EXPECT_TRUE(fixture.fileBytes(QStringLiteral("items.csv")).contains(",'=1+1,"));
}

TEST(ExportCommand, AsksBeforeReplacingAndACancelledChoiceWritesNothing)
{
    ExportFixture fixture;
    QAction *action = fixture.window->command(QStringLiteral("export"));
    fixture.chosen = QString();
    action->trigger();
    EXPECT_TRUE(fixture.responder.shown().empty()) << "a cancelled folder dialog is the end of it";

    fixture.chosen = fixture.folder.file(QStringLiteral("out"));
    QDir().mkpath(fixture.chosen);
    QFile earlier(QDir(fixture.chosen).filePath(QStringLiteral("types.csv")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("mine");
    earlier.close();

    fixture.responder.answer(base::MessageAnswer::No);
    action->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].icon, base::MessageIcon::Question);
    EXPECT_TRUE(fixture.responder.shown()[0].text.contains(QStringLiteral("types.csv")));
    EXPECT_EQ(fixture.fileBytes(QStringLiteral("types.csv")), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(QDir(fixture.chosen).filePath(QStringLiteral("items.csv"))));

    fixture.responder.clear();
    fixture.responder.answer(base::MessageAnswer::Yes);
    action->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 2u);
    EXPECT_TRUE(fixture.responder.shown()[1].text.startsWith(QStringLiteral("已导出 Exported:")));
    EXPECT_TRUE(
        fixture.fileBytes(QStringLiteral("types.csv")).startsWith("\xEF\xBB\xBFtypes,kind,index\r\n"));
}

TEST(ExportCommand, AFolderThatCannotBeMadeIsReportedOnTheMenuRoad)
{
    ExportFixture fixture;
    fixture.chosen = fixture.folder.file(QStringLiteral("settings.ini/inside"));
    QFile blocker(fixture.folder.file(QStringLiteral("settings.ini")));
    if (!blocker.exists()) {
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
    }
    fixture.window->command(QStringLiteral("export"))->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].title, QStringLiteral("出错了"));
    EXPECT_TRUE(fixture.responder.shown()[0].text.contains(QStringLiteral("Cannot create the folder")));
}

} // namespace
