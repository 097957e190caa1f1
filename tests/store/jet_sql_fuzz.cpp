// libFuzzer target: the Jet SQL tokenizer, translator, password parser and
// LIKE matcher must never crash, and tokens must rebuild their text.
#include "store/db_error.h"
#include "store/jet_sql.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString joined;
    for (const auto &token : zambrel::store::jet::tokenize(sql))
        joined += token.text;
    if (joined != sql)
        std::abort();
    zambrel::store::jet::translate(sql);
    zambrel::store::jet::baseTable(sql);
    try {
        zambrel::store::jet::parsePasswordChange(sql);
    } catch (const zambrel::store::DbError &) {
    }
    const qsizetype half = sql.size() / 2;
    zambrel::store::jet::like(QStringView(sql).left(half), QStringView(sql).mid(half));
    return 0;
}
