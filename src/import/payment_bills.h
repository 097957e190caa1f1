#pragma once

#include "import/bill.h"
#include "import/table_row.h"

#include <array>
#include <optional>
#include <vector>

namespace zambrel::bills {

/// What a column of a payment app's bill holds.
enum class BillColumn {
    Date,
    DateFallback, ///< read when Date is empty (older Alipay: creation time beside payment time)
    Counterparty,
    Description,
    Amount,
    Flow, ///< 收/支
    Status,
    Category,
    Number,
    MerchantNumber,
    Refunded,  ///< older Alipay: 成功退款（元）
    FundState, ///< older Alipay: 资金状态
    Count
};

/// Where a payment app's table sits in a file: the format, the header's row
/// and the column of each kind (-1 where the bill has none).
struct PaymentTable {
    BillFormat format = BillFormat::AlipayCsv;
    std::size_t headerRow = 0;
    std::array<int, std::size_t(BillColumn::Count)> columns{};
};

/// Finds the header of an Alipay or WeChat Pay table among the rows (the
/// account lines above it are passed over); columns are found by their
/// names, blanks and full-width brackets aside. From a sheet only WeChat
/// Pay's layout counts.
std::optional<PaymentTable> findPaymentTable(const std::vector<TableRow> &rows, bool fromSheet);

/// Reads the rows under the header into `bill` (transactions and problems)
/// until a line of dashes, where the summary begins; blank rows are passed
/// over. Sets the holder's name when a line above the header gives it.
void readPaymentRows(const std::vector<TableRow> &rows, const PaymentTable &table, Bill &bill);

} // namespace zambrel::bills
