#include "skin_description.h"

#include <QStringList>

namespace zambrel::skinmaker {

std::optional<SkinDescription> parseDescription(const QString &text, QString *error)
{
    SkinDescription d;
    const QHash<QString, QColor *> colours{
        {QStringLiteral("caption.top"), &d.captionTop},
        {QStringLiteral("caption.middle"), &d.captionMiddle},
        {QStringLiteral("caption.bottom"), &d.captionBottom},
        {QStringLiteral("edge"), &d.edge},
        {QStringLiteral("glyph"), &d.glyph},
        {QStringLiteral("close.hover"), &d.closeHover},
        {QStringLiteral("button.face"), &d.buttonFace},
        {QStringLiteral("surface"), &d.surface},
        {QStringLiteral("text"), &d.text},
        {QStringLiteral("parent.back"), &d.parentBack},
    };
    const QHash<QString, int *> numbers{
        {QStringLiteral("caption.height"), &d.captionHeight},
        {QStringLiteral("border.width"), &d.borderWidth},
        {QStringLiteral("button.width"), &d.buttonWidth},
        {QStringLiteral("button.height"), &d.buttonHeight},
        {QStringLiteral("xoffset"), &d.xOffset},
        {QStringLiteral("xoffset2"), &d.xOffset2},
        {QStringLiteral("yoffset"), &d.yOffset},
        {QStringLiteral("fromright"), &d.fromRight},
        {QStringLiteral("fromtop"), &d.fromTop},
        {QStringLiteral("iconspace"), &d.iconSpace},
    };
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };

    int lineNumber = 0;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        ++lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return fail(QStringLiteral("line %1: expected key = value").arg(lineNumber));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (auto c = colours.find(key); c != colours.end()) {
            const QColor colour = QColor::fromString(value);
            if (!colour.isValid())
                return fail(QStringLiteral("line %1: bad colour %2").arg(lineNumber).arg(value));
            **c = colour;
        } else if (auto n = numbers.find(key); n != numbers.end()) {
            bool ok = false;
            **n = value.toInt(&ok);
            if (!ok || **n < 0 || **n > 200)
                return fail(QStringLiteral("line %1: bad number %2").arg(lineNumber).arg(value));
        } else if (key == QLatin1String("style")) {
            if (value != QLatin1String("glassy") && value != QLatin1String("flat"))
                return fail(QStringLiteral("line %1: style is glassy or flat").arg(lineNumber));
            d.glassy = value == QLatin1String("glassy");
        } else {
            return fail(QStringLiteral("line %1: unknown key %2").arg(lineNumber).arg(key));
        }
    }
    for (auto c = colours.cbegin(); c != colours.cend(); ++c)
        if (!c.value()->isValid())
            return fail(QStringLiteral("missing colour %1").arg(c.key()));
    if (d.captionHeight < d.buttonHeight + d.fromTop || d.borderWidth < 1)
        return fail(QStringLiteral("caption too low for its buttons, or no border"));
    return d;
}

} // namespace zambrel::skinmaker
