#include "ledger/ledger_queries.h"

#include "store/connection.h"
#include "store/db_error.h"
#include "store/db_routines.h"
#include "store/mod_db.h"
#include "store/record_set.h"

namespace zambrel::ledger {

std::unique_ptr<store::RecordSet> readRows(const QString &sql)
{
    const std::shared_ptr<store::Connection> connection = store::modDB::connection();
    if (connection && connection->state() == store::adStateOpen) {
        std::unique_ptr<store::RecordSet> rows = connection->execute(sql);
        if (rows)
            return rows;
    } else if (std::unique_ptr<store::RecordSet> rows = store::OpenReadRS(sql)) {
        return rows;
    }
    throw store::DbError(store::kErrGeneric, QStringLiteral("无法查询。"));
}

double AssetTotal(const QString &monthKey)
{
    const QString sql = QStringLiteral("SELECT SUM([TotalCost]) AS T  ") +
                        QStringLiteral(" FROM [Asset]  WHERE ([Types] IN ( select AssetType.[types] from  "
                                       "[AssetType] WHERE AssetType.[KIND] LIKE '[0-1][0-1]1[0-1]') )") +
                        QStringLiteral("  AND  [Asset].[months]='") + store::sqlText(monthKey) +
                        QStringLiteral("'");
    try {
        const std::unique_ptr<store::RecordSet> rows = readRows(sql);
        if (rows->eof() || rows->isNull(rows->fieldName(0)))
            return 0;
        return rows->value(0).toDouble();
    } catch (const std::exception &) {
        return 0; // a failed query counts as no assets
    }
}

} // namespace zambrel::ledger
