#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;

namespace zambrel::store {

class Connection;

/// The program-wide values: set at start-up (logon) and read through here,
/// so tests can set them too.
namespace modDB {

QString ledgerPath();
void setLedgerPath(const QString &path);

QString connectionString();
void setConnectionString(const QString &text);

/// The single connection every query uses; may be null (re-created on the
/// next query by the record-set routines).
std::shared_ptr<Connection> connection();
void setConnection(std::shared_ptr<Connection> connection);

QString skinPath();
void setSkinPath(const QString &path);

/// The main window, or null before logon. Status texts go to it.
QObject *mainWindow();
void setMainWindow(QObject *window);

/// What the engine routines need from the window layer, installed by it.
/// Each may be empty (nothing happens).
struct UiHooks {
    std::function<void(bool busy)> setBusyPointer;
    std::function<void(const QString &text)> copyToClipboard;
    std::function<void(const QString &text, int panel)> setStatusText;
};
const UiHooks &uiHooks();
void setUiHooks(UiHooks hooks);

/// Clears every value (tests, and between ledgers).
void reset();

} // namespace modDB
} // namespace zambrel::store
