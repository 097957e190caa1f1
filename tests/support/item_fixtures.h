#pragma once

// Ledger set-ups shared by the ledger, input, panel, history and host tests.

#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_records.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace zambrel::testkit {

/// An item of `type` named `name`, its amounts in this order: income, actual
/// spending, planned spending, down payment, total cost, loan total, monthly
/// repayment (the ones left out stay 0).
inline store::Item itemOf(const QString &type, const QString &name, const std::vector<double> &amounts = {},
                          const QString &memo = {})
{
    store::Item item;
    item.type = type;
    item.name = name;
    item.memo = memo;
    double *fields[] = {&item.income,    &item.actualSpending, &item.plannedSpending, &item.downPayment,
                        &item.totalCost, &item.loanTotal,      &item.monthlyRepayment};
    int at = 0;
    for (const double amount : amounts)
        *fields[at++] = amount;
    return item;
}

/// Whether a ledger opens on `path` with `password` (not while another holds it).
inline bool opensWith(const QString &path, const QString &password = {})
{
    try {
        store::Ledger probe(path, password);
        return true;
    } catch (const store::DbError &) {
        return false;
    }
}

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The kind of the ledger error `action` throws; a test failure when it throws none.
inline store::ErrorKind kindOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const store::DbError &error) {
        return error.kind();
    }
    ADD_FAILURE() << "nothing was thrown";
    return store::ErrorKind::Other;
}

} // namespace zambrel::testkit
