// The real executable's subcommands on real ledgers, run headless without
// any display, and the report compared with the main window on the same
// ledger.
#include "bill_files.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"
#include "store/connection_string.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

using namespace zambrel;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

/// A fresh environment without a display or a password; data folder and
/// settings file inside `home`.
QProcessEnvironment headless(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ZAMBREL_PASSWORD"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("ZAMBREL_DATA_DIR"), home + QStringLiteral("/data"));
    environment.insert(QStringLiteral("ZAMBREL_SETTINGS_FILE"), home + QStringLiteral("/settings.ini"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    return environment;
}

Outcome runProgram(const QStringList &arguments, const QProcessEnvironment &environment,
                   const QString &program = QStringLiteral(ZAMBREL_EXE))
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel(); // standard input is no terminal, and at its end
    Outcome outcome;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "zambrel " << arguments.join(u' ').toStdString() << " did not finish";
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = process.readAllStandardOutput();
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

/// RFC 4180: fields split by commas, records by CR LF; a quoted field may
/// hold commas, line breaks and doubled quotes. Anything else fails the test.
std::vector<QStringList> readCsv(const QByteArray &bytes)
{
    static const QRegularExpression field(QStringLiteral("\"((?:[^\"]|\"\")*+)\"|([^\",\\r\\n]*+)"));
    const QString text = QString::fromUtf8(bytes);
    std::vector<QStringList> records;
    QStringList record;
    for (qsizetype at = 0; at < text.size();) {
        const QRegularExpressionMatch match = field.match(text, at, QRegularExpression::NormalMatch,
                                                          QRegularExpression::AnchorAtOffsetMatchOption);
        record << (match.capturedStart(1) >= 0
                       ? match.captured(1).replace(QStringLiteral("\"\""), QStringLiteral("\""))
                       : match.captured(2));
        at = match.capturedEnd();
        if (text.mid(at, 1) == QStringLiteral(",")) {
            ++at;
        } else if (text.mid(at, 2) == QStringLiteral("\r\n")) {
            records.push_back(record);
            record.clear();
            at += 2;
        } else {
            ADD_FAILURE() << "no comma or CR LF after the field ending at " << at;
            return records;
        }
    }
    if (!record.isEmpty())
        ADD_FAILURE() << "the last record does not end in CR LF";
    return records;
}

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Items whose texts need quoting in CSV, in Chinese and English.
std::vector<store::Item> awkwardItems()
{
    std::vector<store::Item> items = testkit::sampleItems(1.0);
    store::Item awkward;
    awkward.type = QStringLiteral("日常开销");
    awkward.name = QStringLiteral("书,报 \"周刊\"");
    awkward.memo = QStringLiteral("第一行\r\n第二行, with a comma\nand \"quotes\"");
    awkward.plannedSpending = 88.8;
    awkward.actualSpending = 1234567.25;
    items.push_back(awkward);
    store::Item spaced;
    spaced.type = QStringLiteral("利息");
    spaced.name = QStringLiteral(" 空格在两端 ");
    spaced.income = 0.1;
    items.push_back(spaced);
    store::Item formula;
    formula.type = QStringLiteral("日常开销");
    formula.name = QStringLiteral("=HYPERLINK(\"http://example.com\",\"点我\")");
    formula.memo = QStringLiteral("-1+2");
    formula.actualSpending = -5;
    items.push_back(formula);
    return items;
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        environment = headless(home.path());
        ledgerPath = home.filePath(QStringLiteral("books.mdb"));
        store::createLedger(ledgerPath);
        const double scales[] = {0.96, 1.0, 1.03};
        for (int month = 3; month <= 5; ++month)
            testkit::writeItems(ledgerPath, QStringLiteral("2026-0%1").arg(month),
                                testkit::sampleItems(scales[month - 3]));
        testkit::writeItems(ledgerPath, QStringLiteral("2026-06"), awkwardItems());
        store::Ledger books(ledgerPath, {});
        store::JournalPage page;
        page.date = QStringLiteral("2026-06-01");
        page.fields[0] = QStringLiteral("晴, 30°C");
        page.fields[4] = QStringLiteral("买菜 \"两斤\"\r\n看书");
        books.saveJournalPage(page);
    }

    Outcome run(QStringList arguments) const { return runProgram(arguments, environment); }
    Outcome onLedger(const QString &command, QStringList more = {}) const
    {
        return run(QStringList{command, QStringLiteral("--ledger"), ledgerPath} + more);
    }

    QTemporaryDir home;
    QProcessEnvironment environment;
    QString ledgerPath;
};

TEST_F(CommandLine, HelpVersionAndUsageErrorsNeedNoDisplay)
{
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    for (const char *command : {"months", "report", "export", "backup", "history", "ZAMBREL_PASSWORD"})
        EXPECT_TRUE(help.out.contains(command)) << command;
    const Outcome reportHelp = run({QStringLiteral("report"), QStringLiteral("--help")});
    EXPECT_EQ(reportHelp.exitCode, 0);
    EXPECT_TRUE(reportHelp.out.contains("--format"));
    EXPECT_FALSE(reportHelp.out.contains("--bom")) << "a command's help shows its own options";
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("zambrel ")) << version.out.toStdString();

    const QList<QStringList> wrong = {
        {QStringLiteral("frobnicate")},
        {QStringLiteral("months"), QStringLiteral("extra")},
        {QStringLiteral("report"), QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("report"), QStringLiteral("--month"), QStringLiteral("2026-13")},
        {QStringLiteral("report"), QStringLiteral("--month"), QStringLiteral("2026-6")},
        {QStringLiteral("report"), QStringLiteral("--month"), QStringLiteral("2026-06\n")},
        {QStringLiteral("export")},
        {QStringLiteral("months"), QStringLiteral("--bom")},
        // A password is never taken as an argument.
        {QStringLiteral("months"), QStringLiteral("--password"), QStringLiteral("secret")},
        {QStringLiteral("--ledger"), ledgerPath},
    };
    for (const QStringList &arguments : wrong) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString() << "\n"
                                      << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("用法不对 Wrong usage"))) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }

    // What the user gave is repeated cut short, with its control characters
    // made visible: a pasted page does not flood the terminal.
    const QString pasted = QStringLiteral("2026-") + QString(100000, u'x');
    const QList<QStringList> echoing = {
        {QStringLiteral("report"), QStringLiteral("--month"), pasted},
        {QStringLiteral("report"), QStringLiteral("--format"), pasted},
        {pasted},
        {QStringLiteral("months"), pasted},
        {QStringLiteral("months"), QStringLiteral("--") + pasted},
    };
    for (const QStringList &arguments : echoing) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_LT(result.err.size(), 400) << result.err.left(400).toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("xxxx…"))) << result.err.left(400).toStdString();
    }
    const Outcome broken =
        run({QStringLiteral("report"), QStringLiteral("--month"), QStringLiteral("2026-06\n")});
    EXPECT_TRUE(broken.err.contains(QStringLiteral(": 2026-06\u240A\n"))) << broken.err.toStdString();
}

TEST_F(CommandLine, MonthsNewestFirstFromTheNamedOrTheUsualLedger)
{
    const Outcome named = onLedger(QStringLiteral("months"));
    ASSERT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_EQ(named.out, QByteArray("2026-06\n2026-05\n2026-04\n2026-03\n"));

    // Without --ledger: the default ledger of the data folder, as the logon
    // would open it, and then the one the settings name.
    const QString usual = home.filePath(QStringLiteral("data/Zambrel.mdb"));
    QDir().mkpath(home.filePath(QStringLiteral("data")));
    store::createLedger(usual);
    testkit::writeItems(usual, QStringLiteral("2025-01"), testkit::sampleItems());
    EXPECT_EQ(run({QStringLiteral("months")}).out, QByteArray("2025-01\n"));
    QFile settings(home.filePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[DB]\nDB=" + ledgerPath.toUtf8() + "\n");
    settings.close();
    EXPECT_EQ(run({QStringLiteral("months")}).out, named.out);
    EXPECT_EQ(
        run({QStringLiteral("months"), QStringLiteral("--data-dir"), home.filePath(QStringLiteral("none"))})
            .out,
        named.out)
        << "the stored ledger comes before the data folder's";
}

TEST_F(CommandLine, ReportFormatsCarryTheSameFigures)
{
    const Outcome json =
        onLedger(QStringLiteral("report"), {QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(report[QStringLiteral("month")].toString(), QStringLiteral("2026-06"))
        << "the latest by default";
    const QJsonArray categories = report[QStringLiteral("categories")].toArray();
    ASSERT_EQ(categories.size(), 4);

    const Outcome csv =
        onLedger(QStringLiteral("report"), {QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(csv.exitCode, 0);
    const std::vector<QStringList> records = readCsv(csv.out);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].join(u','), QStringLiteral("category,kind,group,name,amount,second amount,share"));
    std::size_t next = 1;
    for (const QJsonValue &value : categories) {
        const QJsonObject category = value.toObject();
        const int columns = int(category[QStringLiteral("columns")].toArray().size());
        for (const QJsonValue &rowValue : category[QStringLiteral("rows")].toArray()) {
            const QJsonObject row = rowValue.toObject();
            const QJsonArray cells = row[QStringLiteral("cells")].toArray();
            ASSERT_LT(next, records.size());
            const QStringList &record = records[next++];
            ASSERT_EQ(record.size(), 7);
            EXPECT_EQ(record[0], category[QStringLiteral("key")].toString());
            EXPECT_EQ(record[1], row[QStringLiteral("kind")].toString());
            EXPECT_EQ(record[3], cells[1].toString());
            EXPECT_EQ(record[4], cells[2].toString());
            EXPECT_EQ(record[5], columns > 4 ? cells[3].toString() : QString());
            EXPECT_EQ(record[6], cells[columns - 1].toString());
        }
        ASSERT_LT(next, records.size());
        EXPECT_EQ(records[next][1], QStringLiteral("total"));
        EXPECT_EQ(records[next++][3], category[QStringLiteral("totalText")].toString());
    }
    ASSERT_LT(next, records.size());
    EXPECT_EQ(records[next++][3], report[QStringLiteral("status")].toString());
    const QJsonArray advice = report[QStringLiteral("advice")].toArray();
    ASSERT_EQ(records.size(), next + std::size_t(advice.size()));
    for (const QJsonValue &line : advice)
        EXPECT_EQ(records[next++][3], line.toString());

    // The awkward item's name survives every format.
    EXPECT_TRUE(json.out.contains(QStringLiteral("书,报 \\\"周刊\\\"").toUtf8()));
    const Outcome text = onLedger(QStringLiteral("report"));
    ASSERT_EQ(text.exitCode, 0);
    const QString shown = QString::fromUtf8(text.out);
    EXPECT_TRUE(shown.contains(QStringLiteral("书,报 \"周刊\"")));
    for (const QJsonValue &value : categories)
        EXPECT_TRUE(shown.contains(value.toObject()[QStringLiteral("totalText")].toString()));
    EXPECT_TRUE(shown.contains(report[QStringLiteral("status")].toString().trimmed()));
    for (const QJsonValue &line : advice)
        EXPECT_TRUE(shown.contains(line.toString()));
}

TEST_F(CommandLine, ReportEqualsTheMainWindowForTheSameMonth)
{
    for (const QString &month : {QStringLiteral("2026-04"), QStringLiteral("2026-06")}) {
        const Outcome json =
            onLedger(QStringLiteral("report"),
                     {QStringLiteral("--month"), month, QStringLiteral("--format"), QStringLiteral("json")});
        ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
        const QJsonObject report = QJsonDocument::fromJson(json.out).object();

        testkit::ScriptedResponder responder;
        base::setClock([] { return QDateTime(QDate(2026, 6, 20), QTime(9, 0)); });
        auto window =
            std::make_unique<ledger::MainWindow>(std::make_shared<store::Ledger>(ledgerPath, QString()));
        window->load();
        window->showMonth(month);
        base::setClock({});

        const panel::CategoryPanel *panels[] = {window->incomePanel, window->expenditurePanel,
                                                window->assetPanel, window->liabilityPanel};
        const QJsonArray categories = report[QStringLiteral("categories")].toArray();
        ASSERT_EQ(categories.size(), 4);
        for (int index = 0; index < 4; ++index) {
            const QJsonObject category = categories[index].toObject();
            const panel::CategoryPanel *panel = panels[index];
            SCOPED_TRACE(category[QStringLiteral("caption")].toString().toStdString());
            EXPECT_EQ(category[QStringLiteral("caption")].toString(), panel->captionLabel->text());
            EXPECT_EQ(category[QStringLiteral("totalText")].toString(), panel->totalLabel->text());
            const QJsonArray rows = category[QStringLiteral("rows")].toArray();
            ASSERT_EQ(rows.size(), panel->list->topLevelItemCount());
            for (int row = 0; row < rows.size(); ++row) {
                const QJsonArray cells = rows[row].toObject()[QStringLiteral("cells")].toArray();
                const QJsonArray bold = rows[row].toObject()[QStringLiteral("bold")].toArray();
                const QTreeWidgetItem *item = panel->list->topLevelItem(row);
                for (int column = 0; column < cells.size(); ++column) {
                    EXPECT_EQ(cells[column].toString(), item->text(column))
                        << "row " << row << " column " << column;
                    EXPECT_EQ(bold[column].toBool(), item->font(column).bold()) << "row " << row;
                }
            }
        }
        EXPECT_EQ(report[QStringLiteral("status")].toString(), window->statusPanelText(1));
        QStringList advice;
        for (const QJsonValue &line : report[QStringLiteral("advice")].toArray())
            advice << line.toString();
        EXPECT_EQ(advice.join(u'\n'), window->adviceLabel->text());
        window->setSwitchingLedger(true);
        window->close();
    }
}

TEST_F(CommandLine, ExportWritesThreeRfc4180FilesThatReadBackAsTheLedger)
{
    const QString out = home.filePath(QStringLiteral("export/deeper"));
    const Outcome exported = onLedger(QStringLiteral("export"), {QStringLiteral("--out"), out});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QStringList names = {QStringLiteral("items.csv"), QStringLiteral("types.csv"),
                               QStringLiteral("journal.csv")};
    QStringList printed;
    for (const QString &name : names)
        printed << QDir(out).absoluteFilePath(name);
    EXPECT_EQ(QString::fromUtf8(exported.out), printed.join(u'\n') + u'\n');
    EXPECT_EQ(listing(out), (QStringList{QStringLiteral("items.csv"), QStringLiteral("journal.csv"),
                                         QStringLiteral("types.csv")}))
        << "no temporary file is left behind";

    store::Ledger books(ledgerPath, {});
    const store::Ledger::Table tables[] = {store::Ledger::Table::Items, store::Ledger::Table::Types,
                                           store::Ledger::Table::Journal};
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(names[index].toStdString());
        const QString path = QDir(out).filePath(names[index]);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> records = readCsv(bytes);
        const store::ResultTable table = books.wholeTable(tables[index]);
        ASSERT_EQ(records.size(), table.rows.size() + 1);
        EXPECT_EQ(records[0], table.columns);
        for (std::size_t row = 0; row < table.rows.size(); ++row) {
            ASSERT_EQ(records[row + 1].size(), table.rows[row].size());
            for (qsizetype column = 0; column < table.columns.size(); ++column) {
                const QVariant stored = table.rows[row][column];
                const QString read = records[row + 1][column];
                if (stored.typeId() == QMetaType::Double)
                    EXPECT_EQ(read.toDouble(), stored.toDouble()) << read.toStdString();
                else
                    EXPECT_EQ(read, stored.toString()) << "row " << row << " column " << column;
            }
        }
    }
    const QByteArray items = [&] {
        QFile file(QDir(out).filePath(QStringLiteral("items.csv")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_TRUE(items.contains("1234567.25")) << "numbers in full, without grouping or exponent";
    EXPECT_TRUE(items.contains(",0.1,")) << "the shortest digits that read back the same";
}

TEST_F(CommandLine, ExportWithByteOrderMarkAndOverAnEarlierExport)
{
    const QString out = home.filePath(QStringLiteral("export"));
    ASSERT_EQ(onLedger(QStringLiteral("export"), {QStringLiteral("--out"), out}).exitCode, 0);
    const Outcome again =
        onLedger(QStringLiteral("export"), {QStringLiteral("--out"), out, QStringLiteral("--bom")});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    for (const QString &name :
         {QStringLiteral("items.csv"), QStringLiteral("types.csv"), QStringLiteral("journal.csv")}) {
        QFile file(QDir(out).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << name.toStdString();
        EXPECT_FALSE(readCsv(bytes.mid(3)).empty());
    }
    // For spreadsheets, text that would be a formula stays text; numbers
    // are as ever.
    QFile items(QDir(out).filePath(QStringLiteral("items.csv")));
    ASSERT_TRUE(items.open(QIODevice::ReadOnly));
    const std::vector<QStringList> records = readCsv(items.readAll().mid(3));
    const auto formula = std::find_if(records.begin(), records.end(), [](const QStringList &record) {
        return record.contains(QStringLiteral("'=HYPERLINK(\"http://example.com\",\"点我\")"));
    });
    ASSERT_NE(formula, records.end());
    EXPECT_TRUE(formula->contains(QStringLiteral("'-1+2")));
    EXPECT_TRUE(formula->contains(QStringLiteral("-5")));
    EXPECT_FALSE(formula->contains(QStringLiteral("'-5")));
    // A folder that cannot be made.
    QFile blocker(home.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Outcome blocked = onLedger(QStringLiteral("export"), {QStringLiteral("--out"), blocker.fileName()});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("Cannot create the folder")))
        << blocked.err.toStdString();
}

TEST_F(CommandLine, ExportFoldersAreOwnerOnlyWhateverTheUmask)
{
    const QString out = home.filePath(QStringLiteral("wide/open"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { ::umask(0); });
    process.start(QStringLiteral(ZAMBREL_EXE), {QStringLiteral("export"), QStringLiteral("--ledger"),
                                                ledgerPath, QStringLiteral("--out"), out});
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    for (const QString &folder : {home.filePath(QStringLiteral("wide")), out}) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder.toStdString();
    }
    for (const QString &name : QDir(out).entryList(QDir::Files)) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(QDir(out).filePath(name)).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name.toStdString();
    }
}

TEST_F(CommandLine, BackupByTheMenuNameRuleOrToAChosenFile)
{
    const QDate before = QDate::currentDate();
    const Outcome backup = onLedger(QStringLiteral("backup"));
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QString path = QString::fromUtf8(backup.out).trimmed();
    EXPECT_TRUE(path == store::backupFileName(ledgerPath, before) ||
                path == store::backupFileName(ledgerPath, QDate::currentDate()))
        << path.toStdString();
    EXPECT_EQ(store::Ledger(path, {}).newestMonths(), store::Ledger(ledgerPath, {}).newestMonths());

    const QString chosen = home.filePath(QStringLiteral("copy.mdb"));
    const Outcome to = onLedger(QStringLiteral("backup"), {QStringLiteral("--to"), chosen});
    ASSERT_EQ(to.exitCode, 0) << to.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(to.out), chosen + u'\n');
    EXPECT_TRUE(to.err.isEmpty()) << to.err.toStdString();
    EXPECT_EQ(store::Ledger(chosen, {}).latestMonth(), QStringLiteral("2026-06"));
    // Again: the copy replaces the earlier one and says so beside the path.
    const Outcome again = onLedger(QStringLiteral("backup"), {QStringLiteral("--to"), chosen});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(again.out), chosen + u'\n');
    EXPECT_EQ(again.err, QStringLiteral("zambrel: 已替换原有的文件 Replaced the file that was there: ") +
                             chosen + u'\n');

    // A FIFO is refused at once (opening it to write would wait for a
    // reader for ever) and stays a FIFO.
    const QString fifo = home.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Outcome refused = onLedger(QStringLiteral("backup"), {QStringLiteral("--to"), fifo});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith(QStringLiteral("zambrel: 备份的目标是管道")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const QByteArray ledgerBytes = digestOf(ledgerPath);
    const Outcome itself = onLedger(QStringLiteral("backup"), {QStringLiteral("--to"), ledgerPath});
    EXPECT_EQ(itself.exitCode, 1);
    EXPECT_TRUE(itself.err.contains(QStringLiteral("cannot replace the ledger itself")))
        << itself.err.toStdString();
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes);
}

TEST_F(CommandLine, BackupsAreListedAndOneIsRestoredBehindASafetyCopy)
{
    const Outcome backup = onLedger(QStringLiteral("backup"));
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QString dated = QString::fromUtf8(backup.out).trimmed();
    testkit::writeItems(ledgerPath, QStringLiteral("2026-07"), testkit::sampleItems(1.0));

    const Outcome listed = onLedger(QStringLiteral("backups"));
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QStringList cells = QString::fromUtf8(listed.out).trimmed().split(u'\t');
    ASSERT_EQ(cells.size(), 6) << listed.out.constData();
    EXPECT_EQ(cells[1], QString::number(QFileInfo(dated).size()));
    EXPECT_EQ(cells[2], QStringLiteral("2026-06"));
    EXPECT_EQ(cells[3], QString::number(awkwardItems().size()));
    EXPECT_EQ(cells[4], QStringLiteral("可用 OK"));
    EXPECT_EQ(cells[5], dated);

    const Outcome restored = onLedger(QStringLiteral("restore"), {dated});
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    const QString copy = QString::fromUtf8(restored.out).trimmed();
    EXPECT_TRUE(copy.startsWith(home.filePath(QStringLiteral("data/backups/books_"))) &&
                copy.endsWith(QStringLiteral("_restore.mdb")))
        << copy.toStdString();
    EXPECT_EQ(store::Ledger(ledgerPath, {}).latestMonth(), QStringLiteral("2026-06"));
    EXPECT_EQ(store::Ledger(copy, {}).latestMonth(), QStringLiteral("2026-07")) << "the books as they were";
    const Outcome both = onLedger(QStringLiteral("backups"));
    EXPECT_EQ(both.out.count('\n'), 2) << both.out.constData();

    // What cannot be restored leaves the books alone and fails with a reason.
    const QByteArray books = digestOf(ledgerPath);
    const QString noise = home.filePath(QStringLiteral("noise.mdb"));
    {
        QFile file(noise);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("no ledger");
    }
    for (const QString &refused : {noise, ledgerPath, home.filePath(QStringLiteral("gone.mdb"))}) {
        const Outcome failed = onLedger(QStringLiteral("restore"), {refused});
        EXPECT_EQ(failed.exitCode, 1) << refused.toStdString();
        EXPECT_TRUE(failed.out.isEmpty());
        EXPECT_FALSE(failed.err.isEmpty());
    }
    EXPECT_EQ(onLedger(QStringLiteral("restore")).exitCode, 2);
    EXPECT_EQ(digestOf(ledgerPath), books);
}

TEST_F(CommandLine, PasswordFromFileOrEnvironmentNeverAskedWithoutATerminal)
{
    const QString secret = home.filePath(QStringLiteral("secret.mdb"));
    const QString password = QStringLiteral("口令 with spaces ");
    store::createLedger(secret, password);
    testkit::writeItems(secret, QStringLiteral("2026-02"), testkit::sampleItems(), password);
    const QStringList months = {QStringLiteral("months"), QStringLiteral("--ledger"), secret};

    const Outcome unasked = run(months);
    EXPECT_EQ(unasked.exitCode, 1) << "standard input is no terminal: nobody to ask";
    EXPECT_TRUE(unasked.err.contains(QStringLiteral("需要密码"))) << unasked.err.toStdString();

    QFile file(home.filePath(QStringLiteral("password.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(password.toUtf8() + "\n");
    file.close();
    const Outcome fromFile = run(months + QStringList{QStringLiteral("--password-file"), file.fileName()});
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err.toStdString();
    EXPECT_EQ(fromFile.out, QByteArray("2026-02\n"));

    QProcessEnvironment withPassword = environment;
    withPassword.insert(QStringLiteral("ZAMBREL_PASSWORD"), password);
    EXPECT_EQ(runProgram(months, withPassword).out, QByteArray("2026-02\n"));
    withPassword.insert(QStringLiteral("ZAMBREL_PASSWORD"), QStringLiteral("hunter2"));
    const Outcome wrong = runProgram(months, withPassword);
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("The password does not match"))) << wrong.err.toStdString();
    EXPECT_FALSE(wrong.err.contains(QStringLiteral("hunter2"))) << "the password is never shown";

    // The file comes first; a password for a ledger that has none is wrong.
    const Outcome unreadable =
        run(months + QStringList{QStringLiteral("--password-file"), home.filePath(QStringLiteral("none"))});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(unreadable.err.contains(QStringLiteral("Cannot read the password file")));
    const Outcome needless =
        runProgram({QStringLiteral("months"), QStringLiteral("--ledger"), ledgerPath}, withPassword);
    EXPECT_EQ(needless.exitCode, 1);
    EXPECT_TRUE(needless.err.contains(QStringLiteral("密码不符 The password does not match")))
        << needless.err.toStdString();
}

TEST_F(CommandLine, APasswordFileIsReadNoFurtherThanItsFirstLine)
{
    const QString secret = home.filePath(QStringLiteral("secret.mdb"));
    store::createLedger(secret, QStringLiteral("y")); // what yes(1) writes
    testkit::writeItems(secret, QStringLiteral("2026-02"), testkit::sampleItems(), QStringLiteral("y"));
    const QString months =
        QStringLiteral("'%1' months --ledger '%2' --password-file ").arg(QStringLiteral(ZAMBREL_EXE), secret);
    const auto shell = [&](const QString &line) {
        return runProgram({QStringLiteral("-c"), line}, environment, QStringLiteral("/bin/sh"));
    };

    QFile longLine(home.filePath(QStringLiteral("long.txt")));
    ASSERT_TRUE(longLine.open(QIODevice::WriteOnly));
    longLine.write(QByteArray(70 * 1024, 'p') + "\n");
    longLine.close();
    // No line end within 64 KiB: a device, an endless pipe, a long line.
    for (const QString &line :
         {months + QStringLiteral("/dev/zero"),
          QStringLiteral("yes | tr -d '\\n' | ") + months + QStringLiteral("/dev/stdin"),
          months + longLine.fileName()}) {
        const Outcome result = shell(line);
        EXPECT_EQ(result.exitCode, 1) << line.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("longer than 64 KiB"))) << result.err.toStdString();
    }
    // The first line of an endless pipe is the password.
    const Outcome endless = shell(QStringLiteral("yes | ") + months + QStringLiteral("/dev/stdin"));
    EXPECT_EQ(endless.exitCode, 0) << endless.err.toStdString();
    EXPECT_EQ(endless.out, QByteArray("2026-02\n"));
}

TEST_F(CommandLine, OnATerminalThePasswordIsAskedForWithoutEcho)
{
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        GTEST_SKIP() << "util-linux script is needed for a terminal";
    const QString secret = home.filePath(QStringLiteral("secret.mdb"));
    const QString password = QStringLiteral("sesame-42");
    store::createLedger(secret, password);
    testkit::writeItems(secret, QStringLiteral("2026-02"), testkit::sampleItems(), password);

    // script gives the program a terminal of its own; what is typed goes in
    // once the question is on the screen.
    QProcess terminal;
    terminal.setProcessEnvironment(environment);
    terminal.start(script,
                   {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-c"),
                    QStringLiteral("'%1' months --ledger '%2'").arg(QStringLiteral(ZAMBREL_EXE), secret),
                    QStringLiteral("/dev/null")});
    QByteArray screen;
    while (!screen.contains("Password:") && terminal.waitForReadyRead(30000))
        screen += terminal.readAllStandardOutput();
    ASSERT_TRUE(screen.contains("密码 Password:")) << screen.toStdString();
    terminal.write(password.toUtf8() + "\r");
    ASSERT_TRUE(terminal.waitForFinished(30000));
    screen += terminal.readAllStandardOutput();
    EXPECT_EQ(terminal.exitCode(), 0) << screen.toStdString();
    EXPECT_TRUE(screen.contains("2026-02")) << screen.toStdString();
    EXPECT_FALSE(screen.contains(password.toUtf8())) << "the password was echoed";
}

TEST_F(CommandLine, FailuresAreReportedInBothLanguagesAtOnce)
{
    struct Case {
        QStringList arguments;
        QString says;
    };
    QFile notes(home.filePath(QStringLiteral("notes.mdb")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("these are no books\n");
    notes.close();
    const QString empty = home.filePath(QStringLiteral("empty.mdb"));
    store::createLedger(empty);
    const QList<Case> cases = {
        {{QStringLiteral("months"), QStringLiteral("--ledger"), home.filePath(QStringLiteral("gone.mdb"))},
         QStringLiteral("找不到账本文件 Ledger file not found")},
        {{QStringLiteral("report"), QStringLiteral("--ledger"), notes.fileName()},
         QStringLiteral("不是账本文件 Not a ledger file")},
        {{QStringLiteral("report"), QStringLiteral("--ledger"), ledgerPath, QStringLiteral("--month"),
          QStringLiteral("2030-01")},
         QStringLiteral("找不到这个月份 Month not found: 2030-01")},
        {{QStringLiteral("report"), QStringLiteral("--ledger"), empty},
         QStringLiteral("账本里还没有任何月份 The ledger holds no months yet")},
    };
    for (const Case &each : cases) {
        const Outcome result = run(each.arguments);
        EXPECT_EQ(result.exitCode, 1) << each.arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("zambrel: ") + each.says))
            << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("gone.mdb"))))
        << "a missing ledger is not created";

    // Another process holds the ledger: every subcommand gives up at once.
    QProcess holder;
    holder.start(QStringLiteral(ZAMBREL_LOCK_PROBE),
                 {QStringLiteral("hold"), store::ledgerConnectionString(ledgerPath, {})});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("holding"));
    for (const QString &command :
         {QStringLiteral("months"), QStringLiteral("report"), QStringLiteral("backup")}) {
        const Outcome result = onLedger(command);
        EXPECT_EQ(result.exitCode, 1) << command.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("账本正在使用中 The ledger is in use")))
            << result.err.toStdString();
    }
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
}

TEST_F(CommandLine, OnlyExportAndBackupWriteAndNothingChangesTheLedger)
{
    const QByteArray ledgerBytes = digestOf(ledgerPath);
    const QStringList before = listing(home.path());
    for (const QStringList &more :
         {QStringList{}, QStringList{QStringLiteral("--format"), QStringLiteral("csv")},
          QStringList{QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--month"),
                      QStringLiteral("2026-03")}})
        EXPECT_EQ(onLedger(QStringLiteral("report"), more).exitCode, 0);
    EXPECT_EQ(onLedger(QStringLiteral("months")).exitCode, 0);
    EXPECT_EQ(listing(home.path()), before) << "no file, no settings, no data folder";
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes);

    EXPECT_EQ(
        onLedger(QStringLiteral("export"), {QStringLiteral("--out"), home.filePath(QStringLiteral("out"))})
            .exitCode,
        0);
    EXPECT_EQ(
        onLedger(QStringLiteral("backup"), {QStringLiteral("--to"), home.filePath(QStringLiteral("b.mdb"))})
            .exitCode,
        0);
    QStringList after = before + QStringList{QStringLiteral("b.mdb"), QStringLiteral("out")};
    after.sort();
    EXPECT_EQ(listing(home.path()), after);
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes);

    // No ledger at all: nothing is created in its place.
    const Outcome nothing = run({QStringLiteral("months")});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral("data")))) << "the data folder is not made";
}

TEST_F(CommandLine, HistoryListsTheStepsNewestFirstAndWritesNothing)
{
    base::setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(6, 10, 5)); });
    {
        store::Ledger books(ledgerPath, {});
        books.addItemType(QStringLiteral("宠物\n猫"), QStringLiteral("0100"));
        store::Item item;
        item.type = QStringLiteral("房贷");
        item.name = QStringLiteral("房贷月供还贷");
        books.deleteItem(books.addItem(QStringLiteral("2026-06"), item));
        books.undo();
    }
    base::setClock({});
    const QByteArray ledgerBytes = digestOf(ledgerPath);
    const Outcome newest =
        onLedger(QStringLiteral("history"), {QStringLiteral("--limit"), QStringLiteral("3")});
    EXPECT_EQ(newest.exitCode, 0) << newest.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(newest.out),
              QStringLiteral("2026-12-07 06:10:05\t2026-06\t删除「房贷月供还贷」 delete\t已撤销 undone\n"
                             "2026-12-07 06:10:05\t2026-06\t添加「房贷月供还贷」 add\n"
                             "2026-12-07 06:10:05\t-\t新类型「宠物 猫」 new type\n"));
    const Outcome all = onLedger(QStringLiteral("history"));
    EXPECT_EQ(all.out.count('\n'), 4) << "and the journal page of the fixture";
    EXPECT_TRUE(
        onLedger(QStringLiteral("history"), {QStringLiteral("--limit"), QStringLiteral("0")}).out.isEmpty());
    for (const char *limit : {"-1", "x", "1.5"}) {
        const Outcome wrong =
            onLedger(QStringLiteral("history"), {QStringLiteral("--limit"), QLatin1String(limit)});
        EXPECT_EQ(wrong.exitCode, 2) << limit;
        EXPECT_TRUE(wrong.out.isEmpty());
    }
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes) << "read-only";

    // A ledger of the earlier version has no history yet, and gets none here.
    const QString earlier = home.filePath(QStringLiteral("earlier.mdb"));
    store::createLedger(earlier);
    const QByteArray earlierBytes = digestOf(earlier);
    const Outcome none = run({QStringLiteral("history"), QStringLiteral("--ledger"), earlier});
    EXPECT_EQ(none.exitCode, 0) << none.err.toStdString();
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(digestOf(earlier), earlierBytes);
    EXPECT_EQ(run({QStringLiteral("history"), QStringLiteral("--ledger"),
                   home.filePath(QStringLiteral("none.mdb"))})
                  .exitCode,
              1);
}

// A ledger the user cannot write (here on a file system mounted read-only,
// so root only): every command works on it, as none writes it.
TEST_F(CommandLine, ReadingCommandsWorkOnALedgerTheUserCannotWrite)
{
    testkit::SmallDisk disk("4m");
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.why());
    const QString readOnly = disk.file(QStringLiteral("books.mdb"));
    ASSERT_TRUE(QFile::copy(ledgerPath, readOnly));
    ASSERT_TRUE(disk.makeReadOnly());
    const auto on = [&](const QString &command, QStringList more = {}) {
        return run(QStringList{command, QStringLiteral("--ledger"), readOnly} + more);
    };
    const Outcome months = on(QStringLiteral("months"));
    EXPECT_EQ(months.exitCode, 0) << months.err.toStdString();
    EXPECT_EQ(months.out, QByteArray("2026-06\n2026-05\n2026-04\n2026-03\n"));
    EXPECT_EQ(on(QStringLiteral("report")).exitCode, 0);
    EXPECT_EQ(on(QStringLiteral("export"), {QStringLiteral("--out"), home.filePath(QStringLiteral("out"))})
                  .exitCode,
              0);
    const QString copy = home.filePath(QStringLiteral("b.mdb"));
    EXPECT_EQ(on(QStringLiteral("backup"), {QStringLiteral("--to"), copy}).exitCode, 0);
    EXPECT_EQ(store::Ledger(copy, {}).newestMonths().size(), 4);
}

} // namespace

namespace {

/// A WeChat Pay bill exported as CSV (UTF-8): account lines, the header,
/// two payments in July, one that failed and a row with no amount.
QString weChatBill(const QString &folder)
{
    const QString path = folder + QStringLiteral("/wechat.csv");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bills::fixtures::weChatCsv(
            {QStringLiteral(
                 "2026-07-02 08:00:00,商户消费,早餐店,包子,支出,¥12.50,零钱,支付成功,4200001,m1,/"),
             QStringLiteral("2026-07-03 08:00:00,商户消费,书店,杂志,支出,¥30.00,零钱,支付成功,4200002,m2,/"),
             QStringLiteral("2026-07-04 08:00:00,商户消费,书店,杂志,支出,¥9.00,零钱,支付失败,4200003,m3,/"),
             QStringLiteral("2026-07-05 08:00:00,商户消费,书店,杂志,支出,,零钱,支付成功,4200004,m4,/")}));
    return path;
}

} // namespace

TEST_F(CommandLine, ImportPrintsThePlanWritesOneUndoableStepAndNothingTwice)
{
    const QString bill = weChatBill(home.path());
    const QByteArray before = digestOf(ledgerPath);
    const Outcome dry = onLedger(QStringLiteral("import"), {bill, QStringLiteral("--dry-run")});
    ASSERT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    const QStringList lines = QString::fromUtf8(dry.out).trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << dry.out.constData();
    EXPECT_EQ(lines[0], QStringLiteral("2026-07\t未归类\t未归类支出\t42.50\t0.00\t2\t新建 new"));
    EXPECT_EQ(lines[1], QStringLiteral("合计 Total\t\t\t42.50\t0.00\t2"));
    EXPECT_TRUE(dry.err.contains(QStringLiteral("Line 21 not read"))) << dry.err.toStdString();
    EXPECT_TRUE(dry.err.contains(QStringLiteral("2 new, 0 imported before, 1 skipped")))
        << dry.err.toStdString();
    EXPECT_EQ(digestOf(ledgerPath), before) << "a dry run writes nothing";

    const Outcome written = onLedger(QStringLiteral("import"), {bill});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, dry.out);
    const Outcome again = onLedger(QStringLiteral("import"), {bill});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains(QStringLiteral("0 new, 2 imported before"))) << again.err.toStdString();
    {
        store::Ledger books(ledgerPath, {});
        const std::vector<store::Item> july = books.monthItems(QStringLiteral("2026-07"));
        ASSERT_EQ(july.size(), 1u);
        EXPECT_EQ(july[0].actualSpending, 42.5);
        ASSERT_TRUE(books.undo());
        EXPECT_TRUE(books.monthItems(QStringLiteral("2026-07")).empty());
    }

    const QString noise = home.filePath(QStringLiteral("noise.csv"));
    {
        QFile file(noise);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("a,b,c\n1,2,3\n");
    }
    const Outcome unknown = onLedger(QStringLiteral("import"), {noise});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_FALSE(unknown.err.isEmpty());
    EXPECT_EQ(onLedger(QStringLiteral("import")).exitCode, 2);
}
