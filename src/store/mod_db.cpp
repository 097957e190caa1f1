#include "mod_db.h"

#include <QPointer>

#include <utility>

namespace zambrel::store::modDB {
namespace {

struct ProgramValues {
    QString ledgerPath;
    QString connectionString;
    std::shared_ptr<Connection> connection;
    QString skinPath;
    QPointer<QObject> mainWindow;
    UiHooks hooks;
};

ProgramValues &values()
{
    static ProgramValues instance;
    return instance;
}

} // namespace

QString ledgerPath() { return values().ledgerPath; }
void setLedgerPath(const QString &path) { values().ledgerPath = path; }

QString connectionString() { return values().connectionString; }
void setConnectionString(const QString &text) { values().connectionString = text; }

std::shared_ptr<Connection> connection() { return values().connection; }
void setConnection(std::shared_ptr<Connection> connection) { values().connection = std::move(connection); }

QString skinPath() { return values().skinPath; }
void setSkinPath(const QString &path) { values().skinPath = path; }

QObject *mainWindow() { return values().mainWindow.data(); }
void setMainWindow(QObject *window) { values().mainWindow = window; }

const UiHooks &uiHooks() { return values().hooks; }
void setUiHooks(UiHooks hooks) { values().hooks = std::move(hooks); }

void reset()
{
    // The connection closes itself when its last owner lets go.
    values() = ProgramValues{};
}

} // namespace zambrel::store::modDB
