#include "interface_font.h"

#include <QFont>
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

} // namespace zambrel::skin
