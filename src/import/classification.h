#pragma once

#include "import/bill.h"

#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// What a row of a bill is, beyond an ordinary payment or income.
enum class RowKind {
    Ordinary,
    Refund,       ///< money back for an earlier payment
    OwnTransfer,  ///< between the holder's own accounts (不计收支, a transfer to oneself)
    NotCompleted, ///< closed, failed, cancelled or fully refunded: no money moved
};

/// What importing a row does to its item.
enum class Effect {
    None,           ///< nothing: money neither spent nor earned
    AddSpending,    ///< adds to the actual spending (实际) of an item
    AddIncome,      ///< adds to the monthly income of an item
    ReduceSpending, ///< a refund of a payment: takes from the actual spending
    ReduceIncome,   ///< a refund of an income: takes from the monthly income
};

struct RowClass {
    RowKind kind = RowKind::Ordinary;
    QString reason;    ///< why the row is skipped (bilingual); empty for ordinary rows
    int refundOf = -1; ///< for a refund: the row it refunds, when the bill holds it
    Effect effect = Effect::None;

    /// Rows other than ordinary ones are not imported unless ticked by hand.
    bool skippedByDefault() const { return kind != RowKind::Ordinary; }
};

/// Classifies every transaction of the bill, in its order. Tried in turn:
/// a refund (its kind or status says 退款, or its description starts so; the
/// row it refunds is the one whose transaction number starts its own before
/// "_" or "*", or that shares its merchant number); a transaction that did
/// not complete (交易关闭, 已全额退款, failed, cancelled, awaiting payment, or
/// refunded in full by the older Alipay layout's count); a transfer between
/// one's own accounts (neither income nor expense, or a transfer whose
/// counterparty is the holder or one of `ownNames`).
std::vector<RowClass> classifyTransactions(const Bill &bill, const QStringList &ownNames = {});

} // namespace zambrel::bills
