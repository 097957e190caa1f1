// The program: options, the skinned message box, then the start routine.
// Nothing else runs here: the program lives on in its windows.
#include "program.h"

#include "skin/message_box.h"
#include "store/app_paths.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace zambrel;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zambrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the ledgers."),
                                     QStringLiteral("DIR"));
    options.addOption(dataDir);
    options.process(app);
    if (options.isSet(dataDir))
        store::setProgramFolder(options.value(dataDir));

    skin::installMessageBox();
    app::startProgram(app);
    return app.exec();
}
