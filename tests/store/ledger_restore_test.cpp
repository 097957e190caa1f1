// Restoring a backup into the open ledger: the books become the backup's,
// table by table, under the ledger's own password and lock; a backup that
// cannot be taken (another password, damaged, the ledger itself) and a
// failure half-way leave the ledger as it was, still held.
#include "ledger_fixture.h"

#include <unistd.h>

using namespace zambrel;
using namespace zambrel::store;
using testkit::kindOf;
using testkit::kInUse;
using testkit::page;

namespace {

Item itemNamed(const QString &name, double amount)
{
    Item item = testkit::item(QStringLiteral("工资"), name, amount);
    item.memo = QStringLiteral("备注 ") + name;
    item.totalCost = 2 * amount;
    return item;
}

using testkit::Books;
using testkit::booksOf;

class Restore : public testkit::LedgerFixture, public ::testing::WithParamInterface<const char *> {
protected:
    void SetUp() override
    {
        password = QString::fromUtf8(GetParam());
        backup = dir.filePath(QStringLiteral("books_2026-05-31_bak.mdb"));
        make();
        for (int n = 0; n < 40; ++n)
            ledger->addItem(QStringLiteral("2026-05"), itemNamed(QStringLiteral("五月 %1").arg(n), n));
        ledger->addItemType(QStringLiteral("书籍"), QStringLiteral("0100"));
        ledger->saveJournalPage(page(QStringLiteral("2026-05-31"), QStringLiteral("月底")));
        ledger->backupTo(backup);
        saved = booksOf(*ledger);

        // What happened after the backup, and is to be undone.
        ledger->carryForward(QStringLiteral("2026-05"), QStringLiteral("2026-06"));
        ledger->deleteItem(3);
        Item changed = itemNamed(QStringLiteral("改过"), 99);
        changed.code = 7;
        ledger->changeItem(changed);
        ledger->addItemType(QStringLiteral("旅行"), QStringLiteral("0100"));
        ledger->saveJournalPage(page(QStringLiteral("2026-05-31"), QStringLiteral("改写")));
        ledger->saveJournalPage(page(QStringLiteral("2026-06-01"), QStringLiteral("六月")));
        later = booksOf(*ledger);
    }

    QString backup;
    Books saved;
    Books later;
};

TEST_P(Restore, TheBooksBecomeTheBackupsTableByTableAndTheLedgerStaysHeld)
{
    ledger->restoreFrom(backup, password);
    EXPECT_EQ(booksOf(*ledger), saved);
    EXPECT_EQ(testkit::secondProcessTries(path, password), kInUse) << "the restore let the ledger go";
    EXPECT_EQ(ledger->integrityProblems(), QStringList());
    EXPECT_EQ(ledger->addItem(QStringLiteral("2026-06"), itemNamed(QStringLiteral("next"), 1)), 41)
        << "new items are numbered on from the backup's";
    ledger.reset();
    EXPECT_EQ(booksOf(Ledger(backup, password, Access::ReadOnly)), saved) << "the backup is only read";
}

TEST_P(Restore, ABackupThatCannotBeTakenLeavesTheLedgerAsItWasAndHeld)
{
    const QString damaged = dir.filePath(QStringLiteral("damaged.mdb"));
    ASSERT_TRUE(QFile::copy(backup, damaged));
    testkit::damageTablePages(damaged, password, QStringLiteral("Asset"));
    const QString noise = testkit::writeFile(dir.filePath(QStringLiteral("noise.mdb")), QByteArray(100, 'x'));
    const QString linked = dir.filePath(QStringLiteral("linked.mdb"));
    ASSERT_TRUE(QFile::link(path, linked));
    const QString hardLinked = dir.filePath(QStringLiteral("hard.mdb"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(hardLinked).constData()), 0);
    // A newer version's tables and columns would not come along.
    const QString newer = dir.filePath(QStringLiteral("newer.mdb"));
    ASSERT_TRUE(QFile::copy(backup, newer));
    Connection(newer, password).execute(QStringLiteral("PRAGMA user_version = %1").arg(kLedgerVersion + 1));

    const struct {
        QString file;
        QString password;
        ErrorKind expected;
    } refusals[] = {
        // (Another password, a missing file and the ledger by its own name: the restore logic's test.)
        {damaged, password, ErrorKind::Damaged},       {noise, password, ErrorKind::NotALedger},
        {dir.path(), password, ErrorKind::NotALedger}, {linked, password, ErrorKind::Other},
        {hardLinked, password, ErrorKind::Other},      {newer, password, ErrorKind::Other},
    };
    for (const auto &refusal : refusals) {
        EXPECT_EQ(kindOf([&] { ledger->restoreFrom(refusal.file, refusal.password); }), refusal.expected)
            << qPrintable(refusal.file);
        EXPECT_EQ(booksOf(*ledger), later);
        EXPECT_EQ(testkit::secondProcessTries(path, password), kInUse) << qPrintable(refusal.file);
    }
    ledger->restoreFrom(backup, password);
    EXPECT_EQ(booksOf(*ledger), saved);
}

// A failure at any step of the copy rolls it back; the backup is let go, so
// the next attempt can take it.
TEST_P(Restore, AFailureHalfWayRollsBackAndTheNextAttemptSucceeds)
{
    for (const char *step : {"restore-begun", "restore-table", "restore-copied"}) {
        qputenv("ZAMBREL_TEST_POINT", QByteArray("fail:") + step);
        EXPECT_EQ(kindOf([&] { ledger->restoreFrom(backup, password); }), ErrorKind::InputOutput) << step;
        qunsetenv("ZAMBREL_TEST_POINT");
        EXPECT_EQ(booksOf(*ledger), later);
        EXPECT_EQ(testkit::secondProcessTries(path, password), kInUse) << step;
    }
    ledger->restoreFrom(backup, password);
    EXPECT_EQ(booksOf(*ledger), saved);
}

INSTANTIATE_TEST_SUITE_P(EncryptedAndPlain, Restore, ::testing::Values("pw 密码", ""));

TEST(RestoreAcrossPasswordsAndVersions, TheLedgerKeepsItsPasswordAndItsOwnTables)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    const QString earlier = dir.filePath(QStringLiteral("earlier.mdb"));
    createLedger(earlier, QStringLiteral("old password"));
    {
        // An earlier version's ledger: no history, a table of its own.
        Connection raw(earlier, QStringLiteral("old password"));
        raw.execute(QStringLiteral("CREATE TABLE Gone (x)"));
        raw.execute(QStringLiteral("INSERT INTO Gone VALUES (1)"));
    }
    testkit::writeItems(earlier, QStringLiteral("2025-12"), {itemNamed(QStringLiteral("旧"), 5)},
                        QStringLiteral("old password"));

    createLedger(path, QStringLiteral("new"));
    {
        // A table kept by a trigger, which must not write while the rows go in.
        Connection raw(path, QStringLiteral("new"));
        raw.execute(QStringLiteral("CREATE TABLE Added (step INTEGER PRIMARY KEY AUTOINCREMENT, code)"));
        raw.execute(QStringLiteral("CREATE TRIGGER AssetAdded AFTER INSERT ON Asset "
                                   "BEGIN INSERT INTO Added (code) VALUES (new.code); END"));
    }
    auto ledger = std::make_unique<Ledger>(path, QStringLiteral("new"));
    for (int n = 0; n < 5; ++n)
        ledger->addItem(QStringLiteral("2026-01"), itemNamed(QStringLiteral("新 %1").arg(n), n));
    ASSERT_EQ(ledger->historySteps().size(), 5u);

    ledger->restoreFrom(earlier, QStringLiteral("old password"));
    EXPECT_EQ(ledger->newestMonths(), QStringList{QStringLiteral("2025-12")});
    EXPECT_TRUE(ledger->historySteps().empty()) << "the history is the backup's: it had none";
    EXPECT_FALSE(ledger->nextUndo()) << "nothing undoes into books that are gone";
    EXPECT_EQ(ledger->addItem(QStringLiteral("2026-02"), itemNamed(QStringLiteral("after"), 1)), 2);
    EXPECT_EQ(ledger->historySteps().size(), 1u);
    ledger.reset();

    EXPECT_EQ(kindOf([&] { Ledger(path, QStringLiteral("old password")); }), ErrorKind::WrongPassword);
    const Connection raw(path, QStringLiteral("new"));
    EXPECT_EQ(testkit::valueOf(raw, "SELECT group_concat(code) FROM Added").toString(), QStringLiteral("2"))
        << "the table is the backup's (none), the trigger back for what follows";
    EXPECT_EQ(testkit::valueOf(raw, "PRAGMA user_version").toInt(), kLedgerVersion)
        << "the ledger keeps its own version and tables";
    EXPECT_EQ(testkit::valueOf(raw, "SELECT count(*) FROM sqlite_master WHERE name = 'Gone'").toInt(), 0);
}

} // namespace
