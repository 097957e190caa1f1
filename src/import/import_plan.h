#pragma once

#include "import/classification.h"
#include "import/import_rules.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// An item the books already hold: its month ("yyyy-mm"), type, name and
/// item number.
struct ExistingItem {
    QString month;
    QString type;
    QString name;
    qint64 code = 0;
};

/// One transaction as the plan takes it.
struct PlanEntry {
    QDate date;
    double amount = 0; ///< not negative; the effect says what it does
    Effect effect = Effect::None;
    ItemTarget item;
    QString identity; ///< remembered once imported
};

/// What the import adds to one item of one month.
struct PlanLine {
    QString month;
    ItemTarget item;
    bool create = false; ///< the month has no such item: it is created with a planned amount of 0
    qint64 code = 0;     ///< the existing item that receives the amounts (when not created)
    double spending = 0; ///< added to its actual spending; below zero when refunds outweigh
    double income = 0;   ///< added to its monthly income
    int transactions = 0;
};

/// An item type the import needs and the books lack, with its category mask.
struct TypeToCreate {
    QString name;
    QString mask;

    bool operator==(const TypeToCreate &) const = default;
};

struct ImportPlan {
    std::vector<PlanLine> lines;             ///< by month, then type, then name
    std::vector<TypeToCreate> typesToCreate; ///< by name
    QStringList identities;                  ///< of the transactions imported, in their order
    int transactions = 0;
    double spending = 0; ///< all lines' spending together
    double income = 0;

    /// True when the type "未归类" is among the types to create.
    bool createsUnassignedType() const;
};

/// Sums the entries per month and item (entries without effect are left
/// out). Amounts are added in whole cents, so a sum is exact to the cent. An
/// item is matched by month, type and name (blanks at either end aside); of
/// two alike, the first listed receives the amounts. A type the books lack
/// is created: "未归类" with mask 1100, another with the income and/or
/// expenditure positions of what it receives set.
ImportPlan planImport(const std::vector<PlanEntry> &entries, const std::vector<ExistingItem> &existingItems,
                      const QStringList &existingTypes);

} // namespace zambrel::bills
