#include "skin/interface_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// The families that draw `text` in `font`, by default the application's.
QStringList drawingFamilies(const QString &text, const QFont &font = QGuiApplication::font())
{
    QTextLayout layout(text, font);
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

// Families the system lacks are left out of a font's request, and the same
// faces draw it: the panels' Song face and the captions' Latin face are
// Windows faces that this system has not.
TEST(InterfaceFont, FamiliesTheSystemLacksAreLeftOutAndTheSameFacesDraw)
{
    using zambrel::skin::installedFamilies;
    const QString missing = QStringLiteral("Zambrel No Such Face");
    const QString installed = QFontDatabase::families().constFirst();
    EXPECT_EQ(installedFamilies({missing, installed.toUpper(), missing}), QStringList{installed.toUpper()});
    // Nothing known: the request stays as it was, for the system's own fallback.
    EXPECT_EQ(installedFamilies({missing}), QStringList{missing});

    const QString text = QStringLiteral("收入 Profit 1,234.56");
    const QStringList wishes[] = {
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
         QStringLiteral("Noto Sans CJK SC")},
        {QStringLiteral("Trebuchet MS"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans Serif")},
        {missing, QStringLiteral("Noto Sans CJK SC")},
    };
    for (const QStringList &wish : wishes) {
        for (const bool bold : {false, true}) {
            QFont asked;
            asked.setFamilies(wish);
            asked.setBold(bold);
            QFont lean = asked;
            lean.setFamilies(installedFamilies(wish));
            EXPECT_EQ(drawingFamilies(text, lean), drawingFamilies(text, asked)) << wish.join(u',').toStdString();
        }
    }
}
