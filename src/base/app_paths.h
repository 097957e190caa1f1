#pragma once

#include <QString>

namespace zambrel::base {

/// The folder that holds the user's ledgers (the program folder):
/// the per-user data folder, unless overridden by setProgramFolder() (the
/// command-line option --data-dir) or the environment variable
/// ZAMBREL_DATA_DIR. Created when missing, accessible by its owner alone
/// (an existing folder keeps its mode). No trailing separator.
QString programFolder();
void setProgramFolder(const QString &folder);

/// Path of the default ledger: programFolder() + "/Zambrel.mdb".
QString defaultLedgerPath();

/// The ledger the program opens when none is named: the one stored in the
/// settings when its file exists, else the default ledger's path (whose file
/// may not exist yet). Creates nothing, not even the program folder.
QString usualLedgerPath();

/// The shipped skins: setSkinsFolder(), else the environment variable
/// ZAMBREL_SKINS_DIR, else shippedSkinsFolder() of the executable's folder.
QString skinsFolder();
void setSkinsFolder(const QString &folder);

/// Where the skins shipped with a program in `programDir` lie: the folder
/// "skins" beside it when there is one (the build tree), otherwise the
/// installed data folder reached from it (<prefix>/share/zambrel/skins for
/// <prefix>/bin, as configured at build time).
QString shippedSkinsFolder(const QString &programDir);

/// The default skin's full path (skinsFolder() + "/金色水晶.jss").
QString defaultSkinPath();

/// The skin the program wears now: set by the logon from the settings and
/// by the skin menu; windows made later take it. Empty until set.
QString currentSkinPath();
void setCurrentSkinPath(const QString &path);

/// Per-user settings store (INI) under the executable's name; the file can
/// be redirected for tests by setSettingsFile() or ZAMBREL_SETTINGS_FILE.
QString settingsValue(const QString &section, const QString &key, const QString &fallback = {});
void saveSetting(const QString &section, const QString &key, const QString &value);
void setSettingsFile(const QString &path);

/// True when an entry exists at `path`; false on any error.
bool fileExists(const QString &path);

/// Creates the folder `path` and any missing folders above it, each
/// accessible by its owner alone; folders that exist keep their modes.
/// Returns false with `error` set to the system error number on failure.
bool makePrivateFolder(const QString &path, int *error = nullptr);

/// Makes the file `path` readable and writable by its owner alone: made
/// empty when missing (with owner-only folders above it), and an existing
/// file loses every access of others. Whatever cannot be done is left to
/// whoever writes the file next, who meets the same reason.
void makeFilePrivate(const QString &path);

/// The settings file in which Qt's file dialogs remember the folders last
/// visited and chosen ("QtProject.conf" in the user's configuration folder).
QString fileDialogHistoryFile();

} // namespace zambrel::base
