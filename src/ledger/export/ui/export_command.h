#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zambrel::host {
class FeatureHost;
}

namespace zambrel::ledger {

/// Asks where to export: returns the chosen folder, or an empty text when
/// the person cancelled.
using FolderChooser = std::function<QString(QWidget *owner, const QString &startFolder)>;

/// The folder dialog of the platform.
QString chooseExportFolder(QWidget *owner, const QString &startFolder);

/// Adds the menu command "导出 CSV Export" ("export", Ctrl+Shift+E): asks
/// for a folder (through
/// `chooseFolder`, the folder dialog when none is given), asks before
/// replacing files of the same names there, writes the ledger's three
/// tables through exportLedger() and names the files written in a message.
/// A failure escapes to the host, which reports it on the menu's road.
void registerCsvExport(host::FeatureHost &host, FolderChooser chooseFolder = {});

} // namespace zambrel::ledger
