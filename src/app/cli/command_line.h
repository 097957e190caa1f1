#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zambrel::cli {

/// What the windows need from the command line.
struct WindowStart {
    QString dataDir; ///< --data-dir, empty when not given
};

/// Whether the window system's own options (-platform NAME, -style NAME)
/// may still be among the arguments: the windows' application object takes
/// them out.
enum class WindowSystemOptions { MayBeThere, TakenOut };

/// The program starts its windows when the arguments hold no subcommand, no
/// --help and no --version; everything else runs without a window (and
/// without a display). While the window system's options may be there,
/// arguments that cannot be read are left to the windows; once they are
/// taken out, such arguments mean the command line, which reports them.
std::optional<WindowStart> windowStart(const QStringList &arguments,
                                       WindowSystemOptions windowSystem = WindowSystemOptions::MayBeThere);

/// The process's arguments as main() receives them, in the local encoding.
QStringList argumentList(int argc, char **argv);

/// Whether the arguments name a subcommand (and neither --help nor
/// --version): such a command line needs Qt Core alone.
bool namesSubcommand(const QStringList &arguments);

struct CommandLineContext {
    /// What --version prints.
    std::function<QString()> versionReport;
};

/// Runs the command line without any window: a subcommand (months, report,
/// export, backup), --help or --version, or reports a usage error. Output
/// goes to standard output, errors to standard error in the program's
/// bilingual words. Returns the exit status: 0 done, 1 failed, 2 wrong
/// usage. Only export and backup write files, and no subcommand changes the
/// ledger or the settings. A QCoreApplication must exist.
int runCommandLine(const QStringList &arguments, const CommandLineContext &context);

} // namespace zambrel::cli
