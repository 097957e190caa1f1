// The program. A command line that names a subcommand runs here, with Qt
// Core alone and no display; anything else opens the windows' module and
// runs there. A command so never loads, binds and sets up the window
// libraries (Qt Gui, Widgets, Network, Print Support and those behind them):
// a quarter of its time and a third of its memory.
#include "app/cli/command_line.h"
#include "program_name.h"

#include <QCoreApplication>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

using namespace zambrel;

namespace {

constexpr char kModuleName[] = "zambrel-windows.so";

/// Beside the program in the build tree, in the library folder once installed.
std::filesystem::path windowsModule(const char *argv0)
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        program = std::filesystem::absolute(argv0, error);
    const std::filesystem::path folder = program.parent_path();
    const std::filesystem::path beside = folder / kModuleName;
    if (std::filesystem::exists(beside, error))
        return beside;
    return (folder / ZAMBREL_MODULE_FROM_BINDIR / kModuleName).lexically_normal();
}

int runWindows(int argc, char **argv)
{
    const std::filesystem::path module = windowsModule(argv[0]);
    // Bound as it is used, like the program's own libraries; nothing of it
    // is seen by anything else.
    void *windows = dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(int, char **);
    const auto entry = windows ? reinterpret_cast<Entry>(dlsym(windows, "zambrel_windows_main")) : nullptr;
    if (!entry) {
        const char *why = dlerror();
        std::fprintf(stderr, "zambrel: 无法载入窗口 Cannot load the windows: %s\n",
                     why ? why : module.c_str());
        return 1;
    }
    return entry(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    if (!cli::namesSubcommand(cli::argumentList(argc, argv)))
        return runWindows(argc, argv);
    QCoreApplication app(argc, argv);
    app::nameProgram();
    // A subcommand never prints the version report: that is the windows'.
    return cli::runCommandLine(app.arguments(), {});
}
