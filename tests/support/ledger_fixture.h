#pragma once

// Ledgers for the store, import and journal tests: one made in a temporary
// folder and held open, items in one line, rows as stored, and a failure
// caught as the error it is.
#include "qstring_printer.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/statement.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace zambrel::testkit {

/// What a second process answers while a ledger holds the file.
inline const QByteArray kInUse = "error 账本正在使用中 The ledger is in use";

inline store::Item item(const QString &type, const QString &name, double income = 0, double spending = 0)
{
    store::Item made;
    made.type = type;
    made.name = name;
    made.income = income;
    made.actualSpending = spending;
    return made;
}

/// The item of `month` named `name`; an item of code 0 when there is none.
inline store::Item itemIn(const store::Ledger &ledger, const QString &month, const QString &name)
{
    for (const store::Item &each : ledger.monthItems(month))
        if (each.name == name)
            return each;
    return {};
}

/// Every field of an item, to compare (and print) in one go.
inline auto fieldsOf(const store::Item &i)
{
    return std::make_tuple(i.code, i.month, i.type, i.name, i.memo, i.income, i.actualSpending,
                           i.plannedSpending, i.downPayment, i.totalCost, i.loanTotal, i.monthlyRepayment);
}

inline store::JournalPage page(const QString &date, const QString &text, int field = 0)
{
    store::JournalPage made;
    made.date = date;
    made.fields[std::size_t(field)] = text;
    return made;
}

/// "2024-01" and on, one month for each `index`.
inline QString monthOf(int index)
{
    return QStringLiteral("%1-%2").arg(2024 + index / 12).arg(index % 12 + 1, 2, 10, QLatin1Char('0'));
}

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
    return path;
}

/// The store's error that `action` throws; none when it goes through.
inline std::optional<store::DbError> errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const store::DbError &error) {
        return error;
    }
    return std::nullopt;
}

/// The kind of the error `action` throws; none when it goes through.
inline std::optional<store::ErrorKind> kindOf(const std::function<void()> &action)
{
    const auto error = errorOf(action);
    return error ? std::optional(error->kind()) : std::nullopt;
}

/// Every row of `table` with its row id, in row id order, as stored.
inline std::vector<QVariantList> rowsOf(const store::Connection &connection, const char *table)
{
    const QByteArray sql = QByteArray("SELECT rowid, * FROM ") + table + " ORDER BY rowid";
    store::Statement rows(connection, sql.constData());
    std::vector<QVariantList> all;
    while (rows.step()) {
        QVariantList row;
        for (int column = 0; column < rows.columnCount(); ++column)
            row << rows.value(column);
        all.push_back(row);
    }
    return all;
}

/// Every row of the books' tables, as an open ledger shows them.
struct Books {
    std::vector<QVariantList> items, types, pages;
    bool operator==(const Books &other) const = default;
};

inline Books booksOf(const store::Ledger &ledger)
{
    return {ledger.wholeTable(store::Ledger::Table::Items).rows,
            ledger.wholeTable(store::Ledger::Table::Types).rows,
            ledger.wholeTable(store::Ledger::Table::Journal).rows};
}

/// The first value `sql` gives on `connection`; none without a row.
inline QVariant valueOf(const store::Connection &connection, const char *sql)
{
    store::Statement statement(connection, sql);
    return statement.step() ? statement.value(0) : QVariant();
}

/// A new ledger (books.mdb under `password`) in a temporary folder, open.
class LedgerFixture : public ::testing::Test {
protected:
    void SetUp() override { make(); }

    void make(const QString &name = QStringLiteral("books.mdb"))
    {
        path = dir.filePath(name);
        store::createLedger(path, password);
        open();
    }
    void open() { ledger = std::make_unique<store::Ledger>(path, password); }
    void close() { ledger.reset(); }

    /// Runs `statements` on the file with the ledger closed, as another
    /// program would, and opens it again.
    void writeRaw(const QStringList &statements)
    {
        close();
        {
            store::Connection raw(path, password);
            for (const QString &sql : statements)
                raw.execute(sql);
        }
        open();
    }

    QTemporaryDir dir;
    QString password;
    QString path;
    std::unique_ptr<store::Ledger> ledger;
};

} // namespace zambrel::testkit
