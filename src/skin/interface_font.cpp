#include "interface_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace zambrel::skin {

std::jthread readFontConfigurationAhead()
{
    try {
        // The library keeps one configuration for the process; Qt's font
        // database then finds it loaded. A failure here is met again there.
        return std::jthread([] { FcInit(); });
    } catch (const std::system_error &) {
        return {};
    }
}

void preferSimplifiedChineseFace()
{
    QFont font = QGuiApplication::font();
    // The family the default font resolves to (not an alias such as "Sans
    // Serif", which a family list does not resolve) keeps drawing every
    // character it has; the second comes before the system's fallback for
    // the rest.
    font.setFamilies({QFontInfo(font).family(), QStringLiteral("Noto Sans CJK SC")});
    QGuiApplication::setFont(font);
}

QStringList installedFamilies(const QStringList &wanted)
{
    const QStringList installed = QFontDatabase::families();
    QStringList kept;
    for (const QString &family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive))
            kept << family;
    }
    return kept.isEmpty() ? wanted : kept;
}

} // namespace zambrel::skin
