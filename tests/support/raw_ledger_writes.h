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

} // namespace zambrel::testkit
