// Fills a small disk (a tmpfs of its own, so root only) while the program
// writes: nothing already saved is lost, an earlier backup survives, and
// every failure says that the disk is full.
#include "ledger_fixture.h"

#include "host/error_report.h"

#include <QDir>

using namespace zambrel;
using namespace zambrel::store;
using testkit::errorOf;

namespace {

const QString kDiskFull = QStringLiteral("磁盘已满 Disk full: ");

Item itemNamed(const QString &name, double income)
{
    Item item = testkit::item(QStringLiteral("工资"), name, income);
    item.memo = QString(100, QLatin1Char('m'));
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
    const QByteArray earlierBytes = testkit::bytesOf(backup);
    disk.fill();

    // Adds fit into space the ledger already holds for a while, then fail.
    int added = 0;
    std::optional<DbError> addFailure;
    for (; added < 10000; ++added) {
        addFailure = errorOf([&] {
            ledger->addItem(QStringLiteral("2024-02"), itemNamed(QStringLiteral("new %1").arg(added), added));
        });
        if (addFailure)
            break;
    }
    ASSERT_TRUE(addFailure) << "the disk never filled";
    EXPECT_EQ(addFailure->kind(), ErrorKind::DiskFull);
    EXPECT_EQ(addFailure->description(), kDiskFull + path);

    // A carry-forward of the whole month: none of it, and the message says why.
    const auto carryFailure =
        errorOf([&] { ledger->carryForward(QStringLiteral("2024-01"), QStringLiteral("2024-03")); });
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
    const auto backupFailure = errorOf([&] { ledger->backupTo(backup); });
    ASSERT_TRUE(backupFailure) << "a backup fitted on a full disk";
    EXPECT_EQ(backupFailure->description(), kDiskFull + backup);
    EXPECT_EQ(testkit::bytesOf(backup), earlierBytes);
    EXPECT_EQ(QDir(disk.file({})).entryList({QStringLiteral("*.tmp-*")}), QStringList())
        << "no half copy left";

    // A password change: refused as it is, the ledger stays open under the
    // old password and held, with no copy left beside it.
    EXPECT_EQ(testkit::kindOf([&] { ledger->changePassword(QStringLiteral("pw"), QStringLiteral("new")); }),
              ErrorKind::DiskFull);
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("pw")), testkit::kInUse);
    EXPECT_EQ(QDir(disk.file({})).entryList({QStringLiteral("books.mdb.*")}), QStringList());
    EXPECT_EQ(ledger->monthItems(QStringLiteral("2024-01")).size(), 300u);

    // A new ledger on the full disk says so too.
    const auto createFailure = errorOf([&] { createLedger(disk.file(QStringLiteral("other.mdb"))); });
    ASSERT_TRUE(createFailure) << "a ledger was made on a full disk";
    EXPECT_TRUE(createFailure->description().startsWith(kDiskFull))
        << qPrintable(createFailure->description());
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

TEST(DiskFull, ARestoreThatDoesNotFitLeavesTheBooksAsTheyWere)
{
    testkit::SmallDisk disk("2m");
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.why());
    QTemporaryDir elsewhere;
    const QString backup = elsewhere.filePath(QStringLiteral("large.mdb"));
    createLedger(backup, QStringLiteral("pw"));
    std::vector<Item> large;
    for (int n = 0; n < 3000; ++n)
        large.push_back(itemNamed(QStringLiteral("large %1").arg(n), n));
    testkit::writeItems(backup, QStringLiteral("2023-01"), large, QStringLiteral("pw"));
    const QString path = disk.file(QStringLiteral("books.mdb"));
    createLedger(path, QStringLiteral("pw"));
    Ledger ledger(path, QStringLiteral("pw"));
    for (int n = 0; n < 20; ++n)
        ledger.addItem(QStringLiteral("2024-01"), itemNamed(QStringLiteral("kept %1").arg(n), n));
    disk.fill();

    const auto failure = errorOf([&] { ledger.restoreFrom(backup, QStringLiteral("pw")); });
    ASSERT_TRUE(failure) << "a restore fitted on a full disk";
    EXPECT_EQ(failure->description(), kDiskFull + path);
    EXPECT_EQ(ledger.monthItems(QStringLiteral("2024-01")).size(), 20u);
    EXPECT_TRUE(ledger.monthItems(QStringLiteral("2023-01")).empty());
    EXPECT_EQ(testkit::secondProcessTries(path, QStringLiteral("pw")), testkit::kInUse);
    disk.makeRoom();
    ledger.restoreFrom(backup, QStringLiteral("pw"));
    EXPECT_EQ(ledger.monthItems(QStringLiteral("2023-01")).size(), 3000u);
    EXPECT_EQ(ledger.integrityProblems(), QStringList());
}
