// Helper process for the exclusive-open tests.
//   lock_probe try  CONNECTION   -> prints "opened" or the error number and description
//   lock_probe hold CONNECTION   -> opens, prints "holding", keeps the ledger until stdin closes
#include "store/connection.h"
#include "store/db_error.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    zambrel::store::Connection connection;
    try {
        connection.open(args[2]);
    } catch (const zambrel::store::DbError &error) {
        std::printf("error %lx %s\n", static_cast<unsigned long>(error.number()),
                    error.description().toUtf8().constData());
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
