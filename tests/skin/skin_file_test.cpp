#include "skin_fixtures.h"

#include "skin/apply_skin.h"
#include "skin/plain_skin.h"
#include "skin/skin_cache.h"
#include "skin/skin_file.h"
#include "skin/skinned_window.h"

#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel::skin;
using namespace zambrel::skin::testing;

TEST(SkinFile, RoundTripKeepsPicturesNumbersAndColours)
{
    TestSkin skin;
    skin.xOffset = -7; // offsets may be negative
    const SkinBag bag = SkinBag::fromFileBytes(skin.bytes());
    EXPECT_EQ(bag.keys().size(), allSkinKeys().size());
    EXPECT_EQ(bag.picture("TOPLEFT").pixel(3, 3), qRgb(200, 150, 40));
    EXPECT_EQ(bag.number("XOFFSET"), -7);
    // Keys match whatever their case: skin files spell "BackColor".
    EXPECT_EQ(bag.colour("BACKCOLOR"), fromRgb(60, 40, 10));
    // Asking for the wrong kind gives the absent value, not garbage.
    EXPECT_TRUE(bag.picture("XOFFSET").isNull());
    // Colour values are blue-green-red; system colours come from the palette.
    EXPECT_EQ(toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(kSysButtonFace), QGuiApplication::palette().color(QPalette::Button));
}

namespace {
QByteArray outer(quint16 type, quint16 dims, quint32 count, qint32 lower, const QByteArray &payload)
{
    QByteArray out(12, '\0');
    qToLittleEndian<quint16>(type, out.data());
    qToLittleEndian<quint16>(dims, out.data() + 2);
    qToLittleEndian<quint32>(count, out.data() + 4);
    qToLittleEndian<qint32>(lower, out.data() + 8);
    return out + payload;
}
} // namespace

TEST(SkinFile, DamagedOrForeignFilesReadAsAnEmptySkin)
{
    const QByteArray good = TestSkin().bytes();
    const QByteArray payload = good.mid(12);
    QByteArray entryOverrun = payload;
    // The first entry's value length (after kind, key length and "TOPLEFT")
    // claims far more than the payload holds.
    qToLittleEndian<quint32>(0x7FFFFFF0u, entryOverrun.data() + 8 + 2 + 7);

    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty file", {}},
        {"header cut short", good.left(7)},
        {"wrong value type", outer(0x2008, 1, quint32(payload.size()), 0, payload)},
        {"oversized count", outer(0x2011, 1, 0xFFFFFFFFu, 0, payload)},
        {"foreign payload", outer(0x2011, 1, 8, 0, "PK\x03\x04xxxx")},
        {"entry longer than payload", outer(0x2011, 1, quint32(entryOverrun.size()), 0, entryOverrun)},
        {"trailing bytes in payload", outer(0x2011, 1, quint32(payload.size()) + 3, 0, payload + "abc")},
    };
    for (const Case &c : cases) {
        const SkinBag bag = SkinBag::fromFileBytes(c.bytes);
        EXPECT_TRUE(bag.isEmpty()) << c.name;
        EXPECT_TRUE(bag.picture("TOPLEFT").isNull()) << c.name;
    }
    // Bytes after the declared payload are not part of the value.
    EXPECT_FALSE(SkinBag::fromFileBytes(good + "tail").isEmpty());
}

TEST(SkinFile, ReadingIsCachedUntilTheFileChanges)
{
    QTemporaryDir dir;
    TestSkin skin;
    const QString path = skin.save(dir);
    const auto first = readSkin(path);
    EXPECT_EQ(readSkin(path).get(), first.get());

    skin.fromTop = 9;
    skin.save(dir);
    QFile touched(path);
    touched.open(QIODevice::ReadWrite);
    touched.setFileTime(QFileInfo(path).lastModified().addSecs(5), QFileDevice::FileModificationTime);
    touched.close();
    EXPECT_EQ(readSkin(path)->number("FROMTOP"), 9);

    QFile::remove(path);
    EXPECT_TRUE(readSkin(path)->isEmpty());
}

// A few kilobytes of well-compressed pictures can stand for gigabytes once
// decoded: past the budget the whole skin is refused, as a damaged one is.
TEST(SkinFile, PicturesBeyondTheDecodingBudgetOrCountRefuseTheSkin)
{
    const QByteArray fine = TestSkin().bytes();
    ASSERT_FALSE(SkinBag::fromFileBytes(fine).isEmpty());

    SkinWriter huge;
    QImage blank(8000, 8000, QImage::Format_Mono); // 256 MB at four bytes a pixel
    blank.fill(0);
    huge.setPicture(QStringLiteral("TOPLEFT"), blank);
    ASSERT_LT(huge.fileBytes().size(), kMaxSkinFileBytes) << "small on disk";
    EXPECT_TRUE(SkinBag::fromFileBytes(huge.fileBytes()).isEmpty());

    // Many pictures, each within the budget, together beyond it.
    SkinWriter many;
    QImage part(1400, 1400, QImage::Format_Mono); // 7.8 MB each once decoded
    part.fill(0);
    for (int i = 0; i < 9; ++i)
        many.setPicture(QStringLiteral("P%1").arg(i), part);
    EXPECT_TRUE(SkinBag::fromFileBytes(many.fileBytes()).isEmpty());

    // A 16-bit picture decodes to eight bytes a pixel, not four: 72 MB here.
    SkinWriter deep;
    QImage wide(3000, 3000, QImage::Format_RGBA64);
    wide.fill(Qt::white);
    deep.setPicture(QStringLiteral("TOPLEFT"), wide);
    EXPECT_TRUE(SkinBag::fromFileBytes(deep.fileBytes()).isEmpty());

    auto tiny = [](int count) {
        SkinWriter writer;
        QImage dot(1, 1, QImage::Format_RGB32);
        dot.fill(Qt::red);
        for (int i = 0; i < count; ++i)
            writer.setPicture(QStringLiteral("P%1").arg(i), dot);
        return SkinBag::fromFileBytes(writer.fileBytes());
    };
    EXPECT_EQ(tiny(kMaxSkinPictures).keys().size(), kMaxSkinPictures);
    EXPECT_TRUE(tiny(kMaxSkinPictures + 1).isEmpty());
}

TEST(SkinFile, ASkinLackingAnEssentialKeyCannotBeWorn)
{
    TestSkin partial;
    partial.omit = {"ONTOP1", "RES1", "CLOSE3", "XOFFSET"};
    EXPECT_TRUE(SkinBag::fromFileBytes(partial.bytes()).isWearable()) << "these may be absent";
    for (const QString &key : essentialSkinKeys()) {
        TestSkin skin;
        // The fixture names the text colour as the file format spells it.
        skin.omit = {key == QLatin1String("BACKCOLOR") ? QStringLiteral("BackColor") : key};
        EXPECT_EQ(SkinBag::fromFileBytes(skin.bytes()).missingKeys(), QStringList{key});
    }
    EXPECT_TRUE(readSkin(plainSkinPath())->missingKeys().isEmpty());
}

TEST(SkinFile, ShippedSkinsHoldEveryKey)
{
    const QStringList skins = shippedSkins();
    ASSERT_GE(skins.size(), 3);
    for (const QString &path : skins) {
        const auto bag = readSkin(path);
        for (const QString &key : allSkinKeys())
            EXPECT_TRUE(bag->contains(key)) << qPrintable(path) << " lacks " << qPrintable(key);
        // Worn, the caption bar is drawn from the skin, not left blank.
        SkinnedWindow window;
        window.resize(460, 190);
        applySkin(&window, path);
        window.show();
        EXPECT_EQ(window.grab().toImage().pixelColor(200, 1).rgb(),
                  bag->picture("TOPMID").pixelColor(0, 1).rgb())
            << qPrintable(path);
    }
}
