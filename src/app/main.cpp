// The program: with a subcommand, --help or --version it runs without a
// window (Qt Core only, no display needed); otherwise the skinned message
// box, then the start routine. Nothing else runs here: the program lives on
// in its windows or in the command line.
#include "app/cli/command_line.h"
#include "program.h"

#include "base/app_paths.h"
#include "skin/interface_font.h"
#include "skin/message_box.h"

#include <QApplication>
#include <QIcon>

using namespace zambrel;

namespace {

void nameProgram()
{
    // The settings and the data folder are found by these names, alike for
    // the windows and the command line.
    QCoreApplication::setApplicationName(QStringLiteral("zambrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZAMBREL_VERSION));
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);

    const std::optional<cli::WindowStart> windows = cli::windowStart(arguments);
    if (!windows) {
        QCoreApplication app(argc, argv);
        nameProgram();
        return cli::runCommandLine(app.arguments(), {app::versionReport});
    }

    // Read while the application object connects to the display.
    const std::jthread fontConfiguration = skin::readFontConfigurationAhead();
    QApplication app(argc, argv);
    nameProgram();
    // The application object has taken its own options (-platform, -style) out.
    const std::optional<cli::WindowStart> start =
        cli::windowStart(app.arguments(), cli::WindowSystemOptions::TakenOut);
    if (!start)
        return cli::runCommandLine(app.arguments(), {app::versionReport});
    QApplication::setDesktopFileName(QStringLiteral(ZAMBREL_APP_ID));
    // The icon theme holds it once the program is installed; the build tree has none.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ZAMBREL_APP_ID)));
    QApplication::setQuitOnLastWindowClosed(false);
    skin::preferSimplifiedChineseFace();
    if (!start->dataDir.isEmpty())
        base::setProgramFolder(start->dataDir);

    skin::installMessageBox();
    app::startProgram(app);
    return app.exec();
}
