// Helper process for the crash-safety tests: opens a ledger, says "ready",
// runs one write and says "done" and how many disk writes it made; the test
// kills it while it is paused at a chosen moment.
//   crash_child carry  LEDGER PASSWORD SOURCE TARGET   carry SOURCE forward into TARGET
//   crash_child adds   LEDGER PASSWORD MONTH COUNT     add COUNT items, saying "added N" after each
//   crash_child steps  LEDGER PASSWORD MONTH COUNT     COUNT steps of every kind (add, change, journal
//                                                     page, type, delete), saying "stepped N" after each
//   crash_child rekey  LEDGER OLD NEW                  change the password
//   crash_child backup LEDGER PASSWORD TARGET          back the ledger up to TARGET
//   crash_child restore LEDGER PASSWORD BACKUP         restore the books of BACKUP (same password)
// Where it pauses: ZAMBREL_PAUSE_AT_WRITE=N pauses before the N-th write,
// flush or truncation of any file the engine makes (counted by a file layer
// put under the engine here), saying "paused write N"; the store's own named
// moments are chosen with ZAMBREL_TEST_POINT=pause:NAME. A paused child
// waits to be killed.
#include "store/db_error.h"
#include "store/ledger.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace zambrel::store;

namespace {

void say(const QString &text)
{
    std::puts(text.toUtf8().constData());
    std::fflush(stdout);
}

Item itemOf(const QString &type, const QString &name, const QString &memo, double income, double total)
{
    Item item;
    item.type = type;
    item.name = name;
    item.memo = memo;
    item.income = income;
    item.totalCost = total;
    return item;
}

// A file layer over the system's that counts what changes the disk.
sqlite3_vfs *g_system = nullptr;
long g_writes = 0;
long g_pauseAt = 0;

void beforeWrite()
{
    ++g_writes;
    if (g_writes == g_pauseAt) {
        say(QStringLiteral("paused write %1").arg(g_writes));
        for (;;)
            ::pause();
    }
}

// The system's own file methods (a set for each kind of file) with the
// writes, flushes and truncations counted; version 1 of them: no shared
// memory (no WAL) and no memory mapping, which the ledgers do not use.
struct CountedMethods {
    const sqlite3_io_methods *real;
    sqlite3_io_methods counted;
};
CountedMethods g_methods[8];
int g_methodCount = 0;

const sqlite3_io_methods *realOf(sqlite3_file *f)
{
    for (int at = 0; at < g_methodCount; ++at)
        if (f->pMethods == &g_methods[at].counted)
            return g_methods[at].real;
    std::abort();
}
int countedWrite(sqlite3_file *f, const void *data, int amount, sqlite3_int64 offset)
{
    beforeWrite();
    return realOf(f)->xWrite(f, data, amount, offset);
}
int countedTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    beforeWrite();
    return realOf(f)->xTruncate(f, size);
}
int countedSync(sqlite3_file *f, int flags)
{
    beforeWrite();
    return realOf(f)->xSync(f, flags);
}

int countedOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    const int rc = g_system->xOpen(g_system, name, file, flags, outFlags);
    if (!file->pMethods)
        return rc;
    int at = 0;
    while (at < g_methodCount && g_methods[at].real != file->pMethods)
        ++at;
    if (at == g_methodCount) {
        if (at == int(std::size(g_methods)))
            std::abort();
        sqlite3_io_methods counted = *file->pMethods;
        counted.iVersion = 1;
        counted.xWrite = countedWrite;
        counted.xTruncate = countedTruncate;
        counted.xSync = countedSync;
        g_methods[g_methodCount++] = {file->pMethods, counted};
    }
    file->pMethods = &g_methods[at].counted;
    return rc;
}
int countedDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    beforeWrite();
    return g_system->xDelete(g_system, name, syncDir);
}

void putCountingLayerUnderTheEngine()
{
    g_system = sqlite3_vfs_find(nullptr);
    static sqlite3_vfs counted = *g_system;
    counted.zName = "counted";
    counted.xOpen = countedOpen;
    counted.xDelete = countedDelete;
    sqlite3_vfs_register(&counted, 1);
    if (const char *at = std::getenv("ZAMBREL_PAUSE_AT_WRITE"))
        g_pauseAt = std::atol(at);
}

} // namespace

int main(int argc, char **argv)
{
    putCountingLayerUnderTheEngine();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    const QString &mode = args[1];
    try {
        Ledger ledger(args[2], args[3]);
        say(QStringLiteral("ready"));
        if (mode == QLatin1String("carry") && args.size() == 6) {
            ledger.carryForward(args[4], args[5]);
        } else if (mode == QLatin1String("adds") && args.size() == 6) {
            const int count = args[5].toInt();
            for (int n = 1; n <= count; ++n) {
                ledger.addItem(args[4], itemOf(QStringLiteral("工资"), QStringLiteral("item %1").arg(n),
                                               QString(200, QLatin1Char('m')), n, 2.0 * n));
                say(QStringLiteral("added %1").arg(n));
            }
        } else if (mode == QLatin1String("steps") && args.size() == 6) {
            const int count = args[5].toInt();
            for (int n = 1; n <= count; ++n) {
                const std::vector<Item> items = ledger.monthItems(args[4]);
                switch (items.empty() ? 1 : n % 5) {
                case 1:
                    ledger.addItem(args[4], itemOf(QStringLiteral("房产"), QStringLiteral("step %1").arg(n),
                                                   QString(100, QLatin1Char('s')), 0, n));
                    break;
                case 2: {
                    Item item = items.back();
                    item.memo = QStringLiteral("changed %1").arg(n);
                    ledger.changeItem(item);
                    break;
                }
                case 3: {
                    JournalPage page;
                    page.date = QStringLiteral("2026-01-%1").arg(n % 28 + 1, 2, 10, QLatin1Char('0'));
                    page.fields[0] = QString(300, QLatin1Char('j'));
                    ledger.saveJournalPage(page);
                    break;
                }
                case 4:
                    ledger.addItemType(QStringLiteral("type %1").arg(n), QStringLiteral("0010"));
                    break;
                default:
                    ledger.deleteItem(items.front().code);
                }
                say(QStringLiteral("stepped %1").arg(n));
            }
        } else if (mode == QLatin1String("rekey") && args.size() == 5) {
            ledger.changePassword(args[3], args[4]);
        } else if (mode == QLatin1String("backup") && args.size() == 5) {
            ledger.backupTo(args[4]);
        } else if (mode == QLatin1String("restore") && args.size() == 5) {
            ledger.restoreFrom(args[4], args[3]);
        } else {
            return 2;
        }
        say(QStringLiteral("done\nwrites %1").arg(g_writes));
    } catch (const DbError &error) {
        say(QStringLiteral("error ") + error.description());
        return 1;
    }
    return 0;
}
