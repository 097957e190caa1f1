#pragma once

#include "skin/skin_file.h"

#include <QDir>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace zambrel::skin::testing {

/// Every key a complete skin holds.
inline QStringList allSkinKeys()
{
    return QStringLiteral(
               "TOPLEFT TOPMID TOPRIGHT CLOSE CLOSE3 CLOSE2 MAX MAX3 MAX2 RES1 RES2 RES3 MIN MIN3 "
               "MIN2 ONTOP1 ONTOP3 XOFFSET XOFFSET2 YOFFSET FROMRIGHT FROMTOP ICONSPACE FORECOLOR "
               "BackColor PARENTBACKCOLOR LEFTTOP LEFTMID RIGHTTOP RIGHTMID LEFTBOT RIGHTBOT BOTTOM")
        .split(u' ');
}

/// Skin pieces of known sizes, each picture a flat colour, so that tests can
/// compute every position.
struct TestSkin {
    int captionHeight = 24;
    int buttonWidth = 20;
    int buttonHeight = 16;
    int xOffset = 4, xOffset2 = 5, yOffset = 3, fromRight = 6, fromTop = 4, iconSpace = 2;
    ColourValue surface = fromRgb(250, 240, 200);
    ColourValue text = fromRgb(60, 40, 10);
    ColourValue parentBack = fromRgb(230, 220, 180);
    int border = 5;
    QSet<QString> omit;

    QByteArray bytes() const
    {
        SkinWriter writer;
        auto picture = [&](const QString &key, int w, int h, QRgb colour) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(colour);
            if (!omit.contains(key))
                writer.setPicture(key, image);
        };
        auto number = [&](const QString &key, int value) {
            if (!omit.contains(key))
                writer.setNumber(key, value);
        };
        auto colour = [&](const QString &key, ColourValue value) {
            if (!omit.contains(key))
                writer.setColour(key, value);
        };
        picture("TOPLEFT", 30, captionHeight, qRgb(200, 150, 40));
        picture("TOPMID", 8, captionHeight, qRgb(210, 160, 50));
        picture("TOPRIGHT", 10, captionHeight, qRgb(190, 140, 30));
        int shade = 0;
        for (const char *key : {"CLOSE", "CLOSE3", "CLOSE2", "MAX", "MAX3", "MAX2", "RES1", "RES2", "RES3",
                                "MIN", "MIN3", "MIN2", "ONTOP1", "ONTOP3"})
            picture(QLatin1String(key), buttonWidth, buttonHeight, qRgb(10 * ++shade, 0, 0));
        number("XOFFSET", xOffset);
        number("XOFFSET2", xOffset2);
        number("YOFFSET", yOffset);
        number("FROMRIGHT", fromRight);
        number("FROMTOP", fromTop);
        number("ICONSPACE", iconSpace);
        colour("FORECOLOR", surface);
        colour("BackColor", text);
        colour("PARENTBACKCOLOR", parentBack);
        picture("LEFTTOP", border, 20, qRgb(1, 2, 3));
        picture("LEFTMID", border, 6, qRgb(4, 5, 6));
        picture("RIGHTTOP", border, 20, qRgb(7, 8, 9));
        picture("RIGHTMID", border, 6, qRgb(10, 11, 12));
        picture("LEFTBOT", 12, border, qRgb(13, 14, 15));
        picture("RIGHTBOT", 12, border, qRgb(16, 17, 18));
        picture("BOTTOM", 8, border, qRgb(19, 20, 21));
        return writer.fileBytes();
    }

    /// Writes the skin into `dir` under `name` and returns its path.
    QString save(const QTemporaryDir &dir, const QString &name = QStringLiteral("test.jss")) const
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes());
        return path;
    }
};

/// The folder of shipped skins the build drew.
inline QString shippedSkinsFolder()
{
    return QString::fromLocal8Bit(qgetenv("ZAMBREL_SKINS_DIR"));
}

inline QStringList shippedSkins()
{
    QStringList paths;
    const QDir dir(shippedSkinsFolder());
    for (const QString &name : dir.entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

} // namespace zambrel::skin::testing
