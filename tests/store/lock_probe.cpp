// Helper process for the lock tests: a second program that tries the ledger.
//   lock_probe try  CONNECTION   -> prints "opened" or "error " and the description
//   lock_probe hold CONNECTION   -> opens, prints "holding", keeps the ledger until stdin closes
// CONNECTION names the ledger and its password as earlier versions stored them.
#include "store/connection_string.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

int main(int argc, char **argv)
{
    using namespace zambrel::store;
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const ConnectionString connection(args[2]);
    std::unique_ptr<Ledger> ledger;
    try {
        ledger = std::make_unique<Ledger>(connection.dataSource(), connection.password());
    } catch (const DbError &error) {
        std::printf("error %s\n", error.description().toUtf8().constData());
        return 1;
    }
    if (args[1] == QLatin1String("hold")) {
        std::printf("holding\n");
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
    std::printf("opened\n");
    return 0;
}
