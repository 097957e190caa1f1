#include "command_line.h"

#include "password_source.h"

#include "base/app_paths.h"
#include "base/scope_guard.h"
#include "history/step_texts.h"
#include "import/books/bill_import.h"
#include "ledger/export/csv_text.h"
#include "ledger/export/ledger_export.h"
#include "ledger/maintenance/backup.h"
#include "ledger/report/month_report.h"
#include "ledger/report/report_formats.h"
#include "ledger/restore/backup_list.h"
#include "ledger/restore/restore_ledger.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace zambrel::cli {
namespace {

enum class Subcommand { Months, Report, Export, Backup, Backups, Restore, History, Import };

struct SubcommandText {
    Subcommand command;
    const char *name;
    const char *summary;
    const char *description;
};

const std::array<SubcommandText, 8> kSubcommands = {{
    {Subcommand::Months, "months", "the stored months, newest first",
     "Lists the months the ledger holds, newest first, one a line."},
    {Subcommand::Report, "report", "a month's categories, totals, shares and assessment",
     "Prints a month as the main window shows it: the four categories with their rows, totals and "
     "shares, the status line and the written assessment. The month is the latest stored unless "
     "--month names another."},
    {Subcommand::Export, "export", "the items, types and journal as CSV files",
     "Writes items.csv, types.csv and journal.csv (RFC 4180, UTF-8, a header row) into the folder "
     "--out names (made owner-only when missing), and prints their paths. A file of the same name "
     "there is replaced."},
    {Subcommand::Backup, "backup", "a dated copy of the ledger",
     "Writes a complete copy of the ledger, by default beside it as NAME_yyyy-mm-dd_bak.mdb, and "
     "prints its path. The copy has the ledger's password. A file already there is replaced (and "
     "standard error says so); a folder, FIFO, device or link there is refused."},
    {Subcommand::Backups, "backups", "the ledger's backups and safety copies, newest first",
     "Lists the dated backups beside the ledger and the safety copies kept before a carry-forward, a "
     "password change or a restore, newest first, one a line: date and time, size in bytes, newest "
     "month, its number of items, the check (可用 OK, 密码不同 Other password, 已损坏 Damaged, 版本较新 "
     "Newer version) and the path, separated by tabs. Each backup is opened read-only with the "
     "ledger's password."},
    {Subcommand::Restore, "restore", "puts a backup's books in place of the ledger's",
     "Replaces the ledger's books with those of BACKUP, which must open with the ledger's password (or "
     "the one --backup-password-file gives) and pass the integrity check. A safety copy of the ledger "
     "as it was is kept first; its path is printed. The ledger keeps its path and password, and is "
     "held against other programs throughout."},
    {Subcommand::History, "history", "the steps that can be undone and redone",
     "Lists the steps the ledger's history keeps, newest first, one a line: when, the month it "
     "changed (- for none), what it did, and \"已撤销 undone\" for a step undone and not yet redone. "
     "Fields are separated by tabs. --limit N lists the newest N only."},
    {Subcommand::Import, "import", "adds a payment app's bill or a bank statement to the books",
     "Reads FILE (an Alipay or WeChat Pay bill, CSV or XLSX, or a bank statement through a column mapping "
     "set up in the import window: the one kept for --source NAME, else the kept mapping that reads the "
     "file, named on standard error), places its transactions with the ledger's import rules and prints the "
     "plan, "
     "one line per month and item: month, type, item, spending added, income added, transactions, and "
     "\"新建 new\" for an item that is created. Fields are separated by tabs; a last line gives the totals. "
     "Transactions imported before, refunds, transfers between one's own accounts and closed ones are "
     "left out, and standard error counts them; rows that could not be read are listed there with their "
     "line numbers. Without --dry-run the plan is written as one step that can be undone."},
}};

/// Every option; each subcommand takes some of them.
struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Displays this help (after a command: that command's help).")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays version information and the skins in use.")};
    QCommandLineOption dataDir{QStringLiteral("data-dir"), QStringLiteral("Folder of the ledgers."),
                               QStringLiteral("DIR")};
    QCommandLineOption ledger{QStringLiteral("ledger"),
                              QStringLiteral("The ledger file (default: the one the program would open)."),
                              QStringLiteral("FILE")};
    QCommandLineOption passwordFile{QStringLiteral("password-file"),
                                    QStringLiteral("Read the ledger's password from the first line of FILE."),
                                    QStringLiteral("FILE")};
    QCommandLineOption backupPasswordFile{
        QStringLiteral("backup-password-file"),
        QStringLiteral(
            "Read the backup's password, when it is not the ledger's, from the first line of FILE."),
        QStringLiteral("FILE")};
    QCommandLineOption month{QStringLiteral("month"),
                             QStringLiteral("The month to report (default: the latest stored)."),
                             QStringLiteral("yyyy-mm")};
    QCommandLineOption format{QStringLiteral("format"), QStringLiteral("text (default), csv or json."),
                              QStringLiteral("text|csv|json")};
    QCommandLineOption out{QStringLiteral("out"), QStringLiteral("The folder to write the CSV files into."),
                           QStringLiteral("DIR")};
    QCommandLineOption bom{QStringLiteral("bom"),
                           QStringLiteral("For spreadsheet programs: start each file with a byte order mark "
                                          "and put a ' before text that would be read as a formula.")};
    QCommandLineOption to{QStringLiteral("to"), QStringLiteral("Where to write the copy."),
                          QStringLiteral("FILE")};
    QCommandLineOption limit{QStringLiteral("limit"), QStringLiteral("List the newest N steps only."),
                             QStringLiteral("N")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Print the plan without writing it.")};
    QCommandLineOption source{
        QStringLiteral("source"),
        QStringLiteral("Read a bank statement through the column mapping kept for NAME."),
        QStringLiteral("NAME")};
};

const Options &options()
{
    static const Options instance;
    return instance;
}

const SubcommandText *subcommandNamed(const QString &name)
{
    for (const SubcommandText &text : kSubcommands) {
        if (name == QLatin1String(text.name))
            return &text;
    }
    return nullptr;
}

QString generalDescription()
{
    QString text = QStringLiteral("Household cash-flow books, month by month. Without a command the program "
                                  "opens its windows.\n\nCommands (zambrel COMMAND --help tells more):\n");
    for (const SubcommandText &command : kSubcommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name).leftJustified(7),
                         QString::fromLatin1(command.summary));
    text +=
        QStringLiteral("\nA ledger's password comes from --password-file, from the environment variable "
                       "ZAMBREL_PASSWORD, or is asked for when standard input is a terminal; never from an "
                       "argument.\nExit status: 0 done, 1 failed, 2 wrong usage.");
    return text;
}

/// Fills `parser` with what `command` takes; with no command, every option
/// (to find the command wherever it stands among them).
void prepare(QCommandLineParser &parser, const SubcommandText *command, bool everything)
{
    const Options &o = options();
    parser.addOption(o.help);
    parser.addOption(o.version);
    parser.addOption(o.dataDir);
    const auto takes = [&](Subcommand which) { return everything || (command && command->command == which); };
    if (everything || command) {
        parser.addOption(o.ledger);
        parser.addOption(o.passwordFile);
    }
    if (takes(Subcommand::Report)) {
        parser.addOption(o.month);
        parser.addOption(o.format);
    }
    if (takes(Subcommand::Export)) {
        parser.addOption(o.out);
        parser.addOption(o.bom);
    }
    if (takes(Subcommand::Backup))
        parser.addOption(o.to);
    if (takes(Subcommand::Restore))
        parser.addOption(o.backupPasswordFile);
    if (takes(Subcommand::History))
        parser.addOption(o.limit);
    if (takes(Subcommand::Import)) {
        parser.addOption(o.dryRun);
        parser.addOption(o.source);
    }
    if (command) {
        parser.setApplicationDescription(QString::fromUtf8(command->description));
        parser.addPositionalArgument(QString::fromLatin1(command->name),
                                     QString::fromLatin1(command->summary));
        if (command->command == Subcommand::Restore)
            parser.addPositionalArgument(QStringLiteral("BACKUP"), QStringLiteral("The backup to restore."));
        if (command->command == Subcommand::Import)
            parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The bill to import."));
    } else {
        parser.setApplicationDescription(generalDescription());
        parser.addPositionalArgument(
            QStringLiteral("command"),
            QStringLiteral("months, report, export, backup, backups, restore, history or import."),
            QStringLiteral("[command]"));
    }
}

/// Standard output that cannot take what is written (a full disk, a closed
/// output) fails the command: a script must not read a cut-off listing as
/// the whole of it.
class OutputFailed : public std::runtime_error {
public:
    explicit OutputFailed(int error)
        : std::runtime_error(QStringLiteral("无法写出结果 Cannot write the output (%1)")
                                 .arg(QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString())
    {
    }
};

void writeOut(const QByteArray &bytes)
{
    errno = 0;
    const std::size_t written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    if (std::fflush(stdout) != 0 || written != std::size_t(bytes.size()) || std::ferror(stdout))
        throw OutputFailed(errno ? errno : EIO);
}

void writeError(const QString &text)
{
    const QByteArray bytes = (QStringLiteral("zambrel: ") + text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kWrongUsage = 2;

/// Text the user gave, as a message repeats it: control characters made
/// visible, and cut after `length` characters, so that a pasted page does
/// not flood the terminal.
QString shown(const QString &given, qsizetype length = 40)
{
    const QString visible = ledger::controlPictures(given.left(length));
    return given.size() > length ? visible + u'…' : visible;
}

/// The parser's own sentence, which repeats an unknown option whole.
QString parserError(const QCommandLineParser &parser)
{
    return shown(parser.errorText(), 100);
}

int wrongUsage(const QString &reason, const SubcommandText *command = nullptr)
{
    writeError(QStringLiteral("用法不对 Wrong usage: ") + reason);
    const QString help = command ? QStringLiteral("zambrel %1 --help").arg(QString::fromLatin1(command->name))
                                 : QStringLiteral("zambrel --help");
    writeError(QStringLiteral("请看 See: ") + help);
    return kWrongUsage;
}

/// What a subcommand was asked to do, checked before the ledger is opened.
struct Request {
    Subcommand command = Subcommand::Months;
    QString ledgerPath;
    PasswordSource password;
    QString month;
    ledger::ReportFormat format = ledger::ReportFormat::Text;
    QString outFolder;
    bool forSpreadsheets = false;
    QString backupTarget;
    QString restoredBackup;
    QString backupPasswordFile; ///< restore: empty when the backup has the ledger's password
    int limit = -1;             ///< history: the newest steps to list; -1 for all
    QString bill;               ///< import: the bill file
    bool dryRun = false;
    std::optional<QString> source; ///< import: the bank statement's source, when given
};

std::unique_ptr<store::Ledger> openLedger(const Request &request)
{
    QString password = passwordFor(request.ledgerPath, request.password);
    // Every subcommand but a restore and an import only reads the ledger, so
    // each works on a ledger the user cannot write; other programs still
    // cannot write it meanwhile.
    const bool writes =
        request.command == Subcommand::Restore || (request.command == Subcommand::Import && !request.dryRun);
    const store::Access access = writes ? store::Access::ReadWrite : store::Access::ReadOnly;
    try {
        auto books = std::make_unique<store::Ledger>(request.ledgerPath, password, access);
        forgetPassword(password);
        // The steps kept are the person's setting here too: a write trims
        // by it and the history lists by it.
        books->setHistoryLimit(history::historyLimitSetting());
        return books;
    } catch (...) {
        forgetPassword(password);
        throw;
    }
}

void listMonths(const store::Ledger &books)
{
    QByteArray text;
    for (const QVariantList &row : books.allMonthsTable().rows) {
        if (!row.isEmpty() && !row.front().isNull())
            text += row.front().toString().toUtf8() + '\n';
    }
    writeOut(text);
}

void report(store::Ledger &books, const Request &request)
{
    QString month = request.month;
    if (month.isEmpty()) {
        month = books.latestMonth();
        if (month.isEmpty())
            throw store::DbError(store::ErrorKind::Other,
                                 QStringLiteral("账本里还没有任何月份 The ledger holds no months yet"));
    }
    writeOut(ledger::formatReport(ledger::monthReport(books, month), request.format));
}

void exportTables(const store::Ledger &books, const Request &request)
{
    ledger::ExportOptions exportOptions;
    exportOptions.forSpreadsheets = request.forSpreadsheets;
    QByteArray text;
    for (const QString &path : ledger::exportLedger(books, request.outFolder, exportOptions))
        text += QDir::toNativeSeparators(path).toUtf8() + '\n';
    writeOut(text);
}

void backUp(const store::Ledger &books, const Request &request)
{
    const ledger::BackupCopy copy = ledger::backUpLedger(books, request.backupTarget);
    const QString path = QDir::toNativeSeparators(QFileInfo(copy.path).absoluteFilePath());
    // The path stays the one line of output that scripts read.
    if (copy.replaced)
        writeError(QStringLiteral("已替换原有的文件 Replaced the file that was there: ") + path);
    writeOut(path.toUtf8() + '\n');
}

void listBackups(const store::Ledger &books)
{
    QByteArray text;
    for (const ledger::BackupEntry &entry : ledger::listBackups(books)) {
        const QStringList cells = {entry.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                   QString::number(entry.size),
                                   entry.newestMonth,
                                   QString::number(entry.newestMonthItems),
                                   ledger::backupCheckText(entry.check),
                                   QDir::toNativeSeparators(entry.path)};
        text += cells.join(u'\t').toUtf8() + '\n';
    }
    writeOut(text);
}

void listHistory(const store::Ledger &books, const Request &request)
{
    QByteArray text;
    for (const store::HistoryStep &step : books.historySteps(request.limit)) {
        QString line = history::stepTime(step) + u'\t' +
                       (step.month.isEmpty() ? QStringLiteral("-") : step.month) + u'\t' +
                       ledger::controlPictures(history::stepWhat(step));
        if (step.undone)
            line += QStringLiteral("\t已撤销 undone");
        text += line.toUtf8() + '\n';
    }
    writeOut(text);
}

void restore(store::Ledger &books, const Request &request)
{
    std::optional<QString> backupPassword;
    const auto forget = base::ScopeGuard([&backupPassword] {
        if (backupPassword)
            forgetPassword(*backupPassword);
    });
    if (!request.backupPasswordFile.isEmpty())
        backupPassword = passwordFromFile(request.backupPasswordFile);
    const QString copy = ledger::restoreLedger(books, request.restoredBackup, backupPassword);
    writeError(QStringLiteral("已从备份恢复 Restored from the backup: ") +
               QDir::toNativeSeparators(request.restoredBackup));
    // The safety copy's path is the one line of output that scripts read.
    writeOut(QDir::toNativeSeparators(copy).toUtf8() + '\n');
}

QString cents(double amount)
{
    return QString::number(amount, 'f', 2);
}

int importBill(store::Ledger &books, const Request &request)
{
    const bills::BillReadResult read = bills::readBillFor(books, request.bill, request.source);
    if (!read.ok()) {
        writeError(read.failure);
        return kFailed;
    }
    if (!read.source.isEmpty())
        writeError(bills::readWithMappingText(ledger::controlPictures(read.source)));
    for (const QString &warning : bills::readingWarnings(read.bill))
        writeError(warning);
    for (const bills::RowProblem &problem : read.bill.problems)
        writeError(QStringLiteral("第 %1 行未能读取 Line %1 not read: ").arg(problem.line) +
                   ledger::controlPictures(problem.reason));
    const bills::BillPreview preview = bills::previewFor(books, read.bill);
    int duplicates = 0, skipped = 0;
    for (const bills::PreviewRow &row : preview.rows()) {
        if (row.ticked)
            continue;
        if (row.state() == bills::RowState::Duplicate)
            ++duplicates;
        else
            ++skipped;
    }
    const bills::ImportPlan plan = bills::planFor(books, preview);
    QByteArray text;
    for (const bills::PlanLine &line : plan.lines) {
        QStringList cells = {line.month,
                             ledger::controlPictures(line.item.type),
                             ledger::controlPictures(line.item.name),
                             cents(line.spending),
                             cents(line.income),
                             QString::number(line.transactions)};
        if (line.create)
            cells << QStringLiteral("新建 new");
        text += cells.join(u'\t').toUtf8() + '\n';
    }
    text += QStringList{QStringLiteral("合计 Total"), QString(),          QString(),
                        cents(plan.spending),         cents(plan.income), QString::number(plan.transactions)}
                .join(u'\t')
                .toUtf8() +
            '\n';
    writeOut(text);
    writeError(QStringLiteral("%1 笔新交易，%2 笔已导入过，%3 笔跳过 %1 new, %2 imported before, %3 skipped")
                   .arg(plan.transactions)
                   .arg(duplicates)
                   .arg(skipped));
    if (request.dryRun) {
        writeError(QStringLiteral("试运行，没有写入 Dry run: nothing written"));
    } else if (bills::applyPlan(books, plan, request.bill)) {
        writeError(QStringLiteral("已导入，可以撤销 Imported as one step that can be undone"));
    }
    return kDone;
}

int run(const Request &request)
{
    try {
        const std::unique_ptr<store::Ledger> books = openLedger(request);
        switch (request.command) {
        case Subcommand::Months:
            listMonths(*books);
            break;
        case Subcommand::Report:
            report(*books, request);
            break;
        case Subcommand::Export:
            exportTables(*books, request);
            break;
        case Subcommand::Backup:
            backUp(*books, request);
            break;
        case Subcommand::Backups:
            listBackups(*books);
            break;
        case Subcommand::Restore:
            restore(*books, request);
            break;
        case Subcommand::History:
            listHistory(*books, request);
            break;
        case Subcommand::Import:
            return importBill(*books, request);
        }
    } catch (const store::DbError &error) {
        writeError(error.description());
        return kFailed;
    } catch (const std::exception &error) {
        writeError(QString::fromLocal8Bit(error.what()));
        return kFailed;
    }
    return kDone;
}

QString absolute(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace

std::optional<WindowStart> windowStart(const QStringList &arguments, WindowSystemOptions windowSystem)
{
    QCommandLineParser parser;
    prepare(parser, nullptr, true);
    if (!parser.parse(arguments)) {
        if (windowSystem == WindowSystemOptions::TakenOut)
            return std::nullopt;
        // Perhaps options of the window system (-platform NAME, -style NAME),
        // which the windows' application object takes out; a subcommand or a
        // request for help among them still runs without a window.
        static const QStringList noWindow = {QStringLiteral("-h"), QStringLiteral("--help"),
                                             QStringLiteral("-v"), QStringLiteral("--version")};
        for (const QString &argument : arguments.mid(1)) {
            if (subcommandNamed(argument) || noWindow.contains(argument))
                return std::nullopt;
        }
        return WindowStart{};
    }
    if (!parser.positionalArguments().isEmpty() || parser.isSet(options().help) ||
        parser.isSet(options().version))
        return std::nullopt;
    // Options that only a subcommand takes make no sense for the windows.
    for (const QString &name : parser.optionNames()) {
        if (!options().dataDir.names().contains(name))
            return std::nullopt;
    }
    return WindowStart{parser.value(options().dataDir)};
}

QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

bool namesSubcommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    prepare(parser, nullptr, true);
    return parser.parse(arguments) && !parser.isSet(options().help) && !parser.isSet(options().version) &&
           !parser.positionalArguments().isEmpty() && subcommandNamed(parser.positionalArguments().front());
}

int runCommandLine(const QStringList &arguments, const CommandLineContext &context)
{
    const Options &o = options();
    QCommandLineParser finder;
    prepare(finder, nullptr, true);
    if (!finder.parse(arguments))
        return wrongUsage(parserError(finder));
    const SubcommandText *command = nullptr;
    if (!finder.positionalArguments().isEmpty()) {
        command = subcommandNamed(finder.positionalArguments().front());
        if (!command)
            return wrongUsage(QStringLiteral("没有这个命令 Unknown command: ") +
                              shown(finder.positionalArguments().front()));
    }

    QCommandLineParser parser;
    prepare(parser, command, false);
    if (!parser.parse(arguments))
        return wrongUsage(parserError(parser), command);
    if (parser.isSet(o.help) || parser.isSet(o.version)) {
        try {
            writeOut(parser.isSet(o.help)    ? parser.helpText().toUtf8()
                     : context.versionReport ? context.versionReport().toUtf8()
                                             : QByteArray());
        } catch (const OutputFailed &error) {
            writeError(QString::fromStdString(error.what()));
            return kFailed;
        }
        return kDone;
    }
    if (!command)
        return wrongUsage(QStringLiteral("缺少命令 No command given"));
    const qsizetype taken =
        command->command == Subcommand::Restore || command->command == Subcommand::Import ? 2 : 1;
    if (parser.positionalArguments().size() > taken)
        return wrongUsage(QStringLiteral("多余的参数 Unexpected argument: ") +
                              shown(parser.positionalArguments().at(taken)),
                          command);

    Request request;
    request.command = command->command;
    if (parser.isSet(o.dataDir))
        base::setProgramFolder(parser.value(o.dataDir));
    request.ledgerPath = parser.isSet(o.ledger) ? absolute(parser.value(o.ledger)) : base::usualLedgerPath();
    request.password.passwordFile = parser.value(o.passwordFile);
    switch (request.command) {
    case Subcommand::Report:
        request.month = parser.value(o.month);
        if (parser.isSet(o.month) && !ledger::isMonthKey(request.month))
            return wrongUsage(QStringLiteral("月份要写成 yyyy-mm The month is written yyyy-mm: ") +
                                  shown(request.month),
                              command);
        if (parser.isSet(o.format)) {
            const auto format = ledger::reportFormatNamed(parser.value(o.format));
            if (!format)
                return wrongUsage(
                    QStringLiteral("没有这种格式 Unknown format: ") + shown(parser.value(o.format)), command);
            request.format = *format;
        }
        break;
    case Subcommand::Export:
        request.outFolder = absolute(parser.value(o.out));
        if (request.outFolder.isEmpty())
            return wrongUsage(QStringLiteral("缺少 --out Missing --out DIR"), command);
        request.forSpreadsheets = parser.isSet(o.bom);
        break;
    case Subcommand::Backup:
        request.backupTarget = absolute(parser.value(o.to));
        if (parser.isSet(o.to) && request.backupTarget.isEmpty())
            return wrongUsage(QStringLiteral("缺少文件名 --to needs a FILE"), command);
        break;
    case Subcommand::Restore:
        if (parser.positionalArguments().size() < 2 || parser.positionalArguments().at(1).isEmpty())
            return wrongUsage(QStringLiteral("缺少备份文件 Missing the BACKUP to restore"), command);
        request.restoredBackup = absolute(parser.positionalArguments().at(1));
        request.backupPasswordFile = parser.value(o.backupPasswordFile);
        break;
    case Subcommand::History:
        if (parser.isSet(o.limit)) {
            bool isNumber = false;
            request.limit = parser.value(o.limit).toInt(&isNumber);
            if (!isNumber || request.limit < 0)
                return wrongUsage(
                    QStringLiteral(
                        "--limit 要写成 0 或更大的整数 --limit takes a whole number, 0 or more: ") +
                        shown(parser.value(o.limit)),
                    command);
        }
        break;
    case Subcommand::Import:
        if (parser.positionalArguments().size() < 2 || parser.positionalArguments().at(1).isEmpty())
            return wrongUsage(QStringLiteral("缺少账单文件 Missing the FILE to import"), command);
        request.bill = absolute(parser.positionalArguments().at(1));
        request.dryRun = parser.isSet(o.dryRun);
        if (parser.isSet(o.source))
            request.source = parser.value(o.source);
        break;
    case Subcommand::Months:
    case Subcommand::Backups:
        break;
    }
    return run(request);
}

} // namespace zambrel::cli
