// The real executable's subcommands on real ledgers, run headless without
// any display, and the report compared with the main window on the same
// ledger.
#include "bill_files.h"
#include "item_fixtures.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "base/clock.h"
#include "import/bank_csv.h"
#include "import/books/bill_import.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"
#include "store/connection_string.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

using namespace zambrel;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
    std::string why() const { return err.left(400).toStdString(); }
};

QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray digestOf(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

Outcome runProgram(const QStringList &arguments, const QProcessEnvironment &environment,
                   const QString &program = QStringLiteral(ZAMBREL_EXE), bool openUmask = false)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (openUmask)
        process.setChildProcessModifier([] { ::umask(0); });
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

store::Item item(const char *type, const char *name, const std::vector<double> &amounts = {},
                 const char *memo = "")
{
    return testkit::itemOf(QString::fromUtf8(type), QString::fromUtf8(name), amounts,
                           QString::fromUtf8(memo));
}

// Items whose texts need quoting in CSV, in Chinese and English.
std::vector<store::Item> awkwardItems()
{
    std::vector<store::Item> items = testkit::sampleItems(1.0);
    items.push_back(item("日常开销", "书,报 \"周刊\"", {0, 1234567.25, 88.8},
                         "第一行\r\n第二行, with a comma\nand \"quotes\""));
    items.push_back(item("利息", " 空格在两端 ", {0.1}));
    items.push_back(item("日常开销", "=HYPERLINK(\"http://example.com\",\"点我\")", {0, -5}, "-1+2"));
    return items;
}

/// A ledger of four months (the last with awkward texts) and a journal page,
/// and the program run headless on it: no display, no password, the data
/// folder and settings file inside `home`.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ZAMBREL_PASSWORD"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("ZAMBREL_DATA_DIR"), file("data"));
        environment.insert(QStringLiteral("ZAMBREL_SETTINGS_FILE"), file("settings.ini"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        ledgerPath = file("books.mdb");
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

    QString file(const char *name) const { return home.filePath(QString::fromUtf8(name)); }
    Outcome run(const QStringList &arguments) const { return runProgram(arguments, environment); }
    /// `line`'s first word is the command; --ledger goes after it.
    QStringList with(const QString &line, const QStringList &more = {}, const QString &ledger = {}) const
    {
        QStringList arguments = words(line);
        arguments.insert(1, QStringLiteral("--ledger"));
        arguments.insert(2, ledger.isEmpty() ? ledgerPath : ledger);
        return arguments + more;
    }
    Outcome on(const QString &line, const QStringList &more = {}, const QString &ledger = {}) const
    {
        return run(with(line, more, ledger));
    }
    /// on(), expected to succeed.
    Outcome ok(const QString &line, const QStringList &more = {}, const QString &ledger = {}) const
    {
        const Outcome outcome = on(line, more, ledger);
        EXPECT_EQ(outcome.exitCode, 0) << line.toStdString() << "\n" << outcome.why();
        return outcome;
    }
    /// A ledger at `name` with one month, 2026-02, under `password`.
    QString secretLedger(const QString &password, const char *name = "secret.mdb") const
    {
        const QString path = file(name);
        store::createLedger(path, password);
        testkit::writeItems(path, QStringLiteral("2026-02"), testkit::sampleItems(), password);
        return path;
    }

    QTemporaryDir home;
    QProcessEnvironment environment;
    QString ledgerPath;
};

void expectFails(const Outcome &result, int code, const QString &says, const std::string &what)
{
    EXPECT_EQ(result.exitCode, code) << what << "\n" << result.why();
    EXPECT_TRUE(result.err.contains(says)) << what << "\n" << result.why();
    EXPECT_TRUE(result.out.isEmpty()) << what;
}

TEST_F(CommandLine, HelpVersionAndUsageErrorsNeedNoDisplay)
{
    EXPECT_TRUE(run({QStringLiteral("--help")}).out.contains("ZAMBREL_PASSWORD"));
    const Outcome reportHelp = run(words("report --help"));
    EXPECT_TRUE(reportHelp.out.contains("--format"));
    EXPECT_FALSE(reportHelp.out.contains("--bom")) << "a command's help shows its own options";
    EXPECT_TRUE(run({QStringLiteral("--version")}).out.startsWith("zambrel "));

    // What the user gave is repeated cut short, with its control characters
    // made visible: a pasted page does not flood the terminal.
    const QString pasted = QStringLiteral("2026-") + QString(100000, u'x');
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("report"), QStringLiteral("--month"), pasted}, QStringList{pasted},
          QStringList{QStringLiteral("months"), "--" + pasted}}) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_LT(result.err.size(), 400) << result.why();
        EXPECT_TRUE(result.err.contains(QStringLiteral("xxxx…"))) << result.why();
    }
    EXPECT_TRUE(
        run(words("report --month") << "2026-06\n").err.contains(QStringLiteral(": 2026-06\u240A\n")));
}

// Output that cannot be written (here a full disk) fails the command: a
// script must not take a cut-off listing for the whole of it.
TEST_F(CommandLine, OutputThatCannotBeWrittenFailsTheCommand)
{
    for (const QStringList &arguments : {QStringList{QStringLiteral("--help")},
                                         with(QStringLiteral("months")), with(QStringLiteral("report"))}) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(ZAMBREL_EXE), arguments);
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), 1) << arguments.join(u' ').toStdString() << "\n" << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("Cannot write the output"))) << err.toStdString();
    }
}

// A command loads Qt Core and the books' libraries alone: the window
// libraries are a third of its time and of its memory. The dynamic loader
// lists what the program would load, and stops there.
TEST_F(CommandLine, TheProgramLoadsNoWindowLibraryForACommand)
{
    QProcessEnvironment tracing = environment;
    tracing.insert(QStringLiteral("LD_TRACE_LOADED_OBJECTS"), QStringLiteral("1"));
    const Outcome loaded = runProgram(with(QStringLiteral("months")), tracing);
    EXPECT_TRUE(loaded.out.contains("libQt6Core.so")) << loaded.out.toStdString();
    EXPECT_TRUE(loaded.out.contains("libsqlcipher.so")) << loaded.out.toStdString();
    for (const char *windows :
         {"libQt6Gui.so", "libQt6Widgets.so", "libQt6Network.so", "libQt6PrintSupport.so"})
        EXPECT_FALSE(loaded.out.contains(windows)) << windows;

    // Copied away from its windows, it still runs commands, and says why it
    // cannot do the rest.
    QTemporaryDir alone;
    const QString copy = alone.filePath(QStringLiteral("zambrel"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZAMBREL_EXE), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
    const Outcome commandAlone = runProgram(with(QStringLiteral("months")), environment, copy);
    EXPECT_EQ(commandAlone.exitCode, 0) << commandAlone.why();
    const Outcome noWindows = runProgram({QStringLiteral("--version")}, environment, copy);
    EXPECT_EQ(noWindows.exitCode, 1);
    EXPECT_TRUE(noWindows.err.contains(QStringLiteral("Cannot load the windows"))) << noWindows.why();
}

TEST_F(CommandLine, MonthsNewestFirstFromTheNamedOrTheUsualLedger)
{
    const Outcome named = ok(QStringLiteral("months"));
    EXPECT_EQ(named.out, QByteArray("2026-06\n2026-05\n2026-04\n2026-03\n"));

    // Without --ledger: the default ledger of the data folder, as the logon
    // would open it, then the one the settings name once it is there. (With
    // no ledger at all nothing is made: see OnlyExportAndBackupWrite.)
    QDir().mkpath(file("data"));
    store::createLedger(file("data/Zambrel.mdb"));
    testkit::writeItems(file("data/Zambrel.mdb"), QStringLiteral("2025-01"), testkit::sampleItems());
    EXPECT_EQ(run(words("months")).out, QByteArray("2025-01\n"));
    writeFile(file("settings.ini"), "[DB]\nDB=" + ledgerPath.toUtf8() + "\n");
    EXPECT_EQ(run(words("months")).out, named.out);
}

// The JSON report shows what the main window shows for the month, and the
// CSV report carries the same figures, row by row.
TEST_F(CommandLine, ReportFormatsEqualTheMainWindowForTheSameMonth)
{
    EXPECT_EQ(QJsonDocument::fromJson(on(QStringLiteral("report --format json")).out)["month"].toString(),
              QStringLiteral("2026-06"))
        << "the latest by default";
    for (const QString &month : {QStringLiteral("2026-04"), QStringLiteral("2026-06")}) {
        const Outcome json = ok(QStringLiteral("report --format json --month ") + month);
        const QJsonObject report = QJsonDocument::fromJson(json.out).object();
        const std::vector<QStringList> records =
            readCsv(on(QStringLiteral("report --format csv --month ") + month).out);
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records[0].join(u','),
                  QStringLiteral("category,kind,group,name,amount,second amount,share"));

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
        std::size_t next = 1;
        for (int index = 0; index < 4; ++index) {
            const QJsonObject category = categories[index].toObject();
            const panel::CategoryPanel *panel = panels[index];
            SCOPED_TRACE(category[QStringLiteral("caption")].toString().toStdString());
            EXPECT_EQ(category[QStringLiteral("caption")].toString(), panel->captionLabel->text());
            EXPECT_EQ(category[QStringLiteral("totalText")].toString(), panel->totalLabel->text());
            const int columns = int(category[QStringLiteral("columns")].toArray().size());
            const QJsonArray rows = category[QStringLiteral("rows")].toArray();
            ASSERT_EQ(rows.size(), panel->list->topLevelItemCount());
            for (int row = 0; row < rows.size(); ++row) {
                const QJsonArray cells = rows[row].toObject()[QStringLiteral("cells")].toArray();
                const QTreeWidgetItem *item = panel->list->topLevelItem(row);
                for (int column = 0; column < cells.size(); ++column)
                    EXPECT_EQ(cells[column].toString(), item->text(column)) << row << "/" << column;
                ASSERT_LT(next, records.size());
                const QStringList expected = {category[QStringLiteral("key")].toString(),
                                              rows[row].toObject()[QStringLiteral("kind")].toString(),
                                              records[next].value(2),
                                              cells[1].toString(),
                                              cells[2].toString(),
                                              columns > 4 ? cells[3].toString() : QString(),
                                              cells[columns - 1].toString()};
                EXPECT_EQ(records[next++], expected);
            }
            ASSERT_LT(next, records.size());
            EXPECT_EQ(records[next][1], QStringLiteral("total"));
            EXPECT_EQ(records[next++][3], category[QStringLiteral("totalText")].toString());
        }
        EXPECT_EQ(report[QStringLiteral("status")].toString(), window->statusPanelText(1));
        QStringList advice;
        for (const QJsonValue &line : report[QStringLiteral("advice")].toArray())
            advice << line.toString();
        EXPECT_EQ(advice.join(u'\n'), window->adviceLabel->text());
        ASSERT_EQ(records.size(), next + 1 + std::size_t(advice.size()));
        EXPECT_EQ(records[next++][3], report[QStringLiteral("status")].toString());
        for (const QString &line : advice)
            EXPECT_EQ(records[next++][3], line);
        window->setSwitchingLedger(true);
        window->close();
    }
    // The awkward item's name survives the text report.
    EXPECT_TRUE(
        QString::fromUtf8(on(QStringLiteral("report")).out).contains(QStringLiteral("书,报 \"周刊\"")));
}

// Made under an open umask, into folders not there yet: three RFC 4180
// files, owner-only, that read back as the ledger's tables; again over
// them with the byte order mark.
TEST_F(CommandLine, ExportWritesThreeRfc4180FilesThatReadBackAsTheLedger)
{
    const QString out = file("wide/open");
    const Outcome exported = runProgram(words("export --ledger") << ledgerPath << "--out" << out, environment,
                                        QStringLiteral(ZAMBREL_EXE), true);
    ASSERT_EQ(exported.exitCode, 0) << exported.why();
    const QStringList names = {QStringLiteral("items.csv"), QStringLiteral("types.csv"),
                               QStringLiteral("journal.csv")};
    QStringList printed;
    for (const QString &name : names)
        printed << QDir(out).absoluteFilePath(name);
    EXPECT_EQ(QString::fromUtf8(exported.out), printed.join(u'\n') + u'\n');
    EXPECT_EQ(listing(out).size(), 3) << "no temporary file is left behind";
    const auto modeOf = [](const QString &path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0777u;
    };
    EXPECT_EQ(modeOf(file("wide")), 0700u);

    const store::Ledger::Table tables[] = {store::Ledger::Table::Items, store::Ledger::Table::Types,
                                           store::Ledger::Table::Journal};
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(names[index].toStdString());
        EXPECT_EQ(modeOf(printed[index]), 0600u);
        const store::ResultTable table = store::Ledger(ledgerPath, {}).wholeTable(tables[index]);
        const QByteArray bytes = readAll(printed[index]);
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> records = readCsv(bytes);
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
    EXPECT_TRUE(readAll(printed[0]).contains(",0.1,")) << "the shortest digits that read back the same";

    ASSERT_EQ(on(QStringLiteral("export --bom --out"), {out}).exitCode, 0);
    EXPECT_TRUE(readAll(printed[2]).startsWith("\xEF\xBB\xBF"));
}

TEST_F(CommandLine, BackupByTheMenuNameRuleOrToAChosenFileListedAndRestored)
{
    const QDate before = QDate::currentDate();
    const Outcome backup = ok(QStringLiteral("backup"));
    const QString path = QString::fromUtf8(backup.out).trimmed();
    EXPECT_TRUE(path == store::backupFileName(ledgerPath, before) ||
                path == store::backupFileName(ledgerPath, QDate::currentDate()))
        << path.toStdString();
    EXPECT_EQ(store::Ledger(path, {}).newestMonths(), store::Ledger(ledgerPath, {}).newestMonths());

    // A chosen file is replaced, and the program says so beside the path.
    const QString chosen = file("copy.mdb");
    EXPECT_TRUE(ok(QStringLiteral("backup --to"), {chosen}).err.isEmpty());
    const Outcome again = ok(QStringLiteral("backup --to"), {chosen});
    EXPECT_EQ(QString::fromUtf8(again.out), chosen + u'\n');
    EXPECT_EQ(again.err, QStringLiteral("zambrel: 已替换原有的文件 Replaced the file that was there: ") +
                             chosen + u'\n');

    // Listed, then restored behind a safety copy of the books as they were.
    testkit::writeItems(ledgerPath, QStringLiteral("2026-07"), testkit::sampleItems(1.0));

    const Outcome listed = ok(QStringLiteral("backups"));
    const QStringList cells = QString::fromUtf8(listed.out).trimmed().split(u'\t');
    ASSERT_EQ(cells.size(), 6) << listed.out.constData();
    EXPECT_EQ(cells.mid(1),
              (QStringList{QString::number(QFileInfo(path).size()), QStringLiteral("2026-06"),
                           QString::number(awkwardItems().size()), QStringLiteral("可用 OK"), path}));

    const Outcome restored = ok(QStringLiteral("restore"), {path});
    const QString copy = QString::fromUtf8(restored.out).trimmed();
    // The ledger lies outside the data folder: its copies carry its folder's tag.
    EXPECT_TRUE(copy.startsWith(file("data/backups/books~")) && copy.endsWith(QStringLiteral("_restore.mdb")))
        << copy.toStdString();
    EXPECT_EQ(store::Ledger(ledgerPath, {}).latestMonth(), QStringLiteral("2026-06"));
    EXPECT_EQ(store::Ledger(copy, {}).latestMonth(), QStringLiteral("2026-07")) << "the books as they were";
    EXPECT_EQ(on(QStringLiteral("backups")).out.count('\n'), 2);

    // A backup under another password, as a copy kept before a password
    // change is: refused without that password, restored with it, and the
    // ledger keeps its own.
    const QString secret = secretLedger(QStringLiteral("旧 pw"));
    expectFails(on(QStringLiteral("restore"), {secret}), 1, QStringLiteral("The password does not match"),
                "the ledger's password");
    const QString passwordFile = writeFile(file("old.txt"), "旧 pw\n");
    ok(QStringLiteral("restore"), {secret, QStringLiteral("--backup-password-file"), passwordFile});
    EXPECT_EQ(store::Ledger(ledgerPath, {}).latestMonth(), QStringLiteral("2026-02"));
}

TEST_F(CommandLine, PasswordFromFileOrEnvironmentNeverAskedWithoutATerminal)
{
    const QString password = QStringLiteral("口令 with spaces ");
    const QString secret = secretLedger(password);
    const QString passwordFile = writeFile(file("password.txt"), password.toUtf8() + "\n");
    const Outcome fromFile = ok(QStringLiteral("months --password-file"), {passwordFile}, secret);
    EXPECT_EQ(fromFile.out, QByteArray("2026-02\n"));

    const QStringList months = {QStringLiteral("months"), QStringLiteral("--ledger"), secret};
    QProcessEnvironment withPassword = environment;
    withPassword.insert(QStringLiteral("ZAMBREL_PASSWORD"), password);
    EXPECT_EQ(runProgram(months, withPassword).out, QByteArray("2026-02\n"));
    withPassword.insert(QStringLiteral("ZAMBREL_PASSWORD"), QStringLiteral("hunter2"));
    const Outcome wrong = runProgram(months, withPassword);
    expectFails(wrong, 1, QStringLiteral("The password does not match"), "wrong");
    EXPECT_FALSE(wrong.err.contains(QStringLiteral("hunter2"))) << "the password is never shown";
}

TEST_F(CommandLine, APasswordFileIsReadNoFurtherThanItsFirstLine)
{
    const QString secret = secretLedger(QStringLiteral("y")); // what yes(1) writes
    const QString months =
        QStringLiteral("'%1' months --ledger '%2' --password-file ").arg(QStringLiteral(ZAMBREL_EXE), secret);
    const auto shell = [&](const QString &line) {
        return runProgram({QStringLiteral("-c"), line}, environment, QStringLiteral("/bin/sh"));
    };
    // No line end within 64 KiB: a device, an endless pipe.
    for (const QString &line :
         {months + QStringLiteral("/dev/zero"),
          QStringLiteral("yes | tr -d '\\n' | ") + months + QStringLiteral("/dev/stdin")})
        expectFails(shell(line), 1, QStringLiteral("longer than 64 KiB"), line.toStdString());
    // The first line of an endless pipe is the password.
    const Outcome endless = shell(QStringLiteral("yes | ") + months + QStringLiteral("/dev/stdin"));
    EXPECT_EQ(endless.exitCode, 0) << endless.why();
    EXPECT_EQ(endless.out, QByteArray("2026-02\n"));
}

TEST_F(CommandLine, OnATerminalThePasswordIsAskedForWithoutEcho)
{
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        GTEST_SKIP() << "util-linux script is needed for a terminal";
    const QString password = QStringLiteral("sesame-42");
    const QString secret = secretLedger(password);

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

    // Ctrl+C at the question ends the program and gives the terminal its
    // echo back (the shell around it goes on to show the terminal's modes).
    QProcess interrupted;
    interrupted.setProcessEnvironment(environment);
    interrupted.start(script, {QStringLiteral("-q"), QStringLiteral("-c"),
                               QStringLiteral("trap true INT; '%1' months --ledger '%2'; stty -a")
                                   .arg(QStringLiteral(ZAMBREL_EXE), secret),
                               QStringLiteral("/dev/null")});
    QByteArray shown;
    while (!shown.contains("Password:") && interrupted.waitForReadyRead(30000))
        shown += interrupted.readAllStandardOutput();
    ASSERT_TRUE(shown.contains("Password:")) << shown.toStdString();
    interrupted.write("\x03");
    ASSERT_TRUE(interrupted.waitForFinished(30000));
    shown += interrupted.readAllStandardOutput();
    static const QRegularExpression echoOn(QStringLiteral("(^|\\s)echo(\\s|;|$)"));
    EXPECT_TRUE(echoOn.match(QString::fromUtf8(shown)).hasMatch()) << shown.toStdString();
    EXPECT_FALSE(shown.contains("2026-02"));
}

// Every refusal: the exit code (2 wrong usage, 1 failure), the reason in
// both languages, nothing on standard output, and the ledger as it was.
TEST_F(CommandLine, RefusalsSayWhyAndLeaveEverythingAsItWas)
{
    const QString notes = writeFile(file("notes.mdb"), "these are no books\n");
    const QString noise = writeFile(file("noise.csv"), "a,b,c\n1,2,3\n");
    store::createLedger(file("empty.mdb"));
    const QString secret = secretLedger(QStringLiteral("pw"));
    const QString fifo = file("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString usage = QStringLiteral("用法不对 Wrong usage");
    const QString none = file("gone.mdb");
    const struct {
        QStringList arguments;
        int code;
        QString says;
    } cases[] = {
        {words("frobnicate"), 2, usage},
        {words("report --format xml"), 2, usage},
        {words("months --password secret"), 2, usage}, // never taken as an argument
        {words("--ledger") << ledgerPath, 2, usage},
        {with("months", {}, none), 1, QStringLiteral("zambrel: 找不到账本文件 Ledger file not found")},
        {with("report", {}, notes), 1, QStringLiteral("zambrel: 不是账本文件 Not a ledger file")},
        {with("report --month 2030-01"), 1,
         QStringLiteral("zambrel: 找不到这个月份 Month not found: 2030-01")},
        {with("report", {}, file("empty.mdb")), 1,
         QStringLiteral("zambrel: 账本里还没有任何月份 The ledger holds no months yet")},
        {with("months", {}, secret), 1, QStringLiteral("需要密码")}, // no terminal: nobody to ask
        {with("months --password-file", {none}, secret), 1, QStringLiteral("Cannot read the password file")},
        {with("export --out", {notes}), 1, QStringLiteral("Cannot create the folder")},
        // A FIFO is refused at once: opening it to write would wait for a reader for ever.
        {with("backup --to", {fifo}), 1, QStringLiteral("zambrel: 备份的目标是管道")},
        {with("backup --to", {ledgerPath}), 1, QStringLiteral("cannot replace the ledger itself")},
        {with("import", {noise}), 1, QStringLiteral("zambrel: ")},
    };
    const QByteArray ledgerBytes = digestOf(ledgerPath);
    for (const auto &each : cases) {
        const Outcome result = run(each.arguments);
        expectFails(result, each.code, each.says, each.arguments.join(u' ').toStdString());
        EXPECT_TRUE(!each.says.startsWith(u"zambrel: ") || result.err.startsWith(each.says)) << result.why();
    }
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes);
    EXPECT_FALSE(QFile::exists(none)) << "a missing ledger is not created";
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // Another process holds the ledger: every subcommand gives up at once.
    QProcess holder;
    holder.start(QStringLiteral(ZAMBREL_LOCK_PROBE),
                 {QStringLiteral("hold"), store::ledgerConnectionString(ledgerPath, {})});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("holding"));
    for (const char *command : {"months", "report", "backup"})
        expectFails(on(QString::fromLatin1(command)), 1,
                    QStringLiteral("账本正在使用中 The ledger is in use"), command);
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
}

TEST_F(CommandLine, OnlyExportAndBackupWriteAndNothingChangesTheLedger)
{
    const QByteArray ledgerBytes = digestOf(ledgerPath);
    const QStringList before = listing(home.path());
    for (const char *line : {"report --format csv", "months"})
        EXPECT_EQ(on(QString::fromLatin1(line)).exitCode, 0) << line;
    EXPECT_EQ(listing(home.path()), before) << "no file, no settings, no data folder";

    EXPECT_EQ(on(QStringLiteral("export --out"), {file("out")}).exitCode, 0);
    EXPECT_EQ(on(QStringLiteral("backup --to"), {file("b.mdb")}).exitCode, 0);
    QStringList after = before + QStringList{QStringLiteral("b.mdb"), QStringLiteral("out")};
    after.sort();
    EXPECT_EQ(listing(home.path()), after);
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes);

    // No ledger at all: nothing is created in its place.
    EXPECT_EQ(run(words("months")).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(file("data"))) << "the data folder is not made";
}

TEST_F(CommandLine, HistoryListsTheStepsNewestFirstAndWritesNothing)
{
    base::setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(6, 10, 5)); });
    {
        store::Ledger books(ledgerPath, {});
        books.addItemType(QStringLiteral("宠物\n猫"), QStringLiteral("0100"));
        books.deleteItem(books.addItem(QStringLiteral("2026-06"), item("房贷", "房贷月供还贷")));
        books.undo();
    }
    base::setClock({});
    const QByteArray ledgerBytes = digestOf(ledgerPath);
    const Outcome newest = ok(QStringLiteral("history --limit 3"));
    EXPECT_EQ(QString::fromUtf8(newest.out),
              QStringLiteral("2026-12-07 06:10:05\t2026-06\t删除「房贷月供还贷」 delete\t已撤销 undone\n"
                             "2026-12-07 06:10:05\t2026-06\t添加「房贷月供还贷」 add\n"
                             "2026-12-07 06:10:05\t-\t新类型「宠物 猫」 new type\n"));
    EXPECT_EQ(on(QStringLiteral("history")).out.count('\n'), 4) << "and the journal page of the fixture";
    // The steps kept are the setting's, as in the windows.
    writeFile(file("settings.ini"), "[history]\nsteps=2\n");
    EXPECT_EQ(on(QStringLiteral("history")).out.count('\n'), 2);
    EXPECT_EQ(digestOf(ledgerPath), ledgerBytes) << "read-only";
}

TEST_F(CommandLine, ImportPrintsThePlanWritesOneUndoableStepAndNothingTwice)
{
    // A WeChat Pay bill: two payments in July, one that failed and a row
    // with no amount.
    const QString bill = writeFile(
        file("wechat.csv"),
        bills::fixtures::weChatCsv(
            {QStringLiteral(
                 "2026-07-02 08:00:00,商户消费,早餐店,包子,支出,¥12.50,零钱,支付成功,4200001,m1,/"),
             QStringLiteral("2026-07-03 08:00:00,商户消费,书店,杂志,支出,¥30.00,零钱,支付成功,4200002,m2,/"),
             QStringLiteral("2026-07-04 08:00:00,商户消费,书店,杂志,支出,¥9.00,零钱,支付失败,4200003,m3,/"),
             QStringLiteral("2026-07-05 08:00:00,商户消费,书店,杂志,支出,,零钱,支付成功,4200004,m4,/")}));
    const QByteArray before = digestOf(ledgerPath);
    const Outcome dry = ok(QStringLiteral("import"), {bill, QStringLiteral("--dry-run")});
    EXPECT_EQ(QString::fromUtf8(dry.out).trimmed().split(u'\n'),
              (QStringList{QStringLiteral("2026-07\t未归类\t未归类支出\t42.50\t0.00\t2\t新建 new"),
                           QStringLiteral("合计 Total\t\t\t42.50\t0.00\t2")}));
    EXPECT_TRUE(dry.err.contains(QStringLiteral("Line 21 not read"))) << dry.why();
    EXPECT_TRUE(dry.err.contains(QStringLiteral("2 new, 0 imported before, 1 skipped"))) << dry.why();
    EXPECT_EQ(digestOf(ledgerPath), before) << "a dry run writes nothing";

    EXPECT_EQ(ok(QStringLiteral("import"), {bill}).out, dry.out);
    const Outcome again = ok(QStringLiteral("import"), {bill});
    EXPECT_TRUE(again.err.contains(QStringLiteral("0 new, 2 imported before"))) << again.why();
    store::Ledger books(ledgerPath, {});
    EXPECT_EQ(books.monthItems(QStringLiteral("2026-07")).size(), 1u);
    ASSERT_TRUE(books.undo());
    EXPECT_TRUE(books.monthItems(QStringLiteral("2026-07")).empty());
}

TEST_F(CommandLine, ABankStatementIsReadThroughTheMappingOfItsSource)
{
    const QString statement = writeFile(file("bank.csv"), "Datum;Text;Betrag\n03.04.2026;Bäcker;-12,50\n");
    bills::BankCsvMapping mapping;
    mapping.separator = u';';
    mapping.decimalComma = true;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.amountColumn = 2;
    {
        store::Ledger books(ledgerPath, {});
        books.saveBankMapping(QStringLiteral("Sparkasse"), bills::mappingToJson(mapping));
    }
    const Outcome read = ok(QStringLiteral("import"), {statement, QStringLiteral("--dry-run")});
    EXPECT_TRUE(read.out.startsWith("2026-04\t未归类\t未归类支出\t12.50\t")) << read.why();
    EXPECT_TRUE(read.err.contains(bills::readWithMappingText(QStringLiteral("Sparkasse")))) << read.why();
    EXPECT_TRUE(read.err.contains(QStringLiteral("The dates read in another order too; read as 日月年")))
        << "03.04.2026 is read day first, and said to be so" << read.why();

    // Another source reads the same lines month first: the person chooses.
    mapping.dateOrder = bills::DateOrder::MonthDayYear;
    {
        store::Ledger books(ledgerPath, {});
        books.saveBankMapping(QStringLiteral("Bank of Elsewhere"), bills::mappingToJson(mapping));
    }
    const Outcome ambiguous = on(QStringLiteral("import"), {statement, QStringLiteral("--dry-run")});
    EXPECT_EQ(ambiguous.exitCode, 1);
    EXPECT_TRUE(ambiguous.err.contains(QStringLiteral("Bank of Elsewhere、Sparkasse"))) << ambiguous.why();
    const Outcome chosen =
        ok(QStringLiteral("import"), {statement, QStringLiteral("--dry-run"), QStringLiteral("--source"),
                                      QStringLiteral("Bank of Elsewhere")});
    EXPECT_TRUE(chosen.out.startsWith("2026-03\t")) << chosen.why();
    const Outcome unknown =
        on(QStringLiteral("import"), {statement, QStringLiteral("--source"), QStringLiteral("Nowhere")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("No column mapping for “Nowhere”"))) << unknown.why();
}

} // namespace
