// libFuzzer target: any bytes, read as a bill (and as a bank statement
// through a mapping), must neither crash nor yield a transaction without a
// date or with an amount that is negative or out of range; the preview and
// plan over what was read must hold too.
#include "import/bill_preview.h"
#include "import/bill_reader.h"
#include "import/field_values.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zambrel::bills;

namespace {

void check(const BillReadResult &read)
{
    if (!read.ok())
        return;
    for (const BillTransaction &t : read.bill.transactions) {
        if (!t.date.isValid() || !(t.amount >= 0) || t.amount > kMaxAmount || t.line < 1)
            std::abort();
    }
    const BillPreview preview(read.bill, {{QStringLiteral("a"), RuleSide::Any, 0.0, 100.0, {}}}, {});
    const ImportPlan plan = preview.plan({}, {});
    if (plan.transactions > int(read.bill.transactions.size()) || !std::isfinite(plan.spending))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(readBill(bytes));

    BankCsvMapping mapping;
    mapping.separator = u';';
    mapping.decimalComma = true;
    mapping.skipLines = 1;
    mapping.skipTrailingLines = 1;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.debitColumn = 2;
    mapping.creditColumn = 3;
    check(readBill(bytes, mapping));
    return 0;
}
