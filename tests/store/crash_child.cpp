// Helper process for the crash-safety test: opens a ledger, says "ready",
// runs one write and says "done"; the test kills it at a random moment.
//   crash_child carry  LEDGER PASSWORD SOURCE TARGET   carry SOURCE forward into TARGET
//   crash_child adds   LEDGER PASSWORD MONTH COUNT     add COUNT items, saying "added N" after each
//   crash_child rekey  LEDGER OLD NEW                  change the password
//   crash_child backup LEDGER PASSWORD TARGET          back the ledger up to TARGET
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCoreApplication>

#include <cstdio>

using namespace zambrel::store;

namespace {

void say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    const QString &mode = args[1];
    try {
        Ledger ledger(args[2], args[3]);
        say("ready");
        if (mode == QLatin1String("carry") && args.size() == 6) {
            ledger.carryForward(args[4], args[5]);
        } else if (mode == QLatin1String("adds") && args.size() == 6) {
            const int count = args[5].toInt();
            for (int n = 1; n <= count; ++n) {
                Item item;
                item.type = QStringLiteral("工资");
                item.name = QStringLiteral("item %1").arg(n);
                item.memo = QString(200, QLatin1Char('m'));
                item.income = n;
                item.totalCost = 2.0 * n;
                ledger.addItem(args[4], item);
                std::printf("added %d\n", n);
                std::fflush(stdout);
            }
        } else if (mode == QLatin1String("rekey") && args.size() == 5) {
            ledger.changePassword(args[3], args[4]);
        } else if (mode == QLatin1String("backup") && args.size() == 5) {
            ledger.backupTo(args[4]);
        } else {
            return 2;
        }
        say("done");
    } catch (const DbError &error) {
        std::printf("error %s\n", error.description().toUtf8().constData());
        return 1;
    }
    return 0;
}
