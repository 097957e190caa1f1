#include "store_test_support.h"

#include "store/db_error.h"
#include "store/record_set.h"

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::store;

namespace {

std::unique_ptr<RecordSet> updatable(Connection &connection, const QString &sql)
{
    auto records = std::make_unique<RecordSet>();
    records->setLockType(adLockBatchOptimistic);
    records->open(sql, connection);
    return records;
}

int count(Connection &connection, const QString &sql)
{
    return int(connection.execute(sql)->value(0).toLongLong());
}

TEST(RecordSetBatch, AddedRowsAreWrittenTogetherWithTheirIdentities)
{
    testkit::OpenLedger ledger;
    auto carried = updatable(*ledger.connection, QStringLiteral("select * from asset where 1=2"));
    const QString memo = QStringLiteral("O'Neil \"quoted\" memo; DROP TABLE asset; --");
    for (int i = 0; i < 3; ++i) {
        carried->addNew();
        carried->setValue(QStringLiteral("Months"), QStringLiteral("2026-05"));
        carried->setValue(QStringLiteral("TYPES"), QStringLiteral("存款"));
        carried->setValue(QStringLiteral("memo"), memo);
        carried->setValue(QStringLiteral("TotalCost"), 100.5 * (i + 1));
    }
    EXPECT_EQ(carried->pendingCount(), 3);
    carried->updateBatch();
    EXPECT_EQ(carried->pendingCount(), 0);
    carried->moveFirst();
    EXPECT_EQ(carried->value(QStringLiteral("code")).toLongLong(), 1);
    carried->moveNext();
    carried->moveNext();
    EXPECT_EQ(carried->value(QStringLiteral("code")).toLongLong(), 3);

    auto stored = ledger.connection->execute(QStringLiteral("select * from asset where code=2"));
    EXPECT_EQ(stored->value(QStringLiteral("memo")).toString(), memo);
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("totalcost")).toDouble(), 201.0);
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("Debet")).toDouble(), 0.0)
        << "unset amounts take their default";
    EXPECT_TRUE(stored->isNull(QStringLiteral("name")));
}

TEST(RecordSetBatch, AFailingRowWritesNothing)
{
    testkit::OpenLedger ledger;
    ledger.connection->execute(QStringLiteral("insert into log (dates) values('2026-05-02')"));
    auto days = updatable(*ledger.connection, QStringLiteral("select * from log where 1=2"));
    for (const char *day : {"2026-05-01", "2026-05-02", "2026-05-03"}) {
        days->addNew();
        days->setValue(QStringLiteral("dates"), QString::fromLatin1(day));
    }
    try {
        days->updateBatch();
        ADD_FAILURE() << "a duplicate day must fail";
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), kErrSyntax);
    }
    EXPECT_EQ(count(*ledger.connection, QStringLiteral("select count(*) from log")), 1);
    EXPECT_EQ(days->pendingCount(), 3) << "the rows stay pending";
}

TEST(RecordSetBatch, TypeListGrowsAndExistingRowsUpdateByKey)
{
    testkit::OpenLedger ledger;
    auto types = updatable(*ledger.connection, QStringLiteral("select * from AssetType order by types"));
    const int before = types->recordCount();
    types->addNew();
    types->setValue(QStringLiteral("types"), QStringLiteral("宠物"));
    types->setValue(QStringLiteral("kind"), QStringLiteral("0100"));
    types->setValue(QStringLiteral("index"), before + 1);
    types->updateBatch();
    EXPECT_EQ(count(*ledger.connection, QStringLiteral("select [index] from AssetType where types='宠物'")),
              before + 1);

    ledger.connection->execute(QStringLiteral("insert into asset (months,types) values('2026-01','工资')"));
    auto items = updatable(*ledger.connection, QStringLiteral("select * from asset"));
    items->setValue(QStringLiteral("InComePerMonth"), 8000.0);
    items->updateBatch();
    EXPECT_EQ(count(*ledger.connection, QStringLiteral("select InComePerMonth from asset where code=1")),
              8000);

    // Without a key an existing row cannot be told apart: refused, not guessed.
    types->moveFirst();
    types->setValue(QStringLiteral("kind"), QStringLiteral("1111"));
    EXPECT_THROW(types->updateBatch(), DbError);
}

TEST(RecordSetRows, NavigationDetachCloneAndReadOnly)
{
    testkit::OpenLedger ledger;
    auto types =
        ledger.connection->execute(QStringLiteral("select types, kind, null as nothing, 0 as zero, '' as "
                                                  "blank from AssetType order by types"));
    EXPECT_TRUE(types->isAttached());
    EXPECT_FALSE(types->bof());
    const int total = types->recordCount();
    int walked = 0;
    for (types->moveFirst(); !types->eof(); types->moveNext())
        ++walked;
    EXPECT_EQ(walked, total);
    EXPECT_EQ(types->position(), total);
    EXPECT_THROW(types->moveNext(), DbError);
    EXPECT_THROW(types->value(0), DbError);

    types->moveFirst();
    EXPECT_TRUE(types->isNull(QStringLiteral("NOTHING")));
    EXPECT_FALSE(types->isNull(QStringLiteral("zero")));
    EXPECT_EQ(types->value(QStringLiteral("zero")), QVariant(qlonglong(0)));
    EXPECT_FALSE(types->isNull(QStringLiteral("blank")));
    EXPECT_EQ(types->fieldIndex(QStringLiteral("no such")), -1);
    EXPECT_THROW(types->value(QStringLiteral("no such")), DbError);
    EXPECT_THROW(types->setValue(QStringLiteral("kind"), QStringLiteral("1")), DbError) << "read-only";
    EXPECT_THROW(types->addNew(), DbError);

    auto copy = types->clone();
    types->setActiveConnection(nullptr);
    ledger.connection->close();
    ledger.connection.reset();
    EXPECT_FALSE(types->isAttached());
    EXPECT_EQ(copy->recordCount(), total);
    EXPECT_EQ(copy->position(), 0);
    types->close();
    EXPECT_EQ(types->state(), adStateClosed);
    EXPECT_EQ(copy->state(), adStateOpen) << "the clone is independent";
    EXPECT_FALSE(copy->value(QStringLiteral("types")).toString().isEmpty());
}

TEST(RecordSetRows, BatchNeedsAnOpenConnection)
{
    testkit::OpenLedger ledger;
    auto days = updatable(*ledger.connection, QStringLiteral("select * from log where 1=2"));
    days->addNew();
    days->setValue(QStringLiteral("dates"), QStringLiteral("2026-01-01"));
    ledger.connection->close();
    EXPECT_THROW(days->updateBatch(), DbError);
    ledger.connection->open();
    days->setActiveConnection(ledger.connection.get());
    days->updateBatch();
    EXPECT_EQ(count(*ledger.connection, QStringLiteral("select count(*) from log")), 1);
}

} // namespace
