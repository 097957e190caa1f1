#include "ledger_schema.h"

#include "db_error.h"
#include "safe_file.h"
#include "sqlite_support.h"
#include "statement.h"

#include "base/app_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zambrel::store {
namespace {

// Text columns compare without regard to ASCII letter case, as the program's
// statements expect of "=" and of sorting.
const char *const kSchema = R"sql(
CREATE TABLE Asset (
  code INTEGER PRIMARY KEY AUTOINCREMENT,
  months TEXT COLLATE NOCASE,
  types TEXT COLLATE NOCASE,
  name TEXT COLLATE NOCASE,
  memo TEXT COLLATE NOCASE,
  InComePerMonth REAL DEFAULT 0,
  PayPerMonth REAL DEFAULT 0,
  willPayPerMonth REAL DEFAULT 0,
  FirstPay REAL DEFAULT 0,
  TotalCost REAL DEFAULT 0,
  Debet REAL DEFAULT 0,
  DebetPerMonth REAL DEFAULT 0
);
CREATE INDEX AssetMonths ON Asset(months);
-- Serves the month's total per category and, covering the summed amounts,
-- the trend series without visiting the table.
CREATE INDEX AssetTypesMonths ON Asset(types, months, InComePerMonth, PayPerMonth, TotalCost, Debet);
CREATE TABLE AssetType (
  types TEXT COLLATE NOCASE,
  kind TEXT COLLATE NOCASE,
  "index" INTEGER
);
CREATE INDEX AssetTypeTypes ON AssetType(types);
CREATE TABLE log (
  dates TEXT COLLATE NOCASE UNIQUE,
  g1 TEXT COLLATE NOCASE, g2 TEXT COLLATE NOCASE, g3 TEXT COLLATE NOCASE,
  g4 TEXT COLLATE NOCASE, g5 TEXT COLLATE NOCASE, g6 TEXT COLLATE NOCASE,
  g7 TEXT COLLATE NOCASE, g8 TEXT COLLATE NOCASE, g9 TEXT COLLATE NOCASE
);
)sql";

struct StarterType {
    const char *name;
    const char *kind;
};

// income, expenditure, asset, liability
const StarterType kStarterTypes[] = {
    {"工资", "1000"}, {"奖金", "1000"},     {"股利", "1000"}, {"利息", "1000"},   {"日常开销", "0100"},
    {"房租", "0100"}, {"水电燃气", "0100"}, {"交通", "0100"}, {"通讯", "0100"},   {"教育", "0100"},
    {"医疗", "0100"}, {"保险", "0100"},     {"房贷", "0100"}, {"房产", "0011"},   {"汽车", "0011"},
    {"股票", "0010"}, {"基金", "0010"},     {"存款", "0010"}, {"信用卡", "0001"},
};

void writeLedger(const QString &file, const QString &password)
{
    // The file exists already (empty, owner-only); the engine keeps its mode.
    SqliteHandle db = openHandle(file, password, false);
    Transaction transaction(db.get());
    runSql(db.get(), kSchema);
    Statement insert(db.get(), "INSERT INTO AssetType (types, kind, \"index\") VALUES (?1, ?2, ?3)");
    qint64 index = 0;
    for (const StarterType &type : kStarterTypes) {
        insert.bind(1, QString::fromUtf8(type.name));
        insert.bind(2, QString::fromLatin1(type.kind));
        insert.bind(3, ++index);
        insert.run();
    }
    transaction.commit();
}

} // namespace

void createLedger(const QString &path, const QString &password)
{
    if (QFileInfo::exists(path))
        throw DbError(ErrorKind::Other,
                      QStringLiteral("账本文件已经存在 The ledger file exists already: ") + path);
    const QString temporary =
        path + QStringLiteral(".new-") + QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileError(errno, path);
    ::close(fd);
    try {
        writeLedger(temporary, password);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    // link() refuses to replace an existing file, so a ledger made meanwhile
    // by someone else is never overwritten.
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(path);
    if (::link(from.constData(), to.constData()) != 0) {
        int error = errno;
        if (error != EEXIST && !QFileInfo::exists(path)) {
            if (std::rename(from.constData(), to.constData()) == 0)
                return;
            error = errno;
        }
        QFile::remove(temporary);
        throw fileError(error, path);
    }
    QFile::remove(temporary);
}

std::optional<LedgerFileLook> lookAtPath(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? LedgerFileLook::Missing : LedgerFileLook::Unreadable;
    if (S_ISDIR(info.st_mode))
        return LedgerFileLook::Folder;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return LedgerFileLook::Device;
    if (S_ISFIFO(info.st_mode))
        return LedgerFileLook::Pipe;
    if (!S_ISREG(info.st_mode))
        return LedgerFileLook::Special;
    // Databases are written in whole pages of at least 512 bytes. An empty
    // file would be a new database to the engine, made on its first write.
    constexpr qint64 kSmallestPage = 512;
    if (info.st_size < kSmallestPage || info.st_size % kSmallestPage != 0)
        return LedgerFileLook::NotADatabase;
    return std::nullopt;
}

bool isPlainHeader(const QByteArray &head)
{
    static const QByteArray plainHeader("SQLite format 3\0", 16);
    return head == plainHeader;
}

bool hasPlainHeader(sqlite3 *db)
{
    return isPlainHeader(EngineFile(db).read(0, 16));
}

LedgerFileLook lookAtLedgerFile(const QString &path)
{
    if (const std::optional<LedgerFileLook> look = lookAtPath(path))
        return *look;
    try {
        const SqliteHandle db = openHandle(path, {}, true);
        return hasPlainHeader(db.get()) ? LedgerFileLook::Unencrypted : LedgerFileLook::Encrypted;
    } catch (const DbError &) {
        return LedgerFileLook::Unreadable;
    }
}

QString ensureDefaultLedger()
{
    const QString path = base::defaultLedgerPath();
    if (!QFileInfo::exists(path)) {
        try {
            createLedger(path);
        } catch (const DbError &) {
            // Made by another start at the same moment: that one will do.
            if (!QFileInfo::exists(path))
                throw;
        }
    }
    return path;
}

const QStringList &requiredLedgerColumns()
{
    static const QStringList columns = [] {
        QStringList all;
        for (const char *column : {"code", "months", "types", "name", "memo", "InComePerMonth", "PayPerMonth",
                                   "willPayPerMonth", "FirstPay", "TotalCost", "Debet", "DebetPerMonth"})
            all << QStringLiteral("Asset.") + QLatin1String(column);
        for (const char *column : {"types", "kind", "index"})
            all << QStringLiteral("AssetType.") + QLatin1String(column);
        all << QStringLiteral("log.dates");
        for (int field = 1; field <= 9; ++field)
            all << QStringLiteral("log.g") + QString::number(field);
        return all;
    }();
    return columns;
}

void checkLedgerSchema(const Connection &connection)
{
    QHash<QString, QSet<QString>> columns;
    Statement tables(connection, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (tables.step())
        columns.insert(tables.text(0).toLower(), {});
    QStringList missing;
    int tablesFound = 0;
    QString lastTable;
    for (const QString &required : requiredLedgerColumns()) {
        const QString table = required.section(QLatin1Char('.'), 0, 0);
        const QString column = required.section(QLatin1Char('.'), 1);
        const auto found = columns.find(table.toLower());
        if (table != lastTable) {
            lastTable = table;
            if (found == columns.end()) {
                missing << table;
                continue;
            }
            ++tablesFound;
            // The names are the program's own; PRAGMA takes no values.
            const QByteArray pragma = "PRAGMA table_info(\"" + table.toUtf8() + "\")";
            Statement info(connection, pragma.constData());
            while (info.step())
                found->insert(info.text(1).toLower());
        }
        if (found != columns.end() && !found->contains(column.toLower()))
            missing << required;
    }
    if (tablesFound == 0)
        throw DbError(ErrorKind::NotALedger, connection.path());
    if (!missing.isEmpty())
        throw DbError::missingParts(missing);
}

} // namespace zambrel::store
