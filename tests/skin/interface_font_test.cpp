#include "skin/interface_font.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// The families that draw `text` in the application's font.
QStringList drawingFamilies(const QString &text)
{
    QTextLayout layout(text, QGuiApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun &run : layout.glyphRuns())
        families << run.rawFont().familyName();
    return families;
}

} // namespace

// On a desktop in another language the system's fallback drew the
// interface's Chinese in the Japanese forms, from a second copy of the face
// the panels load anyway; the Latin letters keep the desktop's face.
TEST(InterfaceFont, ChineseTakesTheSimplifiedChineseFaceAndLatinKeepsTheDesktopsFace)
{
    const QString desktopFamily = QFontInfo(QGuiApplication::font()).family();
    zambrel::skin::preferSimplifiedChineseFace();
    zambrel::skin::preferSimplifiedChineseFace(); // twice changes nothing more
    const QStringList families = drawingFamilies(QStringLiteral("描述每月 Profit"));
    EXPECT_TRUE(families.contains(QStringLiteral("Noto Sans CJK SC"))) << families.join(u',').toStdString();
    EXPECT_FALSE(families.contains(QStringLiteral("Noto Sans CJK JP"))) << families.join(u',').toStdString();
    EXPECT_EQ(QFontInfo(QGuiApplication::font()).family(), desktopFamily);
    EXPECT_EQ(drawingFamilies(QStringLiteral("Profit")), QStringList{desktopFamily});
}
