#include "ledger/export/ui/export_command.h"

#include "base/message.h"
#include "host/feature_host.h"
#include "ledger/export/ledger_export.h"
#include "store/ledger.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace zambrel::ledger {
namespace {

const QString kTitle = QStringLiteral("导出 CSV Export");

void exportInto(host::FeatureHost &host, const QString &folder)
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
            base::MessageButtons::YesNo, base::MessageIcon::Question, kTitle) != base::MessageAnswer::Yes)
        return;

    // Files chosen in a window are for opening in a spreadsheet.
    ExportOptions options;
    options.forSpreadsheets = true;
    const QStringList written = exportLedger(host.ledger(), folder, options);
    QStringList shown;
    for (const QString &path : written)
        shown << QDir::toNativeSeparators(path);
    base::showMessage(QStringLiteral("已导出 Exported:\n") + shown.join(u'\n'), base::MessageButtons::Ok,
                      base::MessageIcon::Information, kTitle);
}

} // namespace

QString chooseExportFolder(QWidget *owner, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, kTitle, startFolder);
}

void registerCsvExport(host::FeatureHost &host, FolderChooser chooseFolder)
{
    if (!chooseFolder)
        chooseFolder = chooseExportFolder;
    auto *action = new QAction(kTitle, host.hostWindow());
    action->setObjectName(QStringLiteral("export"));
    action->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_E);
    host.addCommand(host::CommandPlace::monthMenu(70), action, [&host, chooseFolder] {
        const QString startFolder = QFileInfo(host.ledger().path()).absolutePath();
        const QString folder = chooseFolder(host.hostWindow(), startFolder);
        if (!folder.isEmpty())
            exportInto(host, folder);
    });
}

} // namespace zambrel::ledger
