// Fills a small disk (a tmpfs of its own, so root only) while the program
// writes: nothing already saved is lost, an earlier backup survives, and
// every failure says that the disk is full.
#include "test_support.h"

#include "host/error_report.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace zambrel;
using namespace zambrel::store;

namespace {

const QString kDiskFull = QStringLiteral("磁盘已满 Disk full: ");

Item itemNamed(const QString &name, double income)
{
    Item item;
    item.type = QStringLiteral("工资");
    item.name = name;
    item.memo = QString(100, QLatin1Char('m'));
    item.income = income;
    return item;
}

} // namespace

TEST(DiskFull, AddsCarryForwardAndBackupFailSayingSoAndLoseNothing)
{
    testkit::SmallDisk disk("2m");
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.why());

    const QString path = disk.file(QStringLiteral("books.mdb"));
    const QString backup = disk.file(QStringLiteral("books_bak.mdb"));
    createLedger(path, QStringLiteral("pw"));
    auto ledger = std::make_unique<Ledger>(path, QStringLiteral("pw"));
    for (int n = 0; n < 300; ++n)
        ledger->addItem(QStringLiteral("2024-01"), itemNamed(QStringLiteral("saved %1").arg(n), n));
    ledger->backupTo(backup);
    QFile earlier(backup);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray earlierBytes = earlier.readAll();
    earlier.close();
    disk.fill();

    // Adds fit into space the ledger already holds for a while, then fail.
    int added = 0;
    std::optional<DbError> addFailure;
    for (; added < 10000 && !addFailure; ++added) {
        try {
            ledger->addItem(QStringLiteral("2024-02"), itemNamed(QStringLiteral("new %1").arg(added), added));
        } catch (const DbError &error) {
            addFailure = error;
            --added;
        }
    }
    ASSERT_TRUE(addFailure) << "the disk never filled";
    EXPECT_EQ(addFailure->kind(), ErrorKind::DiskFull);
    EXPECT_EQ(addFailure->description(), kDiskFull + path);

    // A carry-forward of the whole month: none of it, and the message says why.
    std::optional<DbError> carryFailure;
    try {
        ledger->carryForward(QStringLiteral("2024-01"), QStringLiteral("2024-03"));
    } catch (const DbError &error) {
        carryFailure = error;
    }
    ASSERT_TRUE(carryFailure);
    EXPECT_EQ(carryFailure->kind(), ErrorKind::DiskFull);
    {
        testkit::ScriptedResponder responder;
        host::reportError(*carryFailure, host::ErrorRoad::BatchWrite);
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_EQ(responder.shown()[0].text, kDiskFull + path) << "not \"check the input format\"";
    }
    EXPECT_TRUE(ledger->monthItems(QStringLiteral("2024-03")).empty());

    // A backup over the earlier one: that one survives whole.
    try {
        ledger->backupTo(backup);
        ADD_FAILURE() << "a backup fitted on a full disk";
    } catch (const DbError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::DiskFull);
        EXPECT_EQ(error.description(), kDiskFull + backup);
    }
    QFile survived(backup);
    ASSERT_TRUE(survived.open(QIODevice::ReadOnly));
    EXPECT_EQ(survived.readAll(), earlierBytes);
    EXPECT_EQ(QDir(disk.file({})).entryList({QStringLiteral("*.tmp-*")}), QStringList())
        << "no half copy left";

    // A password change: refused as it is, the ledger stays open under the
    // old password and held, with no copy left beside it.
    try {
        ledger->changePassword(QStringLiteral("pw"), QStringLiteral("new"));
        ADD_FAILURE() << "a re-keyed copy fitted on a full disk";
    } catch (const DbError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::DiskFull) << qPrintable(error.description());
    }
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("pw")),
              "error 账本正在使用中 The ledger is in use");
    EXPECT_EQ(QDir(disk.file({})).entryList({QStringLiteral("books.mdb.*")}), QStringList());
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2024-01")).size(), 300u);

    // A new ledger on the full disk says so too.
    try {
        createLedger(disk.file(QStringLiteral("other.mdb")));
        ADD_FAILURE() << "a ledger was made on a full disk";
    } catch (const DbError &error) {
        EXPECT_EQ(error.kind(), ErrorKind::DiskFull);
        EXPECT_TRUE(error.description().startsWith(kDiskFull)) << qPrintable(error.description());
    }
    EXPECT_FALSE(QFile::exists(disk.file(QStringLiteral("other.mdb"))));

    // Room again, opened afresh: everything saved before is there and sound.
    ledger.reset();
    disk.makeRoom();
    EXPECT_THROW(Ledger(path, QStringLiteral("new")), DbError) << "the password stayed the old one";
    Ledger reopened(path, QStringLiteral("pw"));
    EXPECT_EQ(reopened.integrityProblems(), QStringList());
    EXPECT_EQ(reopened.monthItems(QStringLiteral("2024-01")).size(), 300u);
    const std::vector<Item> kept = reopened.monthItems(QStringLiteral("2024-02"));
    ASSERT_EQ(kept.size(), std::size_t(added));
    for (int n = 0; n < added; ++n)
        EXPECT_EQ(kept[std::size_t(n)].name, QStringLiteral("new %1").arg(n));
    EXPECT_TRUE(reopened.monthItems(QStringLiteral("2024-03")).empty());
    EXPECT_EQ(Ledger(backup, QStringLiteral("pw")).integrityProblems(), QStringList());
}
