#pragma once

#include "import/bill.h"

#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// The identity under which each transaction is remembered once imported,
/// in the bill's order. A transaction with a number is its source's name and
/// the number ("alipay:2024…", "wechat:4200…"; the two Alipay layouts share
/// their numbers), a bank's with its date and signed amount in cents before
/// the number ("bank:2024-03-05:-2800:R123"). A bank's row without a number
/// is "row:" and a hash of its date, signed amount (in cents) and every cell
/// of its row, whichever columns the mapping reads: a mapping set up again
/// later, or another account's statement holding the same payment beside
/// another balance, does not change or share it. Any other is "hash:" and a
/// hash of its date, signed amount, counterparty and description. Both end
/// in "#" and how many rows of the bill up to it share that hash: two
/// genuinely identical rows of one bill both count, and a bill overlapping
/// an earlier one by whole days gives its rows the same identities.
QStringList transactionIdentities(const std::vector<BillTransaction> &transactions);

/// The identities earlier versions gave the transactions, in the bill's
/// order: for a bank's row without a number its "hash:" form as any other
/// row's; empty where it is the same as transactionIdentities(). What they
/// imported is recognised by it.
QStringList earlierIdentities(const std::vector<BillTransaction> &transactions);

} // namespace zambrel::bills
