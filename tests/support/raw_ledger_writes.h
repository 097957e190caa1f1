#pragma once

// Writes into a ledger file with the engine's own library, as another program
// would (link SQLCipher and define SQLITE_HAS_CODEC to use it).

#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace zambrel::testkit {

/// Runs `statements` on the unencrypted ledger at `path`, which must not be open.
inline void runRaw(const QString &path, const char *statements)
{
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &raw), SQLITE_OK);
    const int rc = sqlite3_exec(raw, statements, nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    ASSERT_EQ(rc, SQLITE_OK) << statements;
}

/// The number of items in the ledger at `path`, opened read-only by the
/// engine alone, keyed with `password` as another program keys it (the
/// engine derives the key from the password and the file's salt); -1 when
/// it does not open with that password.
inline int itemsReadByTheEngineAlone(const QString &path, const QByteArray &password)
{
    sqlite3 *raw = nullptr;
    int items = -1;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_key(raw, password.constData(), int(password.size())) == SQLITE_OK) {
        sqlite3_stmt *count = nullptr;
        if (sqlite3_prepare_v2(raw, "SELECT count(*) FROM Asset", -1, &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW)
            items = sqlite3_column_int(count, 0);
        sqlite3_finalize(count);
    }
    sqlite3_close(raw);
    return items;
}

} // namespace zambrel::testkit
