#include "store/connection_string.h"

#include <gtest/gtest.h>

using namespace zambrel::store;

// Whatever a path or password holds, the string the logon builds reads back
// exactly: a blank at either end is part of the name, not padding.
TEST(ConnectionString, PathsAndPasswordsReadBackExactly)
{
    const QString values[] = {
        QStringLiteral("books.mdb"),
        QStringLiteral("led.mdb "),
        QStringLiteral(" led.mdb"),
        QStringLiteral("\tled.mdb\t"),
        QStringLiteral("   "),
        QStringLiteral("a;b.mdb"),
        QStringLiteral("say \"hi\".mdb"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\" lead"),
        QStringLiteral("账本 2024.mdb "),
        QString(),
    };
    for (const QString &path : values) {
        for (const QString &password : values) {
            const ConnectionString parsed(ledgerConnectionString(path, password));
            EXPECT_EQ(parsed.dataSource(), path) << qPrintable(path) << " / " << qPrintable(password);
            EXPECT_EQ(parsed.password(), password) << qPrintable(path) << " / " << qPrintable(password);
            EXPECT_EQ(parsed.provider(), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        }
    }
    // Values without anything to protect stay as they are.
    EXPECT_EQ(quoteConnectionValue(QStringLiteral("books.mdb")), QStringLiteral("books.mdb"));
    EXPECT_EQ(quoteConnectionValue(QStringLiteral("led.mdb ")), QStringLiteral("\"led.mdb \""));
}
