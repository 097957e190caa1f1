#include "interface_font.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>

namespace zambrel::skin {

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
