#include "icon_art.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace zambrel::iconmaker;

namespace {

// Reads SVG path data written by svgPathData back into a path (M, L, C, Z).
QPainterPath parsePathData(const QString &data)
{
    QPainterPath path;
    static const QRegularExpression command(QStringLiteral("([MLCZ])([^MLCZ]*)"));
    for (const QRegularExpressionMatch &match : command.globalMatch(data)) {
        QList<qreal> values;
        for (const QString &text : match.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            values << text.toDouble();
        const QChar letter = match.captured(1).at(0);
        if (letter == u'M')
            path.moveTo(values.at(0), values.at(1));
        else if (letter == u'L')
            path.lineTo(values.at(0), values.at(1));
        else if (letter == u'C')
            path.cubicTo(values.at(0), values.at(1), values.at(2), values.at(3), values.at(4), values.at(5));
        else
            path.closeSubpath();
    }
    return path;
}

} // namespace

// The SVG and the pictures come from the same shapes: each path of the SVG
// reads back to its shape's outline, and every gradient it uses is defined.
TEST(IconSvg, DescribesTheSameShapesAsThePictures)
{
    const std::vector<IconShape> shapes = iconShapes();
    QXmlStreamReader svg(iconSvg());
    std::vector<QString> pathData;
    QStringList gradients;
    QStringList usedGradients;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = svg.attributes();
        if (svg.name() == QLatin1String("svg")) {
            EXPECT_EQ(attributes.value(QLatin1String("viewBox")),
                      QStringLiteral("0 0 %1 %1").arg(kIconUnits));
        } else if (svg.name() == QLatin1String("linearGradient")) {
            gradients << attributes.value(QLatin1String("id")).toString();
        } else if (svg.name() == QLatin1String("path")) {
            pathData.push_back(attributes.value(QLatin1String("d")).toString());
            const QString fill = attributes.value(QLatin1String("fill")).toString();
            if (fill.startsWith(QLatin1String("url(#")))
                usedGradients << fill.mid(5).chopped(1);
        }
    }
    ASSERT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    ASSERT_EQ(pathData.size(), shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) {
        const QPainterPath original = shapes[i].path;
        const QPainterPath read = parsePathData(pathData[i]);
        ASSERT_EQ(read.elementCount(), original.elementCount()) << "shape " << i;
        for (int e = 0; e < original.elementCount(); ++e) {
            EXPECT_NEAR(read.elementAt(e).x, original.elementAt(e).x, 0.006) << "shape " << i;
            EXPECT_NEAR(read.elementAt(e).y, original.elementAt(e).y, 0.006) << "shape " << i;
        }
    }
    EXPECT_FALSE(usedGradients.isEmpty());
    for (const QString &id : usedGradients)
        EXPECT_TRUE(gradients.contains(id)) << id.toStdString();
}

// Each size is the whole icon: the tile fills the middle and stops short of
// the transparent corners, whatever the scale.
TEST(IconPictures, EverySizeShowsTheTileWithTransparentCorners)
{
    for (int size : {16, 48, 256}) {
        const QImage icon = drawIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
    }
}
