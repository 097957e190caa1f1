#pragma once

#include "skin/skin_colour.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

namespace zambrel::skin {

/// The keyed values of one skin file: pictures, whole numbers and colours.
/// An absent key yields nothing: a null picture, number 0, colour 0 (black).
/// Keys compare without regard to case.
class SkinBag {
public:
    enum class Kind : quint8 { Picture = 1, Number = 2, Colour = 3 };

    /// Decodes a whole skin file (outer layer and payload). Anything that is
    /// not a well-formed skin file gives an empty bag; never reads outside
    /// `bytes`.
    static SkinBag fromFileBytes(QByteArrayView bytes);
    /// Decodes the payload alone (the keyed container).
    static SkinBag fromPayload(QByteArrayView payload);

    bool isEmpty() const { return m_values.isEmpty(); }
    /// The essential keys (essentialSkinKeys()) this bag lacks; a bag that
    /// lacks any cannot dress a window readably.
    QStringList missingKeys() const;
    bool isWearable() const { return missingKeys().isEmpty(); }
    bool contains(const QString &key) const { return m_values.contains(key.toUpper()); }
    QStringList keys() const;

    QImage picture(const QString &key) const;
    int number(const QString &key) const;
    ColourValue colour(const QString &key) const;

private:
    struct Value {
        Kind kind = Kind::Number;
        quint32 word = 0;
        QImage image;
    };
    QHash<QString, Value> m_values;
};

/// Builds skin files: the skin maker and tests write through this, the
/// program reads through SkinBag.
class SkinWriter {
public:
    void setPicture(const QString &key, const QImage &image);
    void setNumber(const QString &key, int value);
    void setColour(const QString &key, ColourValue value);

    QByteArray payload() const;
    QByteArray fileBytes() const;
    /// Writes the file; false when it cannot be written.
    bool save(const QString &path) const;

private:
    struct Entry {
        QString key;
        SkinBag::Kind kind;
        QByteArray bytes;
    };
    void put(const QString &key, SkinBag::Kind kind, QByteArray bytes);
    std::vector<Entry> m_entries;
};

/// Wraps a payload in the outer layer of a skin file.
QByteArray wrapPayload(const QByteArray &payload);

/// Largest skin file accepted; anything bigger reads as an empty skin.
inline constexpr qint64 kMaxSkinFileBytes = 8 * 1024 * 1024;
/// What the pictures of one skin may take once decoded (4 bytes a pixel),
/// all together, and how many pictures it may hold. A skin beyond either
/// reads as an empty skin, before anything is decoded: a small file of
/// large, well-compressed pictures must not exhaust memory.
inline constexpr qint64 kMaxSkinPictureBytes = 64 * 1024 * 1024;
inline constexpr int kMaxSkinPictures = 64;

/// The keys a skin must hold to dress a window readably: the caption bar's
/// pieces and its normal window buttons, the border pieces and the three
/// colours. Hover and pressed pictures, the restore and stay-on-top buttons
/// and the offsets (0 is a fair offset) may be absent.
const QStringList &essentialSkinKeys();

} // namespace zambrel::skin
