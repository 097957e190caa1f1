#pragma once

#include "import/bill.h"

#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// The identity under which each transaction is remembered once imported,
/// in the bill's order. A transaction with a number is its source's name and
/// the number ("alipay:2024…", "wechat:4200…"; the two Alipay layouts share
/// their numbers), a bank's with its date and signed amount in cents before
/// the number ("bank:2024-03-05:-2800:R123"). Any other is "hash:" and a hash of its date,
/// signed amount (in cents), counterparty and description, then "#" and how
/// many rows of the bill up to it share that hash: two genuinely identical
/// rows of one bill both count, and a bill overlapping an earlier one by
/// whole days gives its rows the same identities.
QStringList transactionIdentities(const std::vector<BillTransaction> &transactions);

} // namespace zambrel::bills
