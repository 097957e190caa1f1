#pragma once

#include <QIcon>
#include <QString>

class QApplication;

namespace zambrel::store {
class LogonWindow;
}

namespace zambrel::app {

/// The program's icon, from the first data folder (the user's, then the
/// system's) whose hicolor icon folders hold it at any size; a null icon
/// when none does, as in the build tree.
QIcon programIcon();

/// Sets the application up for the windows, once it is made and the data
/// folder is chosen: its desktop entry and icon, the Simplified Chinese face
/// for the interface, the skinned message box. The program ends when its
/// windows say so, not when the logon window closes.
void setUpWindows();

/// The start routine: creates the logon window and shows it without
/// waiting; `otherLedger`, when given, is the ledger it offers (switching
/// ledgers). A successful logon opens the main window over the ledger with
/// every feature; cancelling the logon or closing the main window ends the
/// program, and switching ledgers runs this routine again for the chosen
/// file. The file dialogs' history is made owner-only first. Returns the logon
/// window (it deletes itself when closed).
store::LogonWindow *startProgram(QApplication &app, const QString &otherLedger = {});

/// What --version prints: the program's name and version, the skins folder
/// in use and the default skin there, marked when it cannot be read (so a
/// broken installation shows itself without starting a window).
QString versionReport();

} // namespace zambrel::app
