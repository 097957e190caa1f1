#pragma once

#include "store/ledger_records.h"
#include "test_ledger.h"

#include <QString>

#include <memory>
#include <vector>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::testkit {

/// A household's items of one month: salary, interest, everyday spending, a
/// house with its loan, a car, shares, funds, savings and a credit-card
/// debt. `scale` varies the amounts from month to month.
std::vector<store::Item> sampleItems(double scale = 1.0);
/// `count` items of mixed types (for timing).
std::vector<store::Item> manyItems(int count);

/// writeItems() into the default ledger of the program folder, created when
/// it is missing.
void writeSampleMonth(const QString &month, double scale = 1.0);
void writeManyItems(const QString &month, int count);

/// Adds `items` under `month` through an open ledger, as the item commands do.
void addItems(store::Ledger &ledger, const QString &month, const std::vector<store::Item> &items);

/// Creates the default ledger (optionally encrypted) in the program folder
/// when it is missing and opens it as the logon does.
std::shared_ptr<store::Ledger> openDefaultLedger(const QString &password = {});

} // namespace zambrel::testkit
