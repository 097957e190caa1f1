#pragma once

#include "store/connection.h"
#include "store/ledger_schema.h"

#include <QTemporaryDir>

#include <memory>

namespace zambrel::testkit {

/// A new ledger in a temporary folder and a connection open on it.
struct OpenLedger {
    explicit OpenLedger(const QString &password = {})
    {
        path = dir.filePath(QStringLiteral("books.mdb"));
        store::createLedger(path, password);
        connectionString = store::ledgerConnectionString(path, password);
        connection = std::make_shared<store::Connection>();
        connection->open(connectionString);
    }

    QTemporaryDir dir;
    QString path;
    QString connectionString;
    std::shared_ptr<store::Connection> connection;
};

} // namespace zambrel::testkit
