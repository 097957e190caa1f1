#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <optional>
#include <vector>

namespace zambrel::store {

/// One item of a month: a row of the Asset table.
struct Item {
    qint64 code = 0; ///< assigned by the ledger; 0 for an item not yet stored
    QString month;   ///< "yyyy-mm"
    QString type;
    QString name;
    QString memo;
    double income = 0;           ///< InComePerMonth
    double actualSpending = 0;   ///< PayPerMonth
    double plannedSpending = 0;  ///< willPayPerMonth
    double downPayment = 0;      ///< FirstPay: down payment, or cost
    double totalCost = 0;        ///< TotalCost: total cost, or market value
    double loanTotal = 0;        ///< Debet: what is still owed
    double monthlyRepayment = 0; ///< DebetPerMonth
};

/// One item type: a row of the AssetType table. `kind` is the category mask,
/// four characters "0"/"1" for income, expenditure, assets, liabilities.
struct ItemType {
    QString name;
    QString kind;
    int index = 0;
};

/// The four categories a type's mask can place an item in.
enum class Category { Income, Expenditure, Assets, Liabilities };

/// One point of a trend series: a month and its sum (an empty sum is 0).
struct MonthAmount {
    QString month;
    double amount = 0;
};

/// One journal page: the day ("yyyy-mm-dd") and its nine fields g1..g9.
struct JournalPage {
    static constexpr int kFieldCount = 9;
    QString date;
    std::array<QString, kFieldCount> fields;
};

/// Rows as a query returned them, for list views that show a result as it is:
/// column names and one value list per row (a null value is a null QVariant).
struct ResultTable {
    QStringList columns;
    std::vector<QVariantList> rows;
};

/// One import rule as the ledger keeps it: text found in a transaction's
/// counterparty or description (and optionally an amount range) places it
/// in the item `type` / `name`. `side` is "any", "spending" or "income".
struct ImportRuleRecord {
    QString text;
    QString side;
    std::optional<double> minAmount;
    std::optional<double> maxAmount;
    QString type;
    QString name;

    bool operator==(const ImportRuleRecord &) const = default;
};

/// What an import adds to one item of one month.
struct ImportAddition {
    QString month;
    QString type;
    QString name;
    qint64 code = 0;     ///< the item that receives the amounts; 0: created with a planned amount of 0
    double spending = 0; ///< added to its actual spending (below 0 when refunds outweigh)
    double income = 0;   ///< added to its monthly income
};

/// Everything one import writes, as one step.
struct ImportWrite {
    QString subject;                                    ///< what the step names (the bill's file name)
    QString month;                                      ///< the month the step shows
    std::vector<ItemType> typesToCreate;                ///< name and mask; the index is the ledger's
    std::vector<ImportAddition> additions;              ///< at most one per item
    QStringList identities;                             ///< the transactions imported, remembered from now on
    std::optional<std::vector<ImportRuleRecord>> rules; ///< the rules kept from now on, if they changed
};

} // namespace zambrel::store
