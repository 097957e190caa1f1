#include "program.h"

#include "after_first_paint.h"
#include "feature_list.h"

#include "base/app_paths.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "skin/interface_font.h"
#include "skin/message_box.h"
#include "skin/skin_cache.h"
#include "store/ledger.h"
#include "store/stale_files.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <functional>

namespace zambrel::app {
namespace {

/// When this process began: what our own files older than that hold is
/// left over from an earlier run.
QDateTime processStart()
{
    static const QDateTime started = QDateTime::currentDateTimeUtc();
    return started;
}

/// Removes the temporaries a killed earlier run left beside `ledger` and in
/// the program's folders. Those folders are shared (the settings' and the
/// file dialogs' with other programs, a ledger's with the user's own files),
/// so only the pending writes of the program's own files go: the ledgers
/// and backups of the program folder, the ledger and its dated backups
/// beside it, and the settings files being saved.
void removeLeftovers(const QString &ledger)
{
    const QFileInfo settings(base::settingsFilePath());
    const QFileInfo history(base::fileDialogHistoryFile());
    const QStringList saved{settings.fileName(), history.fileName()};
    const QFileInfo books(ledger);
    const QString program = QFileInfo(base::programFolder()).absoluteFilePath();
    const auto owns = [&](const QString &folder) {
        return std::function<bool(const QString &)>([&, folder](const QString &name) {
            if (saved.contains(name))
                return true;
            if (folder == program && name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive))
                return true; // the program folder's ledgers and backups
            return !ledger.isEmpty() && folder == books.absolutePath() &&
                   (name == books.fileName() || name.startsWith(books.completeBaseName() + u'_'));
        });
    };
    QStringList folders{program, settings.absolutePath(), history.absolutePath()};
    if (!ledger.isEmpty())
        folders << books.absolutePath();
    folders.removeDuplicates();
    for (const QString &folder : folders)
        store::removeStaleTemporaries(folder, processStart(), saved, owns(folder));
}

} // namespace

QIcon programIcon()
{
    // Read from the folders the program installs its icon in: asking the
    // icon theme for it first reads the theme's whole index (some 650
    // folders), a few milliseconds before the first window.
    const QString file = QStringLiteral("/apps/" ZAMBREL_APP_ID ".png");
    QIcon icon;
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QDir theme(data + QStringLiteral("/icons/hicolor"));
        for (const QString &size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString picture = theme.filePath(size) + file;
            if (QFileInfo::exists(picture))
                icon.addFile(picture);
        }
        if (!icon.isNull())
            break;
    }
    return icon;
}

void setUpWindows()
{
    QApplication::setDesktopFileName(QStringLiteral(ZAMBREL_APP_ID));
    QApplication::setWindowIcon(programIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    skin::preferSimplifiedChineseFace();
    skin::installMessageBox();
}

store::LogonWindow *startProgram(QApplication &app, const QString &otherLedger)
{
    // The file dialogs write the folders of the user's ledgers and exports
    // there: no one else may read them.
    base::makeFilePrivate(base::fileDialogHistoryFile());
    removeLeftovers(otherLedger.isEmpty() ? base::usualLedgerPath() : otherLedger);
    auto *logon = new store::LogonWindow;
    logon->setAttribute(Qt::WA_DeleteOnClose);
    logon->setOtherLedger(otherLedger);
    // The main window is built while the password is typed, once the logon
    // window has painted; the logon then only opens the books.
    auto prepared = std::make_shared<QPointer<ledger::MainWindow>>();
    new AfterFirstPaint(logon, [prepared] {
        if (!*prepared)
            *prepared = ledger::prepareMainWindow();
    });
    QObject::connect(logon, &store::LogonWindow::cancelled, &app, [&app, prepared] {
        delete prepared->data();
        app.quit();
    });
    QObject::connect(
        logon, &store::LogonWindow::loggedOn, &app, [&app, prepared](std::shared_ptr<store::Ledger> books) {
            // Later: the logon is often confirmed by Enter in its password box,
            // and that key press must finish before the closed logon window goes.
            removeLeftovers(books->path());
            QTimer::singleShot(0, &app, [&app, prepared, books = std::move(books)] {
                ledger::MainWindow *window = ledger::openMainWindow(books, prepared->data());
                registerFeatures(*window);
                QObject::connect(window, &ledger::MainWindow::programEnding, &app, &QApplication::quit);
                QObject::connect(window, &ledger::MainWindow::ledgerSwitchRequested, &app,
                                 [&app](const QString &path) { startProgram(app, path); });
            });
        });
    logon->load();
    logon->show();
    return logon;
}

QString versionReport()
{
    const QString defaultSkin = base::defaultSkinPath();
    QString report = QCoreApplication::applicationName() + QLatin1Char(' ') +
                     QCoreApplication::applicationVersion() + QLatin1Char('\n');
    report += QStringLiteral("Skins: ") + QDir::toNativeSeparators(base::skinsFolder()) + QLatin1Char('\n');
    report += QStringLiteral("Default skin: ") + QDir::toNativeSeparators(defaultSkin);
    if (skin::readSkin(defaultSkin)->isEmpty())
        report += QStringLiteral(" (missing or unreadable)");
    return report + QLatin1Char('\n');
}

} // namespace zambrel::app
