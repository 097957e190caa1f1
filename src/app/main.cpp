// The program: options, the skinned message box, then the start routine.
// Nothing else runs here: the program lives on in its windows.
#include "program.h"

#include "skin/message_box.h"
#include "store/app_paths.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

using namespace zambrel;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zambrel"));
    QApplication::setApplicationVersion(QStringLiteral(ZAMBREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(ZAMBREL_APP_ID));
    // The icon theme holds it once the program is installed; the build tree has none.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ZAMBREL_APP_ID)));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser options;
    options.addHelpOption();
    // Not addVersionOption(): the version report also names the skins in use.
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information and the skins in use."));
    options.addOption(version);
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the ledgers."),
                                     QStringLiteral("DIR"));
    options.addOption(dataDir);
    options.process(app);
    if (options.isSet(version)) {
        std::fputs(app::versionReport().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.isSet(dataDir))
        store::setProgramFolder(options.value(dataDir));

    skin::installMessageBox();
    app::startProgram(app);
    return app.exec();
}
