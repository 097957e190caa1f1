// The windows, a module of their own that the program loads only when its
// command line names no subcommand: the start routine, and whatever else
// the program is asked without a subcommand (--help, --version, a usage
// error, which run without a window: Qt Core only, no display needed).
#include "app/cli/command_line.h"
#include "program.h"
#include "program_name.h"

#include "base/app_paths.h"
#include "skin/interface_font.h"

#include <QApplication>

using namespace zambrel;

/// The module's one entry, called by the program with its own arguments.
extern "C" __attribute__((visibility("default"))) int zambrel_windows_main(int argc, char **argv)
{
    const std::optional<cli::WindowStart> windows = cli::windowStart(cli::argumentList(argc, argv));
    if (!windows) {
        QCoreApplication app(argc, argv);
        app::nameProgram();
        return cli::runCommandLine(app.arguments(), {app::versionReport});
    }

    // Read while the application object connects to the display.
    const std::jthread fontConfiguration = skin::readFontConfigurationAhead();
    QApplication app(argc, argv);
    app::nameProgram();
    // The application object has taken its own options (-platform, -style) out.
    const std::optional<cli::WindowStart> start =
        cli::windowStart(app.arguments(), cli::WindowSystemOptions::TakenOut);
    if (!start)
        return cli::runCommandLine(app.arguments(), {app::versionReport});
    if (!start->dataDir.isEmpty())
        base::setProgramFolder(start->dataDir);
    app::setUpWindows();
    app::startProgram(app);
    return app.exec();
}
