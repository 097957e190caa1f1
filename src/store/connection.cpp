#include "connection.h"

#include "connection_string.h"
#include "db_error.h"
#include "jet_sql.h"
#include "ledger_schema.h"
#include "record_set.h"
#include "record_set_impl.h"
#include "safe_file.h"
#include "sqlite_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>

namespace zambrel::store {
namespace {

QByteArray passwordDigest(const QString &password, const QByteArray &salt)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

void exec(sqlite3 *db, const char *sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

/// Refuses, by reading its first bytes only, a file that cannot be a ledger
/// (an empty one would otherwise become a database on the first write), or
/// whose password cannot be the one given.
void checkLedgerHeader(const QString &path, const QString &password)
{
    switch (lookAtLedgerFile(path)) {
    case LedgerFileLook::Missing:
        throw DbError(kErrGeneric, QStringLiteral("找不到账本文件 Ledger file not found: ") + path);
    case LedgerFileLook::Unreadable: {
        QFile file(path);
        file.open(QIODevice::ReadOnly); // fails again; only its reason is wanted
        throw DbError(kErrGeneric, QStringLiteral("无法读取账本文件 Cannot read the ledger file: ") + path +
                                       QStringLiteral(" (") + file.errorString() + QLatin1Char(')'));
    }
    case LedgerFileLook::NotADatabase:
        throw DbError(kErrGeneric, QStringLiteral("不是账本文件 Not a ledger file"));
    case LedgerFileLook::Unencrypted:
        // The engine would only say "not a database" when keyed.
        if (!password.isEmpty())
            throw DbError(kErrGeneric,
                          QStringLiteral("密码不符 The password does not match: the ledger has no password"));
        break;
    case LedgerFileLook::Encrypted:
        // An encrypted ledger begins with random bytes; without a password
        // only a plain one can be meant.
        if (password.isEmpty())
            throw DbError(kErrGeneric,
                          QStringLiteral("密码错误或不是账本文件 Wrong password or not a ledger file"));
        break;
    }
}

/// The handle on `path`, keyed with `password`; nothing is read yet.
SqliteHandle openKeyed(const QString &path, const QString &password, int flags)
{
    sqlite3 *raw = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing file must never become a new, empty ledger.
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw sqliteError(db.get(), rc);
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        if (sqlite3_key(db.get(), key.constData(), int(key.size())) != SQLITE_OK)
            throw sqliteError(db.get(), SQLITE_ERROR);
    }
    // A second opener (this process or another) fails at once instead of waiting.
    sqlite3_busy_timeout(db.get(), 0);
    return db;
}

/// Checks that the tables and columns the program uses are all there. The
/// first read of the file also tells a wrong password.
/// @throws DbError naming what is missing.
void checkLedgerSchema(sqlite3 *db)
{
    const QueryResult tables = run(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"));
    QHash<QString, QSet<QString>> columns;
    for (const auto &row : tables.rows)
        columns.insert(row.at(0).toString().toLower(), {});
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
            // The names are the program's own; PRAGMA takes no parameters.
            const QueryResult info = run(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            const int name = int(info.names.indexOf(QStringLiteral("name")));
            for (const auto &row : info.rows)
                found->insert(row.at(std::size_t(name)).toString().toLower());
        }
        if (found != columns.end() && !found->contains(column.toLower()))
            missing << required;
    }
    if (tablesFound == 0)
        throw DbError(kErrGeneric, QStringLiteral("不是账本文件 Not a ledger file"));
    if (!missing.isEmpty())
        throw DbError(kErrGeneric, QStringLiteral("账本已损坏：缺少 ") + missing.join(QStringLiteral("、")) +
                                       QStringLiteral(" Ledger damaged: missing ") +
                                       missing.join(QStringLiteral(", ")));
}

/// Opens an existing ledger file. Nothing is written to a file that is
/// refused: its header is read first, then its password and schema are
/// checked by reading, and only then is it locked exclusively.
void openLedgerFile(ConnectionImpl &impl, const QString &path, const QString &password)
{
    if (path.isEmpty())
        throw DbError(kErrGeneric, QStringLiteral("没有指定账本文件 No ledger file given"));
    checkLedgerHeader(path, password);

    // One keyed handle: deriving the key is most of an opening's cost. It
    // reads (proving the password) and checks the schema before anything
    // can be written; only a journal left by a crash in a file that took the
    // password is played back by that first read.
    SqliteHandle db = openKeyed(path, password, SQLITE_OPEN_READWRITE);
    exec(db.get(), "SELECT count(*) FROM sqlite_master");
    checkLedgerSchema(db.get());
    // Share-deny-read/write: hold the exclusive lock from now until close.
    exec(db.get(), "PRAGMA locking_mode=EXCLUSIVE");
    exec(db.get(), "BEGIN EXCLUSIVE");
    exec(db.get(), "COMMIT");

    registerJetFunctions(db.get());
    sqlite3_busy_timeout(db.get(), impl.commandTimeout * 1000);
    impl.db = std::move(db);
    impl.path = QFileInfo(path).absoluteFilePath();
    impl.digestSalt = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    impl.passwordDigest = passwordDigest(password, impl.digestSalt);
}

/// The connection string with the password replaced.
QString withPassword(const QString &connectionString, const QString &password)
{
    static const QString key = QStringLiteral("Jet OLEDB:Database Password=");
    const qsizetype at = connectionString.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return connectionString + QLatin1Char(';') + key + quoteConnectionValue(password);
    // The password value is the last part the program writes; keep anything
    // that follows it.
    const QString rest = connectionString.mid(at + key.size());
    qsizetype end = -1;
    if (rest.startsWith(QLatin1Char('"'))) {
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (rest[i] == QLatin1Char('"')) {
                if (i + 1 < rest.size() && rest[i + 1] == QLatin1Char('"')) {
                    ++i;
                    continue;
                }
                end = rest.indexOf(QLatin1Char(';'), i);
                break;
            }
        }
    } else {
        end = rest.indexOf(QLatin1Char(';'));
    }
    return connectionString.left(at) + key + quoteConnectionValue(password) +
           (end < 0 ? QString() : rest.mid(end));
}

/// Re-keys the open ledger: the data is exported into a new file under the
/// new key, which then replaces the ledger in one rename; a crash leaves
/// either the old or the new file, never a half-keyed one.
void changePassword(ConnectionImpl &impl, const jet::PasswordChange &change)
{
    if (passwordDigest(change.oldPassword, impl.digestSalt) != impl.passwordDigest)
        throw DbError(kErrGeneric, QStringLiteral("密码不符 The password does not match"));

    const QString path = impl.path;
    const QString temporary =
        path + QStringLiteral(".rekey-") + QString::number(QRandomGenerator::global()->generate(), 16);
    // The connection may not create files; an empty file is an empty
    // database. Private from the start: the new file becomes the ledger.
    ::close(createPrivateFile(temporary));
    sqlite3 *db = impl.db.get();
    try {
        StatementHandle attach = prepare(db, QStringLiteral("ATTACH DATABASE ?1 AS rekeyed KEY ?2"));
        bindValue(db, attach.get(), 1, QString::fromLocal8Bit(QFile::encodeName(temporary)));
        bindValue(db, attach.get(), 2,
                  change.newPassword.isEmpty() ? QVariant(QString()) : change.newPassword);
        runPrepared(db, attach.get());
        try {
            run(db, QStringLiteral("SELECT sqlcipher_export('rekeyed')"));
        } catch (...) {
            sqlite3_exec(db, "DETACH DATABASE rekeyed", nullptr, nullptr, nullptr);
            throw;
        }
        exec(db, "DETACH DATABASE rekeyed");
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }

    // Release the file, put the new one in its place, take it again.
    impl.db.reset();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        openLedgerFile(impl, path, change.oldPassword);
        throw DbError(kErrGeneric, QStringLiteral("无法替换账本文件 Cannot replace the ledger file"));
    }
    openLedgerFile(impl, path, change.newPassword);
    impl.connectionString = withPassword(impl.connectionString, change.newPassword);
}

} // namespace

Connection::Connection() : m_impl(std::make_shared<ConnectionImpl>()) {}
Connection::~Connection()
{
    close();
}
Connection::Connection(Connection &&) noexcept = default;
Connection &Connection::operator=(Connection &&other) noexcept
{
    if (this != &other) {
        close();
        m_impl = std::move(other.m_impl);
    }
    return *this;
}

namespace {
ConnectionImpl &ensureImpl(std::shared_ptr<ConnectionImpl> &impl)
{
    if (!impl)
        impl = std::make_shared<ConnectionImpl>();
    return *impl;
}
} // namespace

void Connection::setConnectionString(const QString &text)
{
    ensureImpl(m_impl).connectionString = text;
}

QString Connection::connectionString() const
{
    return m_impl ? m_impl->connectionString : QString();
}

void Connection::setCommandTimeout(int seconds)
{
    ConnectionImpl &impl = ensureImpl(m_impl);
    impl.commandTimeout = seconds < 0 ? 0 : seconds;
    if (impl.db)
        sqlite3_busy_timeout(impl.db.get(), impl.commandTimeout * 1000);
}

int Connection::commandTimeout() const
{
    return m_impl ? m_impl->commandTimeout : 30;
}

void Connection::open(const QString &connectionString, const QString &, const QString &, int)
{
    ConnectionImpl &impl = ensureImpl(m_impl);
    if (impl.db)
        throw DbError(kErrGeneric, QStringLiteral("连接已经打开 The connection is already open"));
    if (!connectionString.isEmpty())
        impl.connectionString = connectionString;
    const ConnectionString parsed(impl.connectionString);
    const QString provider = parsed.provider();
    if (!provider.isEmpty() &&
        provider.compare(QLatin1String("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) != 0)
        throw DbError(kErrGeneric, QStringLiteral("不支持的数据提供程序 Unsupported provider: ") + provider);
    openLedgerFile(impl, parsed.dataSource(), parsed.password());
}

int Connection::state() const
{
    return m_impl && m_impl->db ? adStateOpen : adStateClosed;
}

std::unique_ptr<RecordSet> Connection::execute(const QString &sql, int)
{
    if (!m_impl || !m_impl->db)
        throw closedError();
    if (const auto change = jet::parsePasswordChange(sql)) {
        changePassword(*m_impl, *change);
        return nullptr;
    }
    QueryResult result = run(m_impl->db.get(), jet::translate(sql));
    if (!result.returnsRows)
        return nullptr;
    auto records = std::make_unique<RecordSet>();
    records->m_impl->connection = m_impl;
    records->m_impl->load(std::move(result), sql);
    return records;
}

void Connection::close() noexcept
{
    if (m_impl) {
        m_impl->db.reset();
        m_impl->path.clear();
        m_impl->passwordDigest.clear();
    }
}

QString Connection::dataSource() const
{
    return m_impl && m_impl->db ? m_impl->path : QString();
}

} // namespace zambrel::store
