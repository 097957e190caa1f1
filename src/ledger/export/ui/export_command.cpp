#include "ledger/export/ui/export_command.h"

#include "base/message.h"
#include "host/feature_host.h"
#include "ledger/export/ledger_export.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace zambrel::ledger {
namespace {

const QString kTitle = QStringLiteral("导出 CSV Export");

void exportInto(FeatureHost &host, const QString &folder)
{
    const QDir target(folder);
    QStringList existing;
    for (const QString &name : exportFileNames()) {
        if (QFileInfo::exists(target.filePath(name)))
            existing << QDir::toNativeSeparators(target.filePath(name));
    }
    if (!existing.isEmpty() &&
        base::showMessage(
            QStringLiteral("这些文件已经存在，要替换吗？ These files exist already. Replace them?\n") +
                existing.join(u'\n'),
            base::vbYesNo | base::vbQuestion, kTitle) != base::vbYes)
        return;

    // Files chosen in a window are for opening in a spreadsheet.
    ExportOptions options;
    options.forSpreadsheets = true;
    const QStringList written = exportLedger(host.ledger(), folder, options);
    QStringList shown;
    for (const QString &path : written)
        shown << QDir::toNativeSeparators(path);
    base::showMessage(QStringLiteral("已导出 Exported:\n") + shown.join(u'\n'), base::vbInformation, kTitle);
}

} // namespace

QString chooseExportFolder(QWidget *owner, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, kTitle, startFolder);
}

void registerCsvExport(FeatureHost &host, FolderChooser chooseFolder)
{
    if (!chooseFolder)
        chooseFolder = chooseExportFolder;
    host.provide(Command::ExportCsv, [&host, chooseFolder] {
        const QString startFolder = QFileInfo(host.ledger().path()).absolutePath();
        const QString folder = chooseFolder(host.hostWindow(), startFolder);
        if (!folder.isEmpty())
            exportInto(host, folder);
    });
}

} // namespace zambrel::ledger
