#pragma once

#include <QCoreApplication>

namespace zambrel::app {

/// The settings and the data folder are found by these names, alike for the
/// windows and the command line.
inline void nameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("zambrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZAMBREL_VERSION));
}

} // namespace zambrel::app
