#include "ledger_schema.h"

#include "base/app_paths.h"
#include "connection_string.h"
#include "db_error.h"
#include "safe_file.h"
#include "sqlite_support.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

/// Why a ledger could not be made at `path`, in the system's words.
DbError creationError(int error, const QString &path)
{
    if (isDiskFull(error))
        return fileError(error, path);
    return DbError(kErrGeneric, QStringLiteral("无法创建账本文件 Cannot create the ledger file: ") + path +
                                    QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(error)) +
                                    QLatin1Char(')'));
}

void writeLedger(const QString &file, const QString &password)
{
    sqlite3 *raw = nullptr;
    // The file exists already (empty, owner-only); the engine keeps its mode.
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw sqliteError(db.get(), rc);
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        sqlite3_key(db.get(), key.constData(), int(key.size()));
    }
    ScopedTransaction transaction(db.get());
    const int schemaRc = sqlite3_exec(db.get(), kSchema, nullptr, nullptr, nullptr);
    if (schemaRc != SQLITE_OK)
        throw sqliteError(db.get(), schemaRc);
    StatementHandle insert =
        prepare(db.get(), QStringLiteral("INSERT INTO AssetType (types, kind, \"index\") VALUES (?, ?, ?)"));
    int index = 0;
    for (const StarterType &type : kStarterTypes) {
        sqlite3_reset(insert.get());
        bindValue(db.get(), insert.get(), 1, QString::fromUtf8(type.name));
        bindValue(db.get(), insert.get(), 2, QString::fromLatin1(type.kind));
        bindValue(db.get(), insert.get(), 3, ++index);
        runPrepared(db.get(), insert.get());
    }
    transaction.commit();
}

} // namespace

void createLedger(const QString &path, const QString &password)
{
    if (QFileInfo::exists(path))
        throw DbError(kErrGeneric,
                      QStringLiteral("账本文件已经存在 The ledger file exists already: ") + path);
    const QString temporary =
        path + QStringLiteral(".new-") + QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw creationError(errno, path);
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
        throw creationError(error, path);
    }
    QFile::remove(temporary);
}

LedgerFileLook lookAtLedgerFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return LedgerFileLook::Missing;
    // Databases are written in whole pages of at least 512 bytes. An empty
    // file would be a new database to the engine, made on its first write.
    constexpr qint64 kSmallestPage = 512;
    if (info.size() < kSmallestPage || info.size() % kSmallestPage != 0)
        return LedgerFileLook::NotADatabase;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LedgerFileLook::Unreadable;
    static const QByteArray plainHeader("SQLite format 3\0", 16);
    if (file.read(plainHeader.size()) == plainHeader)
        return LedgerFileLook::Unencrypted;
    return LedgerFileLook::Encrypted;
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

QString ledgerConnectionString(const QString &ledgerPath, const QString &password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           quoteConnectionValue(ledgerPath) +
           QStringLiteral(";Mode=Share Deny Read|Share Deny Write;Persist Security Info=True;"
                          "Jet OLEDB:Database Password=") +
           quoteConnectionValue(password);
}

} // namespace zambrel::store
